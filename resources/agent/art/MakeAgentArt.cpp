// Draws Agent's pictures: the backgrounds of its main form (326 x 193) and of its change-password
// dialog (361 x 193), the faces of its buttons (90 x 23 and 90 x 25) and of the close and minimise
// buttons (20 x 20), four states each, and the program's padlock icon (16 and 32 pixels).
// The forms share one look: a deep blue title band for the white bold title, a light body for
// the black labels, a thin dark frame. Pictures are written as run-length-encoded 8-bit bitmaps
// (a few kilobytes each: Agent.exe travels onto every USB drive). Built and run on the build host;
// the output is deterministic.
//   MakeAgentArt <output folder>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "ArtImage.h"

namespace {

using art::Color;
using art::Image;
using art::Mix;

// Rows 0..kBandRows-1 of both backgrounds are the title band; both forms show their title
// buttons at picture rows 6..25.
constexpr int kBandRows = 33;
const Color kBandTop{22, 40, 86};
const Color kBandBottom{40, 70, 134};
const Color kAccent{104, 150, 222};
const Color kBodyTop{247, 249, 253};
const Color kBodyBottom{218, 227, 241};
const Color kFrame{16, 28, 60};
const Color kSeeThrough{255, 0, 255};

// The band, with a soft shine on its upper half.
Color BandAt(int y)
{
    const Color band = Mix(kBandTop, kBandBottom, double(y) / (kBandRows - 1));
    const int shine = kBandRows / 2;
    return y < shine ? Mix(band, {255, 255, 255}, 0.06 * (1.0 - double(y) / shine)) : band;
}

Color BodyAt(int y, int height) { return Mix(kBodyTop, kBodyBottom, double(y - kBandRows) / (height - kBandRows)); }

// The background colour of a picture row (what lies under a button placed there).
Color BackgroundAt(int y, int height)
{
    if (y < kBandRows - 2)
        return BandAt(y);
    if (y == kBandRows - 2)
        return kAccent;
    if (y == kBandRows - 1)
        return Mix(kAccent, kBodyTop, 0.6);
    return BodyAt(y, height);
}

// How much of the pixel (x, y) a rounded rectangle covers, by 4 x 4 samples.
double Coverage(int x, int y, double l, double t, double r, double b, double radius)
{
    int inside = 0;
    for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) {
            const double px = x + (sx + 0.5) / 4, py = y + (sy + 0.5) / 4;
            if (px < l || px > r || py < t || py > b)
                continue;
            const double cx = std::clamp(px, l + radius, r - radius), cy = std::clamp(py, t + radius, b - radius);
            if ((px - cx) * (px - cx) + (py - cy) * (py - cy) <= radius * radius)
                ++inside;
        }
    return inside / 16.0;
}

// A rounded rectangle: `edge` on its outline, the fill given per row by `fill`.
template <class Fill>
void RoundRect(Image& image, double l, double t, double r, double b, double radius, Color edge, Fill fill)
{
    for (int y = int(t); y < int(std::ceil(b)); ++y)
        for (int x = int(l); x < int(std::ceil(r)); ++x) {
            const double outer = Coverage(x, y, l, t, r, b, radius);
            if (outer <= 0)
                continue;
            const double inner = Coverage(x, y, l + 1, t + 1, r - 1, b - 1, std::max(0.0, radius - 1));
            image.Blend(x, y, edge, outer);
            image.Blend(x, y, fill(y), inner);
        }
}

// A padlock: shackle (a rounded arch) over a body with a keyhole; `scale` 1 is 22 x 28 pixels.
void Padlock(Image& image, double ox, double oy, double scale, Color body, Color bodyDark, Color shackle,
             Color outline)
{
    const double w = 22 * scale;
    const double shackleOuter = 7.5 * scale, shackleInner = 4.5 * scale;
    const double cx = ox + w / 2, cy = oy + shackleOuter;
    for (int y = int(oy); y < int(oy + 28 * scale) + 1; ++y)
        for (int x = int(ox); x < int(ox + w) + 1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) {
                    const double px = x + (sx + 0.5) / 4, py = y + (sy + 0.5) / 4;
                    const double dx = px - cx, dy = std::min(0.0, py - cy);
                    const double d = std::sqrt(dx * dx + dy * dy);
                    if (py < oy + 14 * scale && d <= shackleOuter && d >= shackleInner)
                        ++hits;
                }
            image.Blend(x, y, shackle, hits / 16.0);
        }
    const double top = oy + 12 * scale, bottom = oy + 28 * scale;
    RoundRect(image, ox, top, ox + w, bottom, 2.5 * scale, outline,
              [&](int y) { return Mix(body, bodyDark, (y - top) / (bottom - top)); });
    // Keyhole.
    const double kx = cx, ky = top + 6 * scale;
    for (int y = int(ky - 3 * scale); y < int(ky + 7 * scale); ++y)
        for (int x = int(kx - 3 * scale); x < int(kx + 3 * scale) + 1; ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) {
                    const double px = x + (sx + 0.5) / 4, py = y + (sy + 0.5) / 4;
                    const bool round = (px - kx) * (px - kx) + (py - ky) * (py - ky) <= 2.2 * scale * 2.2 * scale;
                    const bool stem = std::fabs(px - kx) <= 1.0 * scale && py >= ky && py <= ky + 5.5 * scale;
                    hits += round || stem;
                }
            image.Blend(x, y, outline, hits / 16.0);
        }
}

// A background: band, accent line, body, and a one-pixel frame on the rows and columns the
// window shows (the panel sits at (-2, -1) on the main form and (0, -1) on the dialog).
Image Background(int width, int height, int frameLeft, int frameTop, int frameRight, int frameBottom)
{
    Image image(width, height, kBodyTop);
    for (int y = 0; y < height; ++y)
        image.FillRect(0, y, width, y + 1, BackgroundAt(y, height));
    for (int x = frameLeft; x <= frameRight; ++x) {
        image.Set(x, frameTop, kFrame);
        image.Set(x, frameBottom, kFrame);
    }
    for (int y = frameTop; y <= frameBottom; ++y) {
        image.Set(frameLeft, y, kFrame);
        image.Set(frameRight, y, kFrame);
    }
    return image;
}

// A faint rule above the buttons.
void Rule(Image& image, int y, int left, int right)
{
    for (int x = left; x < right; ++x) {
        const double fade = std::min(1.0, std::min(x - left, right - 1 - x) / 24.0);
        image.Blend(x, y, {178, 192, 216}, 0.9 * fade);
        image.Blend(x, y + 1, {255, 255, 255}, 0.8 * fade);
    }
}

struct ButtonLook {
    Color edge, top, bottom;
};

ButtonLook ButtonLookOf(int state)
{
    switch (state) {
    case 1:  // hot
        return {{24, 52, 116}, {112, 156, 228}, {58, 102, 186}};
    case 2:  // down
        return {{14, 32, 78}, {42, 74, 146}, {74, 112, 188}};
    case 3:  // disabled
        return {{118, 124, 138}, {176, 182, 194}, {146, 152, 166}};
    default:
        return {{20, 44, 102}, {88, 130, 206}, {40, 76, 152}};
    }
}

// A push button whose corners show the body colour of the rows it sits on (`top`: its first
// picture row in the background), so it needs no transparency to blend in.
Image Button(int width, int height, int state, int top, int backgroundHeight)
{
    Image image(width, height, {0, 0, 0});
    for (int y = 0; y < height; ++y)
        image.FillRect(0, y, width, y + 1, BackgroundAt(top + y, backgroundHeight));
    const ButtonLook look = ButtonLookOf(state);
    RoundRect(image, 0, 0, width, height, 3.5, look.edge,
              [&](int y) { return Mix(look.top, look.bottom, double(y) / (height - 1)); });
    // Glass: a lighter upper half and a bright inner top line.
    for (int y = 2; y < height / 2; ++y)
        for (int x = 2; x < width - 2; ++x)
            image.Blend(x, y, {255, 255, 255}, state == 2 ? 0.04 : 0.12);
    for (int x = 3; x < width - 3; ++x)
        image.Blend(x, 1, {255, 255, 255}, state == 2 ? 0.1 : 0.35);
    return image;
}

// The close (x) and minimise (_) buttons of the title band: a glyph on the band, framed and
// tinted when the pointer is on them.
Image TitleButton(bool close, int state, int top, int backgroundHeight)
{
    const int size = 20;
    Image image(size, size, {0, 0, 0});
    for (int y = 0; y < size; ++y)
        image.FillRect(0, y, size, y + 1, BackgroundAt(top + y, backgroundHeight));
    Color glyph{236, 242, 252};
    if (state == 1 || state == 2) {
        const Color face = close ? (state == 1 ? Color{206, 64, 58} : Color{150, 36, 32})
                                 : (state == 1 ? Color{76, 112, 184} : Color{30, 54, 110});
        RoundRect(image, 1, 1, size - 1, size - 1, 3, Mix(face, {0, 0, 0}, 0.35), [&](int) { return face; });
        glyph = {255, 255, 255};
    } else if (state == 3) {
        glyph = {120, 136, 168};
    }
    const double c = size / 2.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) {
                    const double px = x + (sx + 0.5) / 4 - c, py = y + (sy + 0.5) / 4 - c;
                    if (close) {
                        const bool inBox = std::fabs(px) <= 4.6 && std::fabs(py) <= 4.6;
                        hits += inBox && (std::fabs(px - py) <= 1.1 || std::fabs(px + py) <= 1.1);
                    } else {
                        hits += std::fabs(px) <= 4.6 && py >= 2.5 && py <= 4.5;
                    }
                }
            image.Blend(x, y, glyph, hits / 16.0);
        }
    return image;
}

Image Icon(int size)
{
    Image image(size, size, kSeeThrough);
    const double scale = size / 30.0;
    // Drawn over the see-through colour with hard edges (the mask is one bit deep).
    Image work(size, size, {255, 255, 255});
    Padlock(work, (size - 22 * scale) / 2, 1 * scale, scale, {246, 198, 64}, {204, 140, 22}, {112, 126, 156},
            {92, 64, 14});
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const Color c = work.Get(x, y);
            if (c.r < 250 || c.g < 250 || c.b < 250)
                image.Set(x, y, c);
        }
    return image;
}

bool Save(const std::string& folder, const std::string& name, const Image& image)
{
    const std::string path = folder + "/" + name + ".bmp";
    if (!image.SaveRle8(path)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

const char* const kStates[] = {"NORMAL", "HOT", "DOWN", "DISABLED"};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: MakeAgentArt <output folder>\n");
        return 2;
    }
    const std::string out = argv[1];
    bool ok = true;

    // Main form: the window shows picture columns 2..324 and rows 1..190.
    Image main = Background(326, 193, 2, 1, 324, 190);
    Rule(main, 124, 16, 312);
    // Right of the password edit and wholly inside the wait panel's place (picture columns 18..304,
    // rows 58..112), so that the panel, while the disk opens, covers it whole instead of cutting it.
    Padlock(main, 285, 74, 0.85, {232, 238, 248}, {206, 218, 238}, {196, 208, 230}, {168, 184, 214});
    ok &= Save(out, "MAIN_BACK", main);

    // Password dialog: columns 0..360, rows 1..191.
    Image dialog = Background(361, 193, 0, 1, 360, 191);
    Rule(dialog, 122, 16, 345);
    Padlock(dialog, 44, 131, 0.95, {232, 238, 248}, {206, 218, 238}, {196, 208, 230}, {168, 184, 214});
    ok &= Save(out, "PASSWORD_BACK", dialog);

    for (int state = 0; state < 4; ++state) {
        const std::string suffix = std::string("_") + kStates[state];
        ok &= Save(out, "BUTTON" + suffix, Button(90, 23, state, 132, 193));
        ok &= Save(out, "DLGBUTTON" + suffix, Button(90, 25, state, 131, 193));
        ok &= Save(out, "CLOSE" + suffix, TitleButton(true, state, 6, 193));
        ok &= Save(out, "MINIMIZE" + suffix, TitleButton(false, state, 6, 193));
    }

    const Image small = Icon(16), large = Icon(32);
    if (!art::SaveIcon(out + "/Agent.ico", {&small, &large}, kSeeThrough)) {
        std::fprintf(stderr, "cannot write the icon\n");
        ok = false;
    }
    return ok ? 0 : 1;
}
