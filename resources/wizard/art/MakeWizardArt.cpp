// Draws the wizard's bitmaps: three page backgrounds (609 x 408), the four faces of the navigation
// buttons (85 x 26), the four states of the close and minimise buttons (14 x 14), and the program's
// icon. Built and run
// on the build host; the output is deterministic, so the same sources give the same bitmaps.
//   MakeWizardArt <output folder>
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

// The bands the sheet's own controls sit on; buttons are drawn onto the same flat colour so their
// rounded corners blend in.
const Color kCaptionBand = {30, 32, 36};
const Color kButtonBand = {36, 38, 44};
// The sheet paints the frame round its page itself and repaints only the caption and button bands
// when a page changes the background, so everything outside the page is the same in every
// background: the caption band with its edge line, the strips left and right of the page and the
// button band. Only the part under the page (columns 2 to 601, rows 30 to 365) tells the pages apart.
const Color kFrameLine = {70, 120, 170};
const Color kSideStrip = {24, 26, 30};
constexpr int kBodyLeft = 2, kBodyRight = 602, kBodyTop = 30, kBodyBottom = 366;

Image Background(Color accent, Color bodyTop, Color bodyBottom)
{
    const int width = 609, height = 408;
    Image image(width, height, kCaptionBand);
    image.FillRect(0, 0, width, kBodyTop - 1, kCaptionBand);
    image.FillRect(0, kBodyTop - 1, width, kBodyTop, kFrameLine);
    image.FillRect(0, kBodyTop, width, kBodyBottom, kSideStrip);
    image.VerticalGradient(kBodyLeft, kBodyTop, kBodyRight, kBodyBottom, bodyTop, bodyBottom);
    // The button band starts where the page ends: no line of ours under the page's last controls.
    image.FillRect(0, kBodyBottom, width, height, kButtonBand);

    // A soft glow and two rings on the left of the body: a disk, the suite's motif. The titles
    // and the controls lie on the plain gradient: no rule of ours runs under them.
    const double gx = 96, gy = 196;
    for (int y = kBodyTop; y < kBodyBottom; ++y) {
        for (int x = kBodyLeft; x < kBodyRight; ++x) {
            const double d = std::hypot(x - gx, y - gy);
            image.Blend(x, y, accent, 0.22 * std::exp(-(d * d) / (2 * 70.0 * 70.0)));
            for (double ring : {58.0, 38.0}) {
                const double edge = std::fabs(d - ring);
                if (edge < 1.5)
                    image.Blend(x, y, Color{230, 236, 245}, 0.35 * (1.5 - edge) / 1.5);
            }
            if (d < 9)
                image.Blend(x, y, Color{230, 236, 245}, 0.45 * std::clamp(9 - d, 0.0, 1.0));
        }
    }
    return image;
}

Image ButtonFace(Color top, Color bottom, Color border)
{
    const int width = 85;
    Image image = art::RoundedButton(width, 26, 5, kButtonBand, top, bottom, border);
    // A highlight along the top edge.
    for (int x = 4; x < width - 4; ++x)
        image.Blend(x, 1, Color{255, 255, 255}, 0.25);
    return image;
}

enum class Glyph { Close, Minimize };

Image SmallButton(Glyph glyph, Color fill, Color mark)
{
    const int size = 14;
    Image image(size, size, kCaptionBand);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            image.Blend(x, y, fill, RoundRectCoverage(x + 0.5, y + 0.5, 0, 0, size, size, 3));
    if (glyph == Glyph::Close) {
        for (int i = 3; i <= 10; ++i) {
            image.Set(i, i, mark);
            image.Set(13 - i, i, mark);
            image.Blend(i + 1, i, mark, 0.5);
            image.Blend(12 - i, i, mark, 0.5);
        }
    } else {
        image.FillRect(3, 9, 11, 11, mark);
    }
    return image;
}

// The program's icon: a rounded tile with the disk motif, 32-bit with alpha; the alpha channel
// alone decides what shows, so the mask is empty.
art::IconPicture IconPicture(int size)
{
    const Color tile = {52, 110, 190}, ring = {236, 242, 250};
    art::IconPicture picture = art::NewIconPicture(size);
    const double c = size / 2.0, unit = size / 32.0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double cover = RoundRectCoverage(x + 0.5, y + 0.5, 0, 0, size, size, 6 * unit);
            Color color = tile;
            const double d = std::hypot(x + 0.5 - c, y + 0.5 - c);
            for (double r : {11.0 * unit, 6.5 * unit})
                color = Mix(color, ring, std::clamp(1.2 * unit - std::fabs(d - r), 0.0, 1.0));
            color = Mix(color, ring, std::clamp(2.5 * unit - d + 0.5, 0.0, 1.0));
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
    const Color white = {245, 247, 250};
    const std::vector<art::NamedImage> outputs = {
        // Pages 1 and 4, page 3, and the first page shown (also page 2).
        {"background_operations.bmp", Background({64, 170, 190}, {26, 48, 78}, {12, 24, 44})},
        {"background_open.bmp", Background({214, 160, 60}, {42, 40, 64}, {18, 18, 34})},
        {"background_start.bmp", Background({86, 150, 230}, {22, 44, 82}, {10, 20, 44})},
        {"button_normal.bmp", ButtonFace({78, 118, 170}, {44, 74, 118}, {140, 172, 214})},
        {"button_pressed.bmp", ButtonFace({34, 58, 96}, {56, 90, 138}, {120, 150, 196})},
        {"button_hover.bmp", ButtonFace({104, 150, 206}, {60, 98, 150}, {190, 214, 244})},
        {"button_disabled.bmp", ButtonFace({84, 86, 92}, {64, 66, 72}, {104, 106, 112})},
        {"close_normal.bmp", SmallButton(Glyph::Close, {78, 80, 88}, white)},
        {"close_pressed.bmp", SmallButton(Glyph::Close, {140, 30, 30}, white)},
        {"close_hover.bmp", SmallButton(Glyph::Close, {200, 52, 48}, white)},
        {"close_disabled.bmp", SmallButton(Glyph::Close, {54, 56, 60}, {110, 112, 118})},
        {"minimize_normal.bmp", SmallButton(Glyph::Minimize, {78, 80, 88}, white)},
        {"minimize_pressed.bmp", SmallButton(Glyph::Minimize, {40, 66, 110}, white)},
        {"minimize_hover.bmp", SmallButton(Glyph::Minimize, {70, 118, 190}, white)},
        {"minimize_disabled.bmp", SmallButton(Glyph::Minimize, {54, 56, 60}, {110, 112, 118})},
    };
    if (!art::SaveImages(out, outputs))
        return 1;
    if (!art::SaveIconPictures(out + "brixom.ico", {IconPicture(16), IconPicture(32), IconPicture(48)})) {
        std::fprintf(stderr, "cannot write %sbrixom.ico\n", out.c_str());
        return 1;
    }
    return 0;
}
