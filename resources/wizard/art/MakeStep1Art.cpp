// Draws the bitmaps of page 1 and of the new-version notice: the two further faces page 1 keeps
// with its disk list (20 pixels high), the notice's background (400 x 267) and its button faces
// (120 x 26); the check-box, radio and drop-down faces are the control library's. Built and run on the build
// host; the output is deterministic.
//   MakeStep1Art <output folder>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "ArtImage.h"

namespace {

using art::Color;
using art::Image;
using art::Mix;
using art::RoundRectCoverage;

const Color kWhite = {255, 255, 255};

Image ComboPiece(int width, Color top, Color bottom, Color frame, bool leftEnd, bool arrow, Color mark)
{
    const int height = 20;
    Image image(width, height, frame);
    for (int y = 1; y < height - 1; ++y) {
        const Color fill = Mix(top, bottom, double(y) / (height - 1));
        for (int x = leftEnd ? 1 : 0; x < width; ++x)
            image.Set(x, y, fill);
    }
    if (arrow) {
        image.Set(0, 0, frame);
        for (int y = 0; y < height; ++y)
            image.Set(0, y, frame);
        for (int y = 0; y < height; ++y)
            image.Set(width - 1, y, frame);
        // A small triangle pointing down in the middle.
        for (int row = 0; row < 4; ++row)
            for (int x = 6 + row; x < width - 6 - row; ++x)
                image.Set(x, 8 + row, mark);
    }
    return image;
}

Image NoticeBackground()
{
    const int width = 400, height = 267;
    const Color band = {30, 32, 36}, accent = {64, 170, 190};
    Image image(width, height, band);
    for (int y = 31; y < height; ++y) {
        const Color fill = Mix(Color{26, 48, 78}, Color{12, 24, 44}, double(y - 31) / (height - 32));
        for (int x = 0; x < width; ++x)
            image.Set(x, y, fill);
    }
    for (int x = 0; x < width; ++x)
        image.Set(x, 30, accent);
    // A soft glow behind the headline.
    for (int y = 31; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double d = std::hypot((x - 200) / 1.8, y - 80.0);
            image.Blend(x, y, accent, 0.25 * std::exp(-(d * d) / (2 * 45.0 * 45.0)));
        }
    return image;
}

Image NoticeButton(Color top, Color bottom, Color border)
{
    return art::RoundedButton(120, 26, 5, Color{14, 28, 50}, top, bottom, border);
}

}  // namespace

int main(int argc, char** argv)
{
    const Color comboTop = {60, 90, 130}, comboBottom = {34, 58, 96}, comboFrame = {140, 172, 214};
    const Color arrowMark = {245, 247, 250};
    return art::WriteImages(argc, argv, {
        {"combo_extra_a.bmp", ComboPiece(20, comboTop, comboBottom, comboFrame, false, false, arrowMark)},
        {"combo_extra_b.bmp", ComboPiece(20, comboBottom, comboTop, comboFrame, false, false, arrowMark)},
        {"newversion_background.bmp", NoticeBackground()},
        {"newversion_button_normal.bmp", NoticeButton({78, 118, 170}, {44, 74, 118}, {140, 172, 214})},
        {"newversion_button_hover.bmp", NoticeButton({104, 150, 206}, {60, 98, 150}, {190, 214, 244})},
        {"newversion_button_pressed.bmp", NoticeButton({34, 58, 96}, {56, 90, 138}, {120, 150, 196})},
    });
}
