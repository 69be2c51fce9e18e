// Draws the bitmaps of the progress dialog and the USB-scanning box: their shared background
// (405 x 91, a light panel whose body is exactly the dialogs' text brush 0xFFE9D2), the bar
// (350 x 22) and the bar's frame with its empty trough (352 x 24). Built and run on the build host;
// the output is deterministic.
//   MakeProgressArt <output folder>
#include <cmath>
#include <cstdio>
#include <string>

#include "ArtImage.h"

namespace {

using art::Color;
using art::Image;
using art::Mix;

// The text statics paint their background with this brush, so the body must be exactly it.
const Color kPanel = {210, 233, 255};
const Color kAccent = {86, 150, 230};
const Color kBorder = {58, 98, 156};

Image Background()
{
    const int width = 405, height = 91;
    Image image(width, height, kPanel);
    // An accent band along the top edge, fading into the panel.
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < width; ++x)
            image.Set(x, y, Mix(kAccent, kPanel, y / 6.0));
    // A faint shade along the bottom edge.
    for (int y = height - 5; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.Set(x, y, Mix(kPanel, Color{176, 204, 236}, (y - (height - 5)) / 4.0));
    // The window's round region cuts the corners; the border follows it.
    art::DrawRoundRegionBorder(image, kBorder);
    return image;
}

Image Bar()
{
    const int width = 350, height = 22;
    Image image(width, height, kAccent);
    const Color top = {132, 192, 250}, middle = {70, 138, 222}, bottom = {38, 98, 186};
    for (int y = 0; y < height; ++y) {
        const double t = double(y) / (height - 1);
        const Color fill = t < 0.5 ? Mix(top, middle, t * 2) : Mix(middle, bottom, (t - 0.5) * 2);
        for (int x = 0; x < width; ++x) {
            image.Set(x, y, fill);
            // Soft diagonal stripes, the usual sign of work going on.
            const int phase = (x + height - y) % 16;
            if (phase < 8)
                image.Blend(x, y, Color{255, 255, 255}, 0.10);
        }
    }
    for (int x = 0; x < width; ++x) {
        image.Blend(x, 0, Color{255, 255, 255}, 0.45);
        image.Blend(x, 1, Color{255, 255, 255}, 0.20);
        image.Blend(x, height - 1, Color{20, 50, 110}, 0.35);
    }
    return image;
}

Image Frame()
{
    const int width = 352, height = 24;
    Image image(width, height, kBorder);
    // The trough the bar fills: a white, slightly sunken inside.
    image.VerticalGradient(1, 1, width - 1, height - 1, Color{226, 234, 244}, Color{252, 253, 255});
    for (int x = 1; x < width - 1; ++x)
        image.Blend(x, 1, Color{150, 170, 196}, 0.5);
    return image;
}

}  // namespace

int main(int argc, char** argv)
{
    return art::WriteImages(argc, argv, {{"progress_background.bmp", Background()},
                                         {"progress_bar.bmp", Bar()},
                                         {"progress_frame.bmp", Frame()}});
}
