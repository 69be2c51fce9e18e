#pragma once
// Whether a painted window looks finished, from its pixels: no thin line of its background art (a
// rule, a band's edge line) runs through a control, no text reaches the edge of its box (where it
// is cut), and no two sibling controls overlap. The controls' boxes come from the window tree, or
// from the caller for controls without a window of their own.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace harness {

// A picture of part of the screen, 0x00RRGGBB, top-down.
struct ScreenPicture {
    std::vector<DWORD> pixels;
    RECT screen = {};
    int Width() const { return screen.right - screen.left; }
    int Height() const { return screen.bottom - screen.top; }
    DWORD At(int x, int y) const;   // screen coordinates, inside `screen`
};

// The window as it is on screen, once its painting has settled.
bool TakeScreenPicture(HWND window, ScreenPicture& picture, DWORD settleMs = 250);

struct LaidOutControl {
    enum class Align { Left, Centre, Right };

    std::string name;               // for the report
    RECT frame = {};                // its whole box, screen coordinates
    RECT box = {};                  // the part of it its parents show
    const void* parent = nullptr;   // siblings share it
    // Hides it (false) and shows it again (true), so what it draws can be told from what lies
    // under it.
    std::function<void(bool shown)> show;
    // A text: its words, how it is laid in its box, and a way to move its box (screen
    // coordinates), so that what it would draw beyond its box shows.
    std::string text;
    bool wraps = true;              // broken into lines at the box's width
    Align align = Align::Left;
    bool middle = false;            // one line, centred from top to bottom
    std::function<void(const RECT& frame)> place;
};

struct LayoutScene {
    std::function<bool(ScreenPicture&)> take;     // the window as painted now
    RECT background = {};           // where the background's lines are looked for, screen
    std::vector<LaidOutControl> controls;
};

// A window and its own controls: every visible child of the window and of its dialog children (a
// wizard's pages), each box cut to its parents'; static texts are texts.
LayoutScene SceneOfWindow(HWND window);

// One line per flaw a person would see; none when the window looks finished. Each control is shown
// alone over the bare background once (a text in a box grown to the right and downwards), to see
// what it draws: a text drawn beyond its box is cut by it, and two controls are over each other
// where what they draw meets, not where boxes that draw nothing there share some pixels. The window
// is left as it was found.
std::vector<std::string> LayoutFlaws(const LayoutScene& scene);

}  // namespace harness
