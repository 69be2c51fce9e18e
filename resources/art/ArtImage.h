#pragma once
// The canvas our artwork generators draw on: 24-bit colours, blending, fills, gradients, and a
// writer for the 24-bit bottom-up bitmap files LoadBitmap reads everywhere. Used by small programs
// built for and run on the build host; everything here is deterministic.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace art {

struct Color {
    int r, g, b;
};

inline Color Mix(Color a, Color b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return {static_cast<int>(std::lround(a.r + (b.r - a.r) * t)), static_cast<int>(std::lround(a.g + (b.g - a.g) * t)),
            static_cast<int>(std::lround(a.b + (b.b - a.b) * t))};
}

class Image {
public:
    Image(int width, int height, Color fill) : m_width(width), m_height(height), m_pixels(width * height, fill) {}

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    Color Get(int x, int y) const { return m_pixels[y * m_width + x]; }
    void Set(int x, int y, Color c)
    {
        if (x >= 0 && y >= 0 && x < m_width && y < m_height)
            m_pixels[y * m_width + x] = c;
    }
    // Blends `c` over the pixel by `alpha` (0..1).
    void Blend(int x, int y, Color c, double alpha)
    {
        if (x >= 0 && y >= 0 && x < m_width && y < m_height)
            Set(x, y, Mix(Get(x, y), c, alpha));
    }
    void FillRect(int l, int t, int r, int b, Color c)
    {
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x)
                Set(x, y, c);
    }
    void VerticalGradient(int l, int t, int r, int b, Color top, Color bottom)
    {
        for (int y = t; y < b; ++y) {
            const Color c = Mix(top, bottom, b - t > 1 ? double(y - t) / (b - t - 1) : 0.0);
            for (int x = l; x < r; ++x)
                Set(x, y, c);
        }
    }

    // 24-bit, bottom-up, rows padded to four bytes.
    bool Save(const std::string& path) const
    {
        const int row = (m_width * 3 + 3) & ~3;
        const uint32_t dataSize = static_cast<uint32_t>(row * m_height);
        std::vector<uint8_t> file(54 + dataSize, 0);
        auto put16 = [&](size_t at, uint32_t v) { file[at] = v & 0xFF; file[at + 1] = (v >> 8) & 0xFF; };
        auto put32 = [&](size_t at, uint32_t v) { put16(at, v & 0xFFFF); put16(at + 2, v >> 16); };
        file[0] = 'B';
        file[1] = 'M';
        put32(2, static_cast<uint32_t>(file.size()));
        put32(10, 54);
        put32(14, 40);
        put32(18, static_cast<uint32_t>(m_width));
        put32(22, static_cast<uint32_t>(m_height));
        put16(26, 1);
        put16(28, 24);
        put32(34, dataSize);
        put32(38, 2835);
        put32(42, 2835);
        for (int y = 0; y < m_height; ++y) {
            uint8_t* out = &file[54 + static_cast<size_t>(m_height - 1 - y) * row];
            for (int x = 0; x < m_width; ++x) {
                const Color c = Get(x, y);
                out[x * 3 + 0] = static_cast<uint8_t>(std::clamp(c.b, 0, 255));
                out[x * 3 + 1] = static_cast<uint8_t>(std::clamp(c.g, 0, 255));
                out[x * 3 + 2] = static_cast<uint8_t>(std::clamp(c.r, 0, 255));
            }
        }
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f)
            return false;
        const bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
        return std::fclose(f) == 0 && ok;
    }

    // Agent's pictures travel in a small program: at most 256 colours (the most used ones; the
    // rest take their nearest), 8 bits per pixel, run-length encoded, bottom-up.
    bool SaveRle8(const std::string& path) const
    {
        std::vector<Color> palette;
        const std::vector<uint8_t> indexes = Quantized(palette);
        std::vector<uint8_t> data;
        for (int y = m_height - 1; y >= 0; --y) {
            const uint8_t* row = &indexes[static_cast<size_t>(y) * m_width];
            int x = 0;
            auto runAt = [&](int at) {
                int n = 1;
                while (at + n < m_width && n < 255 && row[at + n] == row[at])
                    ++n;
                return n;
            };
            while (x < m_width) {
                const int run = runAt(x);
                if (run >= 3) {
                    data.push_back(static_cast<uint8_t>(run));
                    data.push_back(row[x]);
                    x += run;
                    continue;
                }
                int end = x;        // literal bytes up to the next run of three
                while (end < m_width && end - x < 255 && runAt(end) < 3)
                    end += runAt(end);
                end = std::min(end, x + 255);
                if (end - x < 3) {     // too short for a literal: one or two short runs
                    while (x < end) {
                        const int n = std::min(runAt(x), end - x);
                        data.push_back(static_cast<uint8_t>(n));
                        data.push_back(row[x]);
                        x += n;
                    }
                    continue;
                }
                data.push_back(0);
                data.push_back(static_cast<uint8_t>(end - x));
                data.insert(data.end(), row + x, row + end);
                if ((end - x) & 1)
                    data.push_back(0);
                x = end;
            }
            data.push_back(0);
            data.push_back(y == 0 ? 1 : 0);     // end of line, end of bitmap after the top row
        }
        const uint32_t offset = 54 + 4 * static_cast<uint32_t>(palette.size());
        std::vector<uint8_t> file(offset, 0);
        auto put16 = [&](size_t at, uint32_t v) { file[at] = v & 0xFF; file[at + 1] = (v >> 8) & 0xFF; };
        auto put32 = [&](size_t at, uint32_t v) { put16(at, v & 0xFFFF); put16(at + 2, v >> 16); };
        file[0] = 'B';
        file[1] = 'M';
        put32(2, offset + static_cast<uint32_t>(data.size()));
        put32(10, offset);
        put32(14, 40);
        put32(18, static_cast<uint32_t>(m_width));
        put32(22, static_cast<uint32_t>(m_height));
        put16(26, 1);
        put16(28, 8);
        put32(30, 1);           // BI_RLE8
        put32(34, static_cast<uint32_t>(data.size()));
        put32(38, 2835);
        put32(42, 2835);
        put32(46, static_cast<uint32_t>(palette.size()));
        for (size_t i = 0; i < palette.size(); ++i) {
            file[54 + i * 4 + 0] = static_cast<uint8_t>(palette[i].b);
            file[54 + i * 4 + 1] = static_cast<uint8_t>(palette[i].g);
            file[54 + i * 4 + 2] = static_cast<uint8_t>(palette[i].r);
        }
        file.insert(file.end(), data.begin(), data.end());
        return WriteFile(path, file);
    }

    // The pixels as palette indexes; the palette holds every colour when there are at most 256.
    std::vector<uint8_t> Quantized(std::vector<Color>& palette) const
    {
        std::vector<std::pair<uint32_t, uint32_t>> counts;     // (count, rgb)
        {
            std::vector<uint32_t> keys;
            keys.reserve(m_pixels.size());
            for (const Color& c : m_pixels)
                keys.push_back(Key(c));
            std::sort(keys.begin(), keys.end());
            for (size_t i = 0; i < keys.size();) {
                size_t j = i;
                while (j < keys.size() && keys[j] == keys[i])
                    ++j;
                counts.emplace_back(static_cast<uint32_t>(j - i), keys[i]);
                i = j;
            }
        }
        std::stable_sort(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.first > b.first; });
        if (counts.size() > 256)
            counts.resize(256);
        std::sort(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; });
        palette.clear();
        for (auto& entry : counts)
            palette.push_back({int(entry.second >> 16), int((entry.second >> 8) & 0xFF), int(entry.second & 0xFF)});
        std::vector<uint8_t> indexes(m_pixels.size());
        for (size_t i = 0; i < m_pixels.size(); ++i) {
            const uint32_t key = Key(m_pixels[i]);
            auto at = std::lower_bound(counts.begin(), counts.end(), key,
                                       [](auto& entry, uint32_t k) { return entry.second < k; });
            if (at != counts.end() && at->second == key) {
                indexes[i] = static_cast<uint8_t>(at - counts.begin());
                continue;
            }
            int best = 0;
            long bestDistance = -1;
            for (size_t p = 0; p < palette.size(); ++p) {
                const long dr = palette[p].r - Clamp(m_pixels[i].r), dg = palette[p].g - Clamp(m_pixels[i].g),
                           db = palette[p].b - Clamp(m_pixels[i].b);
                const long distance = dr * dr + dg * dg + db * db;
                if (bestDistance < 0 || distance < bestDistance) {
                    bestDistance = distance;
                    best = static_cast<int>(p);
                }
            }
            indexes[i] = static_cast<uint8_t>(best);
        }
        return indexes;
    }

    static int Clamp(int v) { return std::clamp(v, 0, 255); }
    static uint32_t Key(Color c)
    {
        return (static_cast<uint32_t>(Clamp(c.r)) << 16) | (static_cast<uint32_t>(Clamp(c.g)) << 8) |
               static_cast<uint32_t>(Clamp(c.b));
    }

    static bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
    {
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f)
            return false;
        const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        return std::fclose(f) == 0 && ok;
    }

private:
    int m_width, m_height;
    std::vector<Color> m_pixels;
};

// Inside of a rounded rectangle (l, t, r, b exclusive) with corner radius `radius`: 1 inside, 0
// outside, soft at the edge.
inline double RoundRectCoverage(double x, double y, double l, double t, double r, double b, double radius)
{
    const double cx = std::clamp(x, l + radius, r - radius);
    const double cy = std::clamp(y, t + radius, b - radius);
    return std::clamp(radius - std::hypot(x - cx, y - cy) + 0.5, 0.0, 1.0);
}

// The border of a dialog clipped to the suite's round region (a 9 x 9 corner ellipse): a line along
// the edges that follows the cut corners, soft where it bends.
inline void DrawRoundRegionBorder(Image& image, Color border)
{
    const int width = image.Width(), height = image.Height();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double cx = std::fmin(std::fmax(x + 0.5, 4.5), width - 4.5);
            const double cy = std::fmin(std::fmax(y + 0.5, 4.5), height - 4.5);
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            const double edge = std::fmax(x < 1 || y < 1 || x >= width - 1 || y >= height - 1 ? 1.0 : 0.0,
                                          std::fmin(1.0, std::fmax(0.0, d - 3.0)));
            if (edge > 0)
                image.Blend(x, y, border, edge);
        }
    }
}

// A rounded button face on the colour `under` (what its corners show): a border ring of `radius`
// and, inside it, a vertical gradient from `top` to `bottom` with a radius one pixel smaller.
inline Image RoundedButton(int width, int height, double radius, Color under, Color top, Color bottom, Color border)
{
    Image image(width, height, under);
    for (int y = 0; y < height; ++y) {
        const Color fill = Mix(top, bottom, height > 1 ? double(y) / (height - 1) : 0.0);
        for (int x = 0; x < width; ++x) {
            image.Blend(x, y, border, RoundRectCoverage(x + 0.5, y + 0.5, 0, 0, width, height, radius));
            image.Blend(x, y, fill, RoundRectCoverage(x + 0.5, y + 0.5, 1, 1, width - 1, height - 1, radius - 1));
        }
    }
    return image;
}

struct NamedImage {
    std::string name;
    Image image;
};

// A generator's one argument, its output folder with a slash; "" (and the usage on stderr) when the
// call is not that.
inline std::string OutputFolder(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argc > 0 ? argv[0] : "generator");
        return std::string();
    }
    return std::string(argv[1]) + "/";
}

// Writes each image as <folder><name>; false, with a message, at the first that cannot be written.
inline bool SaveImages(const std::string& folder, const std::vector<NamedImage>& images)
{
    for (const NamedImage& each : images) {
        if (!each.image.Save(folder + each.name)) {
            std::fprintf(stderr, "cannot write %s%s\n", folder.c_str(), each.name.c_str());
            return false;
        }
    }
    return true;
}

// A generator's whole run: the images written into the folder its one argument names. 0 when
// done, 1 when a file cannot be written, 2 (with the usage) when the call is not that.
inline int WriteImages(int argc, char** argv, const std::vector<NamedImage>& images)
{
    const std::string folder = OutputFolder(argc, argv);
    if (folder.empty())
        return 2;
    return SaveImages(folder, images) ? 0 : 1;
}

// One picture of an icon file, `size` pixels square: its 32-bit colour rows (blue, green, red,
// alpha) and its AND mask's rows (IconMaskRow bytes each), both bottom-up as icons store them.
struct IconPicture {
    int size;
    std::vector<uint8_t> bgra;
    std::vector<uint8_t> mask;
};

inline size_t IconMaskRow(int size)
{
    return static_cast<size_t>((size + 31) / 32) * 4;
}

// A picture of `size` pixels, all clear, its mask empty.
inline IconPicture NewIconPicture(int size)
{
    return {size, std::vector<uint8_t>(static_cast<size_t>(size) * size * 4, 0),
            std::vector<uint8_t>(IconMaskRow(size) * size, 0)};
}

// Pixel (x, y) counted from the top, as images are drawn; the rows are stored bottom-up.
inline void SetIconPixel(IconPicture& picture, int x, int y, Color color, int alpha)
{
    uint8_t* px = &picture.bgra[(static_cast<size_t>(picture.size - 1 - y) * picture.size + x) * 4];
    px[0] = static_cast<uint8_t>(Image::Clamp(color.b));
    px[1] = static_cast<uint8_t>(Image::Clamp(color.g));
    px[2] = static_cast<uint8_t>(Image::Clamp(color.r));
    px[3] = static_cast<uint8_t>(alpha);
}

// An icon file of the pictures, in their order.
inline bool SaveIconPictures(const std::string& path, const std::vector<IconPicture>& pictures)
{
    std::vector<uint8_t> file(6 + 16 * pictures.size(), 0);
    auto put16 = [](std::vector<uint8_t>& f, size_t at, uint32_t v) { f[at] = v & 0xFF; f[at + 1] = (v >> 8) & 0xFF; };
    auto put32 = [&](std::vector<uint8_t>& f, size_t at, uint32_t v) { put16(f, at, v & 0xFFFF); put16(f, at + 2, v >> 16); };
    put16(file, 2, 1);
    put16(file, 4, static_cast<uint32_t>(pictures.size()));
    for (size_t n = 0; n < pictures.size(); ++n) {
        const IconPicture& picture = pictures[n];
        const int size = picture.size;
        std::vector<uint8_t> entry(40, 0);
        put32(entry, 0, 40);
        put32(entry, 4, static_cast<uint32_t>(size));
        put32(entry, 8, static_cast<uint32_t>(size * 2));     // colour and mask, one above the other
        put16(entry, 12, 1);
        put16(entry, 14, 32);
        entry.insert(entry.end(), picture.bgra.begin(), picture.bgra.end());
        entry.insert(entry.end(), picture.mask.begin(), picture.mask.end());
        const size_t dir = 6 + 16 * n;
        file[dir] = static_cast<uint8_t>(size >= 256 ? 0 : size);
        file[dir + 1] = static_cast<uint8_t>(size >= 256 ? 0 : size);
        put16(file, dir + 4, 1);
        put16(file, dir + 6, 32);
        put32(file, dir + 8, static_cast<uint32_t>(entry.size()));
        put32(file, dir + 12, static_cast<uint32_t>(file.size()));
        file.insert(file.end(), entry.begin(), entry.end());
    }
    return Image::WriteFile(path, file);
}

// An icon file of square images, 32 bits per pixel; pixels of the `seeThrough` colour are left
// out by the mask (and fully transparent in the colour data).
inline bool SaveIcon(const std::string& path, const std::vector<const Image*>& images, Color seeThrough)
{
    std::vector<IconPicture> pictures;
    for (const Image* image : images) {
        const int size = image->Width();
        const size_t maskRow = IconMaskRow(size);
        IconPicture picture = NewIconPicture(size);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const Color c = image->Get(x, y);
                if (c.r == seeThrough.r && c.g == seeThrough.g && c.b == seeThrough.b)
                    picture.mask[(size - 1 - y) * maskRow + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
                else
                    SetIconPixel(picture, x, y, c, 255);
            }
        pictures.push_back(std::move(picture));
    }
    return SaveIconPictures(path, pictures);
}

}  // namespace art
