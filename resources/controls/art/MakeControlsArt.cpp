// Draws the control library's bitmaps: the faces of the check box and the radio button (16 x 16,
// four states each, unchecked and checked) and the pieces of the drop-down list (left end, middle,
// arrow in three states, all 15 high to fit a list row). White is the transparent colour of the
// button faces, so everything outside a face is exactly white and edges are not blended into it.
// Built and run on the build host; the output is deterministic.
//   MakeControlsArt <output folder>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "ArtImage.h"

namespace {

using art::Color;
using art::Image;
using art::Mix;

const Color kWhite{255, 255, 255};


// The look of one state: border, the face's top and bottom colours, the mark's colour.
struct Look {
    Color border, top, bottom, mark;
};

Look LookOf(int state)
{
    switch (state) {
    case 1:  // hover
        return {{52, 112, 196}, {250, 252, 255}, {214, 230, 250}, {24, 70, 150}};
    case 2:  // pressed
        return {{36, 84, 160}, {188, 208, 236}, {214, 226, 244}, {16, 50, 120}};
    case 3:  // disabled
        return {{166, 166, 166}, {236, 236, 236}, {226, 226, 226}, {150, 150, 150}};
    default:  // normal
        return {{98, 110, 130}, {248, 248, 250}, {218, 222, 230}, {32, 40, 60}};
    }
}

// Keeps a face colour from being the transparent white.
Color NotWhite(Color c)
{
    if (c.r == 255 && c.g == 255 && c.b == 255)
        return {254, 254, 254};
    return c;
}

Image CheckFace(int state, bool checked)
{
    const Look look = LookOf(state);
    Image image(16, 16, kWhite);
    // A square box of 13 x 13 with cut corners, one pixel in from the left and top.
    for (int y = 1; y < 14; ++y) {
        for (int x = 1; x < 14; ++x) {
            const bool corner = (x == 1 || x == 13) && (y == 1 || y == 13);
            if (corner)
                continue;
            const bool edge = x == 1 || x == 13 || y == 1 || y == 13;
            image.Set(x, y, edge ? look.border : NotWhite(Mix(look.top, look.bottom, (y - 2) / 10.0)));
        }
    }
    if (checked) {
        // A tick two pixels thick: down to (6, 10), then up to (11, 4).
        const int points[][2] = {{4, 7}, {5, 8}, {6, 9}, {7, 8}, {8, 7}, {9, 6}, {10, 5}, {11, 4}};
        for (const auto& p : points) {
            image.Set(p[0], p[1], look.mark);
            image.Set(p[0], p[1] + 1, look.mark);
        }
    }
    return image;
}

Image RadioFace(int state, bool checked)
{
    const Look look = LookOf(state);
    Image image(16, 16, kWhite);
    const double cx = 7.0, cy = 7.0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const double d = std::hypot(x - cx, y - cy);
            if (d > 6.6)
                continue;
            if (d > 5.5)
                image.Set(x, y, look.border);
            else if (checked && d < 2.6)
                image.Set(x, y, look.mark);
            else
                image.Set(x, y, NotWhite(Mix(look.top, look.bottom, (y - 1) / 12.0)));
        }
    }
    return image;
}

const int kComboHeight = 15;
const Color kComboBorder{98, 110, 130};
const Color kComboField{255, 255, 255};

Image ComboLeft()
{
    Image image(4, kComboHeight, kComboField);
    image.FillRect(0, 1, 1, kComboHeight - 1, kComboBorder);
    image.FillRect(1, 0, 4, 1, kComboBorder);
    image.FillRect(1, kComboHeight - 1, 4, kComboHeight, kComboBorder);
    return image;
}

Image ComboMiddle()
{
    Image image(2, kComboHeight, kComboField);
    image.FillRect(0, 0, 2, 1, kComboBorder);
    image.FillRect(0, kComboHeight - 1, 2, kComboHeight, kComboBorder);
    return image;
}

Image ComboArrow(int state)
{
    const Look look = LookOf(state);
    Image image(17, kComboHeight, kComboField);
    for (int y = 0; y < kComboHeight; ++y)
        image.FillRect(0, y, 17, y + 1, Mix(look.top, look.bottom, y / double(kComboHeight - 1)));
    image.FillRect(0, 0, 16, 1, look.border);
    image.FillRect(0, kComboHeight - 1, 16, kComboHeight, look.border);
    image.FillRect(0, 0, 1, kComboHeight, look.border);
    image.FillRect(16, 1, 17, kComboHeight - 1, look.border);
    // A down arrow: rows of 7, 5, 3 and 1 pixels, centred, one lower while pressed.
    const int shift = state == 2 ? 1 : 0;
    for (int i = 0; i < 4; ++i)
        image.FillRect(5 + i + shift, 6 + i + shift, 12 - i + shift, 7 + i + shift, look.mark);
    return image;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* states[] = {"normal", "hover", "pressed", "disabled"};
    std::vector<art::NamedImage> outputs;
    for (int s = 0; s < 4; ++s) {
        outputs.push_back({std::string("check_") + states[s] + ".bmp", CheckFace(s, false)});
        outputs.push_back({std::string("check_on_") + states[s] + ".bmp", CheckFace(s, true)});
        outputs.push_back({std::string("radio_") + states[s] + ".bmp", RadioFace(s, false)});
        outputs.push_back({std::string("radio_on_") + states[s] + ".bmp", RadioFace(s, true)});
    }
    outputs.push_back({"combo_left.bmp", ComboLeft()});
    outputs.push_back({"combo_middle.bmp", ComboMiddle()});
    outputs.push_back({"combo_arrow_normal.bmp", ComboArrow(0)});
    outputs.push_back({"combo_arrow_pressed.bmp", ComboArrow(2)});
    outputs.push_back({"combo_arrow_disabled.bmp", ComboArrow(3)});
    return art::WriteImages(argc, argv, outputs);
}
