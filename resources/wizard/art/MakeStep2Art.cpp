// Draws page 2's own bitmaps: the password-strength bar (104 x 6, red through amber to green, shown
// cut to the strength), the four faces of the browse button (30 x 19, light, for its dark " ..."
// caption) and of the size's plus and minus buttons (16 x 8 each, stacked beside the size edit).
// The buttons' corners take the colour of the page background where they sit. Built and run on
// the build host; the output is deterministic.
//   MakeStep2Art <output folder>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "ArtImage.h"

namespace {

using art::Color;
using art::Image;
using art::Mix;
using art::RoundRectCoverage;

// Page 2's background (bitmap 200) under the buttons: its body gradient at their rows.
const Color kUnderBrowse = {18, 35, 68};
const Color kUnderSize = {16, 31, 62};

Image StrengthBar()
{
    const int width = 104, height = 6;
    Image image(width, height, Color{0, 0, 0});
    const Color red = {214, 64, 52}, amber = {236, 170, 48}, green = {70, 186, 92};
    for (int x = 0; x < width; ++x) {
        const double t = double(x) / (width - 1);
        const Color base = t < 0.5 ? Mix(red, amber, t * 2) : Mix(amber, green, (t - 0.5) * 2);
        for (int y = 0; y < height; ++y) {
            Color c = base;
            if (y == 0)
                c = Mix(c, Color{255, 255, 255}, 0.35);
            else if (y == height - 1)
                c = Mix(c, Color{0, 0, 0}, 0.25);
            image.Set(x, y, c);
        }
    }
    return image;
}

struct Face {
    Color top, bottom, border;
};

Image Button(int width, int height, double radius, Color under, const Face& face)
{
    return art::RoundedButton(width, height, radius, under, face.top, face.bottom, face.border);
}

// A small triangle, pointing up or down, centred.
void Arrow(Image& image, bool up, Color mark)
{
    const int cx = image.Width() / 2;
    for (int row = 0; row < 3; ++row) {
        const int y = up ? 2 + row : image.Height() - 3 - row;
        for (int x = cx - 1 - row; x <= cx + row; ++x)
            image.Set(x, y, mark);
    }
}

const Face kLightFaces[4] = {
    {{236, 241, 248}, {196, 208, 226}, {120, 150, 190}},   // normal
    {{182, 196, 218}, {214, 224, 238}, {96, 126, 170}},    // pressed
    {{250, 252, 255}, {214, 226, 242}, {160, 190, 230}},   // hover
    {{150, 154, 162}, {128, 132, 140}, {104, 106, 112}},   // disabled
};
const Face kSizeFaces[4] = {
    {{92, 132, 186}, {56, 88, 136}, {140, 172, 214}},
    {{40, 66, 106}, {64, 98, 146}, {120, 150, 196}},
    {{118, 162, 218}, {72, 110, 164}, {190, 214, 244}},
    {{84, 86, 92}, {64, 66, 72}, {104, 106, 112}},
};

}  // namespace

int main(int argc, char** argv)
{
    const char* const states[4] = {"normal", "pressed", "hover", "disabled"};
    std::vector<art::NamedImage> images = {{"strength_bar.bmp", StrengthBar()}};
    for (size_t i = 0; i < 4; ++i) {
        const Color mark = i == 3 ? Color{140, 142, 148} : Color{245, 247, 250};
        const std::string state = std::string(states[i]) + ".bmp";
        Image up = Button(16, 8, 2.5, kUnderSize, kSizeFaces[i]);
        Image down = Button(16, 8, 2.5, kUnderSize, kSizeFaces[i]);
        Arrow(up, true, mark);
        Arrow(down, false, mark);
        images.push_back({"browse_" + state, Button(30, 19, 4, kUnderBrowse, kLightFaces[i])});
        images.push_back({"size_up_" + state, up});
        images.push_back({"size_down_" + state, down});
    }
    return art::WriteImages(argc, argv, images);
}
