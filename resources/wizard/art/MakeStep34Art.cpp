// Draws the bitmaps of pages 3 and 4 that the control library does not give: the four faces of the
// small browse button beside an image path (30 x 21), light so that its black " ..." reads well
// on the dark pages. Built and run on the build host; the output is deterministic.
//   MakeStep34Art <output folder>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "ArtImage.h"

namespace {

using art::Color;
using art::Image;
using art::Mix;

constexpr int kWidth = 30, kHeight = 21;
// The page background round the button (the body's gradient at the height of the image edit).
const Color kPageBehind = {33, 32, 53};

double RoundRectCoverage(double x, double y, double l, double t, double r, double b, double radius)
{
    const double cx = std::clamp(x, l + radius, r - radius);
    const double cy = std::clamp(y, t + radius, b - radius);
    return std::clamp(radius - std::hypot(x - cx, y - cy) + 0.5, 0.0, 1.0);
}

Image BrowseFace(Color top, Color bottom, Color border, double shine)
{
    Image image(kWidth, kHeight, kPageBehind);
    for (int y = 0; y < kHeight; ++y) {
        const Color fill = Mix(top, bottom, double(y) / (kHeight - 1));
        for (int x = 0; x < kWidth; ++x) {
            image.Blend(x, y, border, RoundRectCoverage(x + 0.5, y + 0.5, 0, 0, kWidth, kHeight, 4));
            image.Blend(x, y, fill, RoundRectCoverage(x + 0.5, y + 0.5, 1, 1, kWidth - 1, kHeight - 1, 3));
        }
    }
    // A soft highlight over the upper half.
    for (int y = 2; y < kHeight / 2; ++y)
        for (int x = 3; x < kWidth - 3; ++x)
            image.Blend(x, y, Color{255, 255, 255}, shine * (1.0 - double(y) / (kHeight / 2)));
    return image;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::string out = std::string(argv[1]) + "/";
    struct Output {
        const char* name;
        Image image;
    };
    const Output outputs[] = {
        {"browse_normal.bmp", BrowseFace({226, 232, 242}, {178, 192, 214}, {120, 140, 172}, 0.35)},
        {"browse_hover.bmp", BrowseFace({244, 238, 214}, {220, 196, 140}, {214, 160, 60}, 0.4)},
        {"browse_pressed.bmp", BrowseFace({164, 178, 202}, {206, 214, 228}, {100, 120, 152}, 0.0)},
        {"browse_disabled.bmp", BrowseFace({130, 132, 140}, {110, 112, 120}, {90, 92, 100}, 0.1)},
    };
    for (const Output& o : outputs) {
        if (!o.image.Save(out + o.name)) {
            std::fprintf(stderr, "cannot write %s%s\n", out.c_str(), o.name);
            return 1;
        }
    }
    return 0;
}
