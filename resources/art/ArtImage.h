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

struct NamedImage {
    const char* name;
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
            std::fprintf(stderr, "cannot write %s%s\n", folder.c_str(), each.name);
            return false;
        }
    }
    return true;
}

}  // namespace art
