// Draws Lumetta's artwork: the about box's background (469 x 296: a dark title band for its white
// title and close button over a light body for its black labels and blue links, with the product
// emblem at the left), the faces of its close (20 x 20) and OK (85 x 25) buttons, and the program
// icon. Built and run on the build host; the output is deterministic.
//   MakeTrayArt <output folder>
#include <cmath>
#include <cstdio>
#include <string>

#include "ArtImage.h"

namespace {

using art::Color;
using art::Image;
using art::Mix;
using art::RoundRectCoverage;

constexpr int kWidth = 469, kHeight = 296;
constexpr int kBandHeight = 34;          // the title band: the title label and the close button sit in it

const Color kBandTop = {40, 84, 140}, kBandBottom = {24, 54, 100};
const Color kBodyTop = {246, 249, 252}, kBodyBottom = {218, 228, 240};
const Color kBorder = {30, 58, 100};
const Color kAccent = {236, 168, 52};

Color BodyAt(int y)
{
    return Mix(kBodyTop, kBodyBottom, double(y - kBandHeight) / (kHeight - kBandHeight - 1));
}

Color BandAt(int y)
{
    return Mix(kBandTop, kBandBottom, double(y) / (kBandHeight - 1));
}

// The product emblem: a rounded tile with a disk's rings and a small tray shelf under it.
void DrawEmblem(Image& image, double left, double top, double size, Color tile, Color ring)
{
    const double unit = size / 32.0, cx = left + size / 2, cy = top + size * 0.44;
    for (int y = static_cast<int>(top); y < static_cast<int>(top + size) + 1; ++y) {
        for (int x = static_cast<int>(left); x < static_cast<int>(left + size) + 1; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double cover = RoundRectCoverage(px, py, left, top, left + size, top + size, 6 * unit);
            if (cover <= 0)
                continue;
            Color color = Mix(tile, Mix(tile, Color{0, 0, 0}, 0.35), (py - top) / size);
            const double d = std::hypot(px - cx, py - cy);
            for (double r : {9.5 * unit, 5.5 * unit})
                color = Mix(color, ring, std::clamp(1.1 * unit - std::fabs(d - r), 0.0, 1.0));
            color = Mix(color, ring, std::clamp(2.2 * unit - d + 0.5, 0.0, 1.0));
            // The shelf: a bar across the lower part of the tile.
            const double shelf = RoundRectCoverage(px, py, left + 7 * unit, top + 24 * unit, left + 25 * unit,
                                                   top + 27 * unit, 1.5 * unit);
            color = Mix(color, kAccent, shelf);
            image.Blend(x, y, color, cover);
        }
    }
}

Image Background()
{
    Image image(kWidth, kHeight, kBodyTop);
    for (int y = 0; y < kHeight; ++y) {
        const Color row = y < kBandHeight ? BandAt(y) : BodyAt(y);
        for (int x = 0; x < kWidth; ++x)
            image.Set(x, y, row);
    }
    // A soft light line along the band's lower edge and a thin accent under it.
    for (int x = 0; x < kWidth; ++x) {
        image.Blend(x, kBandHeight - 1, Color{120, 160, 214}, 0.6);
        image.Set(x, kBandHeight, kAccent);
        image.Blend(x, kBandHeight + 1, kAccent, 0.35);
    }
    // The emblem at the left of the company and product names.
    DrawEmblem(image, 120, 42, 62, {52, 132, 120}, {236, 244, 250});
    // A faint rule between the description and the links.
    for (int x = 24; x < kWidth - 24; ++x)
        image.Blend(x, 204, Color{160, 178, 204}, 0.7 * std::sin(M_PI * (x - 24) / (kWidth - 48)));
    // The window's round region cuts the corners; the border follows it.
    art::DrawRoundRegionBorder(image, kBorder);
    return image;
}

// The close button (at 442, 7 in the band): a rounded square with a cross.
Image CloseButton(Color face, Color glyph)
{
    const int size = 20;
    Image image(size, size, BandAt(7));
    for (int y = 0; y < size; ++y) {
        const Color under = BandAt(7 + y);
        for (int x = 0; x < size; ++x) {
            image.Set(x, y, under);
            image.Blend(x, y, face, RoundRectCoverage(x + 0.5, y + 0.5, 1, 1, size - 1, size - 1, 4));
            // The cross: two strokes of 1.6 pixels through the centre.
            const double px = x + 0.5 - size / 2.0, py = y + 0.5 - size / 2.0;
            if (std::fabs(px) < 5.2 && std::fabs(py) < 5.2) {
                const double d = std::fmin(std::fabs(px - py), std::fabs(px + py)) / std::sqrt(2.0);
                image.Blend(x, y, glyph, std::clamp(1.3 - d, 0.0, 1.0));
            }
        }
    }
    return image;
}

// The OK button (at 330, 240 on the body): a rounded face for white text.
Image OkButton(Color top, Color bottom, Color border)
{
    const int width = 85, height = 25, at = 240;
    Image image = art::RoundedButton(width, height, 6, BodyAt(at), top, bottom, border);
    // The corners show the body as it is at their own rows.
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double inside = RoundRectCoverage(x + 0.5, y + 0.5, 0, 0, width, height, 6);
            if (inside <= 0)
                image.Set(x, y, BodyAt(at + y));
        }
    }
    // A light sheen over the upper half.
    for (int y = 2; y < height / 2; ++y)
        for (int x = 3; x < width - 3; ++x)
            image.Blend(x, y, Color{255, 255, 255}, 0.10 * (1.0 - double(y) / (height / 2)));
    return image;
}

// The program icon: the emblem as a tile of its own, 32-bit with alpha; the mask stays empty.
art::IconPicture IconPicture(int size)
{
    Image image(size, size, {0, 0, 0});
    DrawEmblem(image, 0, 0, size, {52, 132, 120}, {236, 244, 250});
    art::IconPicture picture = art::NewIconPicture(size);
    const double unit = size / 32.0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double cover = RoundRectCoverage(x + 0.5, y + 0.5, 0, 0, size, size, 6 * unit);
            // The emblem was blended over black: undo that at the soft edge.
            Color color = image.Get(x, y);
            if (cover > 0 && cover < 1)
                color = {static_cast<int>(std::lround(color.r / cover)), static_cast<int>(std::lround(color.g / cover)),
                         static_cast<int>(std::lround(color.b / cover))};
            art::SetIconPixel(picture, x, y, color, static_cast<int>(std::lround(cover * 255)));
        }
    }
    return picture;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string out = art::OutputFolder(argc, argv);
    if (out.empty())
        return 2;
    const Color white = {250, 252, 255};
    const std::vector<art::NamedImage> outputs = {
        {"about_background.bmp", Background()},
        {"about_close_normal.bmp", CloseButton({58, 96, 150}, white)},
        {"about_close_hover.bmp", CloseButton({200, 52, 48}, white)},
        {"about_close_pressed.bmp", CloseButton({140, 30, 30}, white)},
        {"about_close_disabled.bmp", CloseButton({70, 86, 110}, {130, 140, 156})},
        {"about_ok_normal.bmp", OkButton({70, 124, 196}, {36, 78, 142}, {24, 54, 100})},
        {"about_ok_hover.bmp", OkButton({96, 154, 226}, {52, 100, 170}, {30, 64, 116})},
        {"about_ok_pressed.bmp", OkButton({30, 64, 116}, {52, 96, 160}, {20, 44, 84})},
        {"about_ok_disabled.bmp", OkButton({150, 158, 170}, {120, 128, 140}, {100, 106, 116})},
    };
    if (!art::SaveImages(out, outputs))
        return 1;
    if (!art::SaveIconPictures(out + "lumetta.ico", {IconPicture(16), IconPicture(32), IconPicture(48)})) {
        std::fprintf(stderr, "cannot write %slumetta.ico\n", out.c_str());
        return 1;
    }
    return 0;
}
