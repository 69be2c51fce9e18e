#include "LayoutCheck.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>
#include <unordered_set>
#include <utility>

#include "WindowDriver.h"

namespace harness {

namespace {

// How far a rule's pixels stand out in brightness from the pixels on both its sides: the faintest
// rule drawn on purpose stands out by some 15, a gradient's step by 1 or 2.
constexpr int kRuleStep = 5;
// How far a text's pixels differ from what lies under the text.
constexpr int kInkDistance = 40;
constexpr char kDialogClass[] = "#32770";

int Brightness(DWORD px)
{
    return (static_cast<int>((px >> 16) & 0xFF) * 299 + static_cast<int>((px >> 8) & 0xFF) * 587 +
            static_cast<int>(px & 0xFF) * 114) / 1000;
}

int Distance(DWORD a, DWORD b)
{
    int sum = 0;
    for (int shift : {0, 8, 16})
        sum += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
    return sum;
}

bool Intersect(const RECT& a, const RECT& b, RECT& out) { return IntersectRect(&out, &a, &b) != 0; }

// Where a point of the picture lies, as a person reads a report: window coordinates.
std::string At(const ScreenPicture& picture, int x, int y)
{
    return "(" + std::to_string(x - picture.screen.left) + ", " + std::to_string(y - picture.screen.top) + ")";
}

std::string BoxText(const ScreenPicture& picture, const RECT& box)
{
    return At(picture, box.left, box.top) + "-" + At(picture, box.right, box.bottom);
}

// One row (or column) of one or two pixels that stands out the same way from both its sides.
struct Rule {
    bool horizontal;
    int at, thickness;
    int from, to;       // along the rule, screen coordinates
};

// The background's thin lines: rows (columns) that stand out from both sides along nearly all of
// the area's width (height) that no control covers; a line across the area is taken to run under
// the controls on its way.
std::vector<Rule> FindRules(const ScreenPicture& picture, const RECT& area, const std::vector<char>& covered,
                            bool horizontal)
{
    std::vector<Rule> rules;
    const int alongFrom = horizontal ? area.left : area.top, alongTo = horizontal ? area.right : area.bottom;
    const int acrossFrom = horizontal ? area.top : area.left, acrossTo = horizontal ? area.bottom : area.right;
    const int length = alongTo - alongFrom;
    auto pixel = [&](int along, int across) {
        return horizontal ? picture.At(along, across) : picture.At(across, along);
    };
    auto isCovered = [&](int along, int across) {
        const int x = (horizontal ? along : across) - picture.screen.left;
        const int y = (horizontal ? across : along) - picture.screen.top;
        return covered[static_cast<size_t>(y) * picture.Width() + x] != 0;
    };
    for (int a = acrossFrom + 1; a + 1 < acrossTo; ++a) {
        for (int thickness = 1; thickness <= 2 && a + thickness < acrossTo; ++thickness) {
            int uncovered = 0, standing = 0, first = -1, last = -1;
            for (int t = alongFrom; t < alongTo; ++t) {
                if (isCovered(t, a))
                    continue;
                ++uncovered;
                int in = Brightness(pixel(t, a));
                if (thickness == 2) {
                    const int second = Brightness(pixel(t, a + 1));
                    if (std::abs(in - second) > kRuleStep)
                        continue;
                    in = (in + second) / 2;
                }
                const int before = in - Brightness(pixel(t, a - 1)), after = in - Brightness(pixel(t, a + thickness));
                if ((before >= kRuleStep && after >= kRuleStep) || (before <= -kRuleStep && after <= -kRuleStep)) {
                    ++standing;
                    if (first < 0)
                        first = t;
                    last = t;
                }
            }
            if (uncovered >= length / 4 && standing * 100 >= uncovered * 85 && last - first >= length * 6 / 10) {
                rules.push_back({horizontal, a, thickness, first, last + 1});
                break;
            }
        }
    }
    return rules;
}

// What a control draws: the pixels that differ from the bare background where it is shown alone.
using Ink = std::unordered_set<long long>;

long long Key(int x, int y) { return (static_cast<long long>(y) << 32) | static_cast<unsigned>(x); }

// How far a text's box is grown to see what it would draw beyond it.
constexpr int kGrowth = 40;

RECT Grown(const LaidOutControl& c)
{
    RECT g = c.frame;
    if (c.middle) {
        g.top -= kGrowth / 2;
        g.bottom += kGrowth / 2;
    } else {
        g.bottom += kGrowth;
    }
    // A text broken into lines keeps its width, so its lines stay as they are.
    if (!c.wraps) {
        switch (c.align) {
        case LaidOutControl::Align::Left:
            g.right += kGrowth;
            break;
        case LaidOutControl::Align::Right:
            g.left -= kGrowth;
            break;
        case LaidOutControl::Align::Centre:
            g.left -= kGrowth / 2;
            g.right += kGrowth / 2;
            break;
        }
    }
    return g;
}

bool Touch(const Ink& a, const Ink& b)
{
    const Ink& small = a.size() < b.size() ? a : b;
    const Ink& large = a.size() < b.size() ? b : a;
    for (long long key : small) {
        const int y = static_cast<int>(key >> 32), x = static_cast<int>(static_cast<unsigned>(key & 0xFFFFFFFF));
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (large.count(Key(x + dx, y + dy)))
                    return true;
    }
    return false;
}

}  // namespace

DWORD ScreenPicture::At(int x, int y) const
{
    return pixels[static_cast<size_t>(y - screen.top) * Width() + (x - screen.left)];
}

bool TakeScreenPicture(HWND window, ScreenPicture& picture, DWORD settleMs)
{
    WaitUntil([] { return false; }, settleMs);
    int width = 0, height = 0;
    picture.screen = WindowRectOf(window);
    if (!CaptureWindow(window, picture.pixels, width, height))
        return false;
    return width == picture.Width() && height == picture.Height();
}

LayoutScene SceneOfWindow(HWND window)
{
    LayoutScene scene;
    scene.take = [window](ScreenPicture& picture) { return TakeScreenPicture(window, picture, 150); };
    RECT client = {};
    GetClientRect(window, &client);
    MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    scene.background = client;
    // A window cut to a region: the lines are looked for inside it.
    RECT region = {};
    if (GetWindowRgnBox(window, &region) != ERROR) {
        const RECT frame = WindowRectOf(window);
        OffsetRect(&region, frame.left, frame.top);
        Intersect(scene.background, region, scene.background);
    }

    // Each container with the visible part of its client area.
    std::vector<std::pair<HWND, RECT>> containers = {{window, client}};
    for (size_t i = 0; i < containers.size(); ++i) {
        const HWND container = containers[i].first;
        const RECT visible = containers[i].second;
        for (HWND child = GetWindow(container, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (!IsWindowVisible(child))
                continue;
            RECT box = WindowRectOf(child);
            if (!Intersect(box, visible, box))
                continue;
            const std::string className = ClassNameOf(child);
            if (className == kDialogClass) {
                RECT inner = {};
                GetClientRect(child, &inner);
                MapWindowPoints(child, HWND_DESKTOP, reinterpret_cast<POINT*>(&inner), 2);
                if (Intersect(inner, visible, inner))
                    containers.push_back({child, inner});
                continue;
            }
            LaidOutControl control;
            const std::string text = WindowText(child);
            control.name = className + " " + std::to_string(GetDlgCtrlID(child)) + " \"" + text.substr(0, 40) + "\"";
            control.frame = WindowRectOf(child);
            control.box = box;
            control.parent = container;
            control.show = [child](bool shown) { ShowWindow(child, shown ? SW_SHOWNA : SW_HIDE); };
            const LONG style = GetWindowLongA(child, GWL_STYLE);
            const LONG type = style & SS_TYPEMASK;
            const bool textType = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE ||
                                  type == SS_LEFTNOWORDWRAP;
            if (className == "Static" && textType && text.find_first_not_of(" \t\r\n") != std::string::npos) {
                control.text = text;
                control.middle = (style & SS_CENTERIMAGE) != 0;
                // A static breaks its text into lines unless it is one line or ends in an ellipsis.
                control.wraps = (style & (SS_ELLIPSISMASK | SS_CENTERIMAGE)) == 0 && type <= SS_RIGHT;
                control.align = type == SS_CENTER  ? LaidOutControl::Align::Centre
                                : type == SS_RIGHT ? LaidOutControl::Align::Right
                                                   : LaidOutControl::Align::Left;
                control.place = [child](const RECT& frame) {
                    RECT inParent = frame;
                    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&inParent), 2);
                    SetWindowPos(child, nullptr, inParent.left, inParent.top, inParent.right - inParent.left,
                                 inParent.bottom - inParent.top, SWP_NOZORDER | SWP_NOACTIVATE);
                };
            }
            scene.controls.push_back(control);
        }
    }
    return scene;
}

std::vector<std::string> LayoutFlaws(const LayoutScene& scene)
{
    std::vector<std::string> flaws;
    ScreenPicture picture;
    if (!scene.take(picture))
        return {"no picture of the window could be taken"};
    RECT area = {};
    const RECT whole = picture.screen;
    if (!Intersect(scene.background, whole, area))
        return {"the background lies outside the picture"};

    // The rules of the background, looked for where no control lies.
    std::vector<char> covered(picture.pixels.size(), 0);
    for (const LaidOutControl& control : scene.controls) {
        RECT box = {};
        if (!Intersect(control.box, whole, box))
            continue;
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x)
                covered[static_cast<size_t>(y - whole.top) * picture.Width() + (x - whole.left)] = 1;
    }
    for (bool horizontal : {true, false}) {
        for (const Rule& rule : FindRules(picture, area, covered, horizontal)) {
            for (const LaidOutControl& control : scene.controls) {
                const RECT& b = control.box;
                const int acrossFrom = horizontal ? b.top : b.left, acrossTo = horizontal ? b.bottom : b.right;
                const int alongFrom = horizontal ? b.left : b.top, alongTo = horizontal ? b.right : b.bottom;
                if (rule.at + rule.thickness <= acrossFrom || rule.at >= acrossTo || rule.to <= alongFrom ||
                    rule.from >= alongTo)
                    continue;
                const int at = rule.at - (horizontal ? whole.top : whole.left);
                flaws.push_back(std::string("a line of the background (") + (horizontal ? "row y=" : "column x=") +
                                std::to_string(at) + ") runs through " + control.name + " at " +
                                BoxText(picture, b));
            }
        }
    }

    // What each control draws, each shown alone over the bare background; copies of one text
    // over each other (an outline) are one drawing.
    std::vector<std::vector<size_t>> drawings;
    std::map<std::pair<const void*, std::string>, size_t> textDrawing;
    for (size_t i = 0; i < scene.controls.size(); ++i) {
        const LaidOutControl& c = scene.controls[i];
        if (!c.show)
            continue;
        if (!c.text.empty()) {
            const auto key = std::make_pair(c.parent, c.text);
            const auto found = textDrawing.find(key);
            if (found != textDrawing.end()) {
                drawings[found->second].push_back(i);
                continue;
            }
            textDrawing[key] = drawings.size();
        }
        drawings.push_back({i});
    }
    std::vector<const Ink*> inkOf(scene.controls.size(), nullptr);
    std::vector<Ink> inks(drawings.size());
    auto showAll = [&](bool shown) {
        for (const auto& drawing : drawings)
            for (size_t i : drawing)
                scene.controls[i].show(shown);
    };
    showAll(false);
    ScreenPicture bare;
    const bool bareTaken = scene.take(bare) && EqualRect(&bare.screen, &picture.screen);
    for (size_t d = 0; bareTaken && d < drawings.size(); ++d) {
        const std::vector<size_t>& drawing = drawings[d];
        const LaidOutControl& first = scene.controls[drawing.front()];
        const bool text = !first.text.empty() && first.place;
        RECT frames = first.frame, grown = first.frame, boxes = first.box;
        for (size_t i : drawing) {
            const LaidOutControl& c = scene.controls[i];
            UnionRect(&frames, &frames, &c.frame);
            UnionRect(&boxes, &boxes, &c.box);
            if (text) {
                const RECT g = Grown(c);
                UnionRect(&grown, &grown, &g);
                c.place(g);
            }
            c.show(true);
        }
        ScreenPicture lit;
        const bool taken = scene.take(lit) && EqualRect(&lit.screen, &picture.screen);
        for (size_t i : drawing) {
            const LaidOutControl& c = scene.controls[i];
            c.show(false);
            if (text)
                c.place(c.frame);
        }
        if (!taken) {
            flaws.push_back("no picture of " + first.name + " alone could be taken");
            continue;
        }
        Ink& ink = inks[d];
        for (size_t i : drawing)
            inkOf[i] = &ink;
        RECT look = {};
        Intersect(grown, whole, look);
        // A text that fills its box with a colour of its own (a static with a brush) fills the grown
        // box too: only what differs from that colour is its text.
        DWORD fill = 0;
        if (text) {
            std::map<DWORD, int> counts;
            for (int y = look.top; y < look.bottom; ++y)
                for (int x = look.left; x < look.right; ++x)
                    ++counts[lit.At(x, y)];
            int most = 0;
            for (const auto& count : counts)
                if (count.second > most) {
                    most = count.second;
                    fill = count.first;
                }
        }
        int spilled = 0;
        RECT spill = {look.right, look.bottom, look.left, look.top};
        std::set<std::string> cutSides;
        for (int y = look.top; y < look.bottom; ++y)
            for (int x = look.left; x < look.right; ++x) {
                if (Distance(lit.At(x, y), bare.At(x, y)) <= kInkDistance)
                    continue;
                const POINT point = {x, y};
                if (!PtInRect(&boxes, point)) {
                    if (text && !PtInRect(&frames, point) && Distance(lit.At(x, y), fill) > kInkDistance) {
                        ++spilled;
                        spill = {std::min<LONG>(spill.left, x), std::min<LONG>(spill.top, y),
                                 std::max<LONG>(spill.right, x + 1), std::max<LONG>(spill.bottom, y + 1)};
                    }
                    continue;
                }
                ink.insert(Key(x, y));
                // Drawn up to an edge where a parent cuts the box off.
                if (text) {
                    if (y == boxes.bottom - 1 && boxes.bottom < frames.bottom)
                        cutSides.insert("bottom");
                    if (x == boxes.right - 1 && boxes.right < frames.right)
                        cutSides.insert("right");
                }
            }
        if (!text)
            continue;
        if (ink.empty()) {
            flaws.push_back(first.name + " at " + BoxText(picture, boxes) + " shows none of its text");
            continue;
        }
        if (spilled)
            flaws.push_back("the text of " + first.name + " runs on beyond its box " + BoxText(picture, frames) +
                            " (to " + BoxText(picture, spill) + "): it is cut");
        for (const std::string& side : cutSides)
            flaws.push_back("the text of " + first.name + " is cut at the " + side + " edge of its parent, at " +
                            BoxText(picture, boxes));
    }
    showAll(true);
    if (!bareTaken)
        flaws.push_back("no picture of the bare background could be taken");
    // The window's own painting settles before the caller looks again.
    WaitUntil([] { return false; }, 150);

    // Siblings over each other or touching: where what they draw meets.
    for (size_t i = 0; i < scene.controls.size(); ++i) {
        for (size_t j = i + 1; j < scene.controls.size(); ++j) {
            const LaidOutControl& a = scene.controls[i];
            const LaidOutControl& b = scene.controls[j];
            if (a.parent != b.parent || !inkOf[i] || !inkOf[j] || inkOf[i] == inkOf[j])
                continue;
            RECT room = {}, aRoom = a.box;
            InflateRect(&aRoom, 1, 1);
            if (!Intersect(aRoom, b.box, room) || !Touch(*inkOf[i], *inkOf[j]))
                continue;
            RECT shared = {};
            flaws.push_back(a.name + " and " + b.name +
                            (Intersect(a.box, b.box, shared) ? " are drawn over each other at " + BoxText(picture, shared)
                                                             : " touch at " + BoxText(picture, room)));
        }
    }
    return flaws;
}

}  // namespace harness
