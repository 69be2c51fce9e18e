// Agent's skinned controls in real windows under Wine: what they paint (read back from the
// pixels), their states, and the keys and clicks that drive them.
#include <gtest/gtest.h>

#include "WindowDriver.h"

#include "CheckMarkImages.h"
#include "TApplication.h"
#include "TForm.h"
#include "TLabel.h"
#include "TskCheckBox.h"
#include "TskEdit.h"
#include "TskImageButton.h"
#include "TskImagePanel.h"
#include "TskPopupMenu.h"

#include <memory>

namespace {

const COLORREF kNormal = RGB(200, 0, 0);
const COLORREF kHover = RGB(0, 200, 0);
const COLORREF kPressed = RGB(0, 0, 200);
const COLORREF kDisabled = RGB(90, 90, 90);

COLORREF PixelAt(TBitmap& b, int x, int y)
{
    return GetPixel(b.DC(), x, y);
}

void Solid(TPicture& picture, int w, int h, COLORREF color)
{
    TBitmap b;
    b.SetSize(w, h);
    b.Canvas().SetBrushColor(color);
    b.Canvas().FillRect(RECT{0, 0, w, h});
    picture.Assign(&b);
}

// What a control paints, by a WM_PAINT carrying a memory device context.
std::unique_ptr<TBitmap> Painted(TWinControl& control)
{
    auto b = std::make_unique<TBitmap>();
    b->SetSize(control.Width(), control.Height());
    SendMessageA(control.Handle(), WM_PAINT, reinterpret_cast<WPARAM>(b->DC()), 0);
    return b;
}

bool Contains(TBitmap& b, COLORREF color)
{
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (PixelAt(b, x, y) == color)
                return true;
    return false;
}

// Sets or clears a modifier key in this thread's keyboard state, as a held key does.
void HoldKey(int key, bool down)
{
    BYTE state[256];
    GetKeyboardState(state);
    state[key] = down ? 0x80 : 0;
    SetKeyboardState(state);
}

void Pump()
{
    harness::WaitUntil([] { return false; }, 60);
    if (Application)
        Application->ProcessMessages();
}

// A shown form with a picture panel, as Agent's forms hold their controls.
struct FormFixture {
    TApplication app;
    TForm* form;
    TskImagePanel* panel;
    FormFixture()
    {
        form = new TForm(&app);
        form->SetBorderStyle(bsNone);
        form->SetBounds(40, 40, 300, 160);
        form->SetColor(RGB(0, 0, 0));
        panel = new TskImagePanel(form);
        panel->SetParent(form);
        panel->SetBounds(0, 0, 300, 160);
        panel->SetColor(RGB(30, 60, 90));
    }
    TskImageButton* Button(int left, int top)
    {
        auto* b = new TskImageButton(form);
        b->SetParent(panel);
        b->SetBounds(left, top, 90, 23);
        Solid(b->PicNormal(), 90, 23, kNormal);
        Solid(b->PicMouseOn(), 90, 23, kHover);
        Solid(b->PicMouseDown(), 90, 23, kPressed);
        Solid(b->PicDisabled(), 90, 23, kDisabled);
        return b;
    }
    void Show()
    {
        form->Show();
        SetForegroundWindow(form->Handle());
        Pump();
    }
};

}  // namespace

TEST(SkinMenu, AgentsTrayMenuItemsArePaintedWithBarSelectionAndText)
{
    TComponent owner(nullptr);
    TskPopupMenu menu(&owner);
    menu.SetUIStyle(Indigo);
    menu.SetBarColor(13554646);
    menu.SetBarToColor(13554646);
    menu.SetSelectedColor(10504772);
    menu.SetSelectedBorderColor(RGB(0, 0, 0));
    menu.SetFontColor(clBlack);
    menu.SetColor(clWhite);
    menu.SetUseSystemFont(false);
    auto* item = new TMenuItem(&owner);
    item->SetCaption("Browse");
    menu.Items()->Add(item);
    auto* line = new TMenuItem(&owner);
    line->SetCaption("-");
    menu.Items()->Add(line);
    ASSERT_TRUE(static_cast<bool>(item->OnAdvancedDrawItem)) << "items added later are hooked";

    TBitmap b;
    b.SetSize(150, 21);
    const RECT r = {0, 0, 150, 21};
    item->DrawItem(b.Canvas(), r, false);
    EXPECT_EQ(PixelAt(b, 5, 10), RGB(214, 211, 206));
    EXPECT_EQ(PixelAt(b, 25, 10), RGB(214, 211, 206));
    EXPECT_EQ(PixelAt(b, 26, 1), RGB(255, 255, 255));
    int firstText = -1;
    for (int x = 26; x < 150 && firstText < 0; ++x)
        for (int y = 0; y < 21; ++y)
            if (PixelAt(b, x, y) != RGB(255, 255, 255)) {
                firstText = x;
                break;
            }
    EXPECT_GE(firstText, 30);
    EXPECT_LE(firstText, 31);

    item->DrawItem(b.Canvas(), r, true);
    EXPECT_EQ(PixelAt(b, 0, 0), RGB(0, 0, 0));           // frame
    EXPECT_EQ(PixelAt(b, 5, 10), RGB(68, 74, 160));      // fill over the bar too
    EXPECT_EQ(PixelAt(b, 140, 3), RGB(68, 74, 160));

    menu.SetBarWidth(0);
    item->DrawItem(b.Canvas(), r, false);
    EXPECT_EQ(PixelAt(b, 1, 10), RGB(255, 255, 255));
    firstText = -1;
    for (int x = 0; x < 150 && firstText < 0; ++x)
        for (int y = 0; y < 21; ++y)
            if (PixelAt(b, x, y) != RGB(255, 255, 255)) {
                firstText = x;
                break;
            }
    EXPECT_GE(firstText, 4);
    EXPECT_LE(firstText, 5);
}

TEST(SkinMenu, SeparatorsAndSizesFollowTheStyle)
{
    TComponent owner(nullptr);
    TskPopupMenu menu(&owner);
    EXPECT_TRUE(menu.OwnerDraw());
    menu.SetOwnerDraw(false);
    EXPECT_TRUE(menu.OwnerDraw());
    auto* line = new TMenuItem(&owner);
    line->SetCaption("-");
    auto* item = new TMenuItem(&owner);
    item->SetCaption("Exit");
    menu.Items()->Add(line);
    menu.Items()->Add(item);
    TBitmap b;
    b.SetSize(1, 1);
    const struct {
        TskUIStyle style;
        int separator;
        int itemHeight;
    } cases[] = {{Indigo, 5, 21}, {WinXP, 5, 21}, {Glacier, 5, 21}, {MacOS, 12, 20}};
    for (const auto& c : cases) {
        menu.SetUIStyle(c.style);
        menu.SetMenuItemHeight(30);        // ignored in MacOS
        menu.SetSeparatorHeight(9);
        int expectedItem = c.style == MacOS ? c.itemHeight : 30;
        int expectedLine = c.style == MacOS ? c.separator : 9;
        int w = 0, h = 0;
        line->MeasureItem(b.Canvas(), w, h);
        EXPECT_EQ(h, expectedLine) << c.style;
        item->MeasureItem(b.Canvas(), w, h);
        EXPECT_EQ(h, expectedItem) << c.style;
        EXPECT_EQ(w, b.Canvas().TextWidth("Exit") + 26 + 40) << c.style;
        menu.SetUIStyle(c.style);
        line->MeasureItem(b.Canvas(), w, h);
        EXPECT_EQ(h, c.separator) << c.style;
    }
    menu.SetUIStyle(Indigo);
    TBitmap s;
    s.SetSize(100, 5);
    line->DrawItem(s.Canvas(), RECT{0, 0, 100, 5}, false);
    EXPECT_EQ(PixelAt(s, 5, 2), BuiltInColor(Indigo, posMenuSideBar));
    EXPECT_EQ(PixelAt(s, 30, 2), RGB(132, 130, 132));     // the line from bar + 4
    EXPECT_EQ(PixelAt(s, 29, 2), RGB(255, 255, 255));
    EXPECT_EQ(PixelAt(s, 97, 2), RGB(132, 130, 132));     // to right - 2 (not included)
    EXPECT_EQ(PixelAt(s, 98, 2), RGB(255, 255, 255));
    EXPECT_EQ(PixelAt(s, 50, 1), RGB(255, 255, 255));
}

TEST(SkinMenu, ACheckedItemShowsTheCheckMarkPicture)
{
    ASSERT_EQ(CheckMarkImages().Count(), 1);
    TComponent owner(nullptr);
    TskPopupMenu menu(&owner);
    menu.SetUIStyle(Indigo);
    auto* item = new TMenuItem(&owner);
    item->SetCaption("Read-only");
    item->SetChecked(true);
    menu.Items()->Add(item);
    TBitmap b;
    b.SetSize(150, 21);
    item->DrawItem(b.Canvas(), RECT{0, 0, 150, 21}, false);
    // The picture's tick meets its lowest point at (6, 9); it is drawn at (left + 4, top + 3).
    EXPECT_EQ(PixelAt(b, 10, 12), RGB(0, 0, 0));
    EXPECT_EQ(PixelAt(b, 4, 4), BuiltInColor(Indigo, posMenuSideBar));   // white of the picture is see-through
}

TEST(SkinMenu, ItemsOfALoadingFormAreHookedWhenItIsLoaded)
{
    TApplication app;
    TForm form(&app);
    form.BeginLoading();
    auto* menu = new TskPopupMenu(&form);
    auto* item = new TMenuItem(&form);
    item->OnAdvancedDrawItem = nullptr;
    menu->Items()->Add(item);
    item->OnAdvancedDrawItem = nullptr;    // as a form file leaves it before loading ends
    form.FinishBuilding();
    EXPECT_TRUE(static_cast<bool>(item->OnAdvancedDrawItem));
    EXPECT_TRUE(static_cast<bool>(item->OnMeasureItem));
}

TEST(SkinPanel, PaintsItsPictureOrColourAndNeverErases)
{
    FormFixture f;
    TskImagePanel* panel = f.panel;
    auto painted = Painted(*panel);
    EXPECT_EQ(PixelAt(*painted, 150, 80), RGB(30, 60, 90));

    TBitmap picture;
    picture.SetSize(20, 10);
    picture.Canvas().SetBrushColor(RGB(250, 200, 0));
    picture.Canvas().FillRect(RECT{0, 0, 20, 10});
    panel->Picture().Assign(&picture);
    painted = Painted(*panel);
    EXPECT_EQ(PixelAt(*painted, 5, 5), RGB(250, 200, 0));
    EXPECT_NE(PixelAt(*painted, 25, 5), RGB(250, 200, 0));     // normal: drawn once at (0,0)
    panel->SetDrawStyle(skTile);
    painted = Painted(*panel);
    EXPECT_EQ(PixelAt(*painted, 295, 155), RGB(250, 200, 0));
    panel->SetDrawStyle(skStretch);
    painted = Painted(*panel);
    EXPECT_EQ(PixelAt(*painted, 150, 80), RGB(250, 200, 0));

    TBitmap target;
    target.SetSize(10, 10);
    target.Canvas().SetBrushColor(RGB(255, 0, 0));
    target.Canvas().FillRect(RECT{0, 0, 10, 10});
    EXPECT_NE(SendMessageA(panel->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(target.DC()), 0), 0);
    EXPECT_EQ(PixelAt(target, 5, 5), RGB(255, 0, 0));
}

TEST(SkinPanel, AutoSizeTakesThePictureSizeExceptWhereAlignFixesIt)
{
    FormFixture f;
    auto* panel = new TskImagePanel(f.form);
    panel->SetParent(f.panel);
    panel->SetBounds(10, 10, 50, 50);
    panel->SetAutoSize(true);
    TBitmap picture;
    picture.SetSize(33, 21);
    panel->Picture().Assign(&picture);
    EXPECT_EQ(panel->Width(), 33);
    EXPECT_EQ(panel->Height(), 21);

    f.panel->SetAlign(alClient);
    f.panel->SetAutoSize(true);
    TBitmap big;
    big.SetSize(500, 400);
    f.panel->Picture().Assign(&big);
    EXPECT_EQ(f.panel->Width(), 300);
    EXPECT_EQ(f.panel->Height(), 160);
}

TEST(SkinPanel, ATransparentPanelShowsItsParentAndItsCaption)
{
    FormFixture f;
    auto* panel = new TskImagePanel(f.form);
    panel->SetParent(f.panel);
    panel->SetBounds(50, 50, 100, 40);
    panel->SetTransparent(true);
    panel->Font().SetColor(RGB(255, 255, 0));
    panel->SetCaption("Opening sequora,please wait...");
    f.form->Handle();
    auto painted = Painted(*panel);
    EXPECT_EQ(PixelAt(*painted, 1, 1), RGB(30, 60, 90));
    EXPECT_TRUE(Contains(*painted, RGB(255, 255, 0)));
}

TEST(SkinEdit, TheBorderIsOneLineInTheStylesColourAroundTheEditsColour)
{
    const struct {
        TskUIStyle style;
        bool formOverride;
        COLORREF border;
    } cases[] = {{Indigo, false, RGB(0, 0, 0)},
                 {WinXP, false, RGB(104, 104, 104)},
                 {MacOS, false, RGB(127, 127, 127)},
                 {WinXP, true, RGB(255, 0, 255)}};
    for (const auto& c : cases) {
        FormFixture f;
        auto* edit = new TskEdit(f.form);
        edit->SetParent(f.panel);
        edit->SetBounds(76, 76, 202, 19);
        edit->SetColor(RGB(255, 255, 255));
        edit->SetUIStyle(c.style);       // stored forms give UIStyle before BorderColor
        if (c.formOverride)
            edit->SetBorderColor(RGB(255, 0, 255));
        edit->SetPasswordChar('*');
        EXPECT_EQ(edit->BorderColor(), c.border);
        f.Show();
        std::vector<DWORD> pixels;
        int w = 0, h = 0;
        ASSERT_TRUE(harness::CaptureWindow(edit->Handle(), pixels, w, h));
        ASSERT_EQ(w, 202);
        auto at = [&](int x, int y) {
            DWORD p = pixels[static_cast<size_t>(y * w + x)];
            return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
        };
        EXPECT_EQ(at(0, 0), c.border) << c.style;
        EXPECT_EQ(at(201, 18), c.border) << c.style;
        EXPECT_EQ(at(100, 0), c.border) << c.style;
        EXPECT_EQ(at(1, 1), RGB(255, 255, 255)) << c.style;
        EXPECT_EQ(at(100, 17), RGB(255, 255, 255)) << c.style;
    }
}

TEST(SkinButton, EachStateShowsItsPictureOrTheNormalOne)
{
    struct Case {
        bool allPictures;
        bool enabled;
        bool hover;
        bool pressed;
        COLORREF shown;
    };
    const Case cases[] = {
        {true, true, false, false, kNormal},   {true, true, true, false, kHover},
        {true, true, false, true, kPressed},   {true, true, true, true, kPressed},
        {true, false, true, true, kDisabled},  {false, true, true, false, kNormal},
        {false, true, false, true, kNormal},   {false, false, false, false, kNormal},
    };
    for (const Case& c : cases) {
        FormFixture f;
        TskImageButton* b = f.Button(10, 10);
        if (!c.allPictures) {
            b->PicMouseOn().Clear();
            b->PicMouseDown().Clear();
            b->PicDisabled().Clear();
        }
        b->Handle();
        if (c.hover)
            SendMessageA(b->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        if (c.pressed)
            SendMessageA(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        b->SetEnabled(c.enabled);
        auto painted = Painted(*b);
        EXPECT_EQ(PixelAt(*painted, 45, 11), c.shown)
            << c.allPictures << c.enabled << c.hover << c.pressed;
        SendMessageA(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }
}

TEST(SkinButton, ADisabledButtonWithoutItsPictureShowsTheNormalOneAndAnEmbossedCaption)
{
    FormFixture f;
    TskImageButton* b = f.Button(10, 10);
    b->PicDisabled().Clear();
    b->Font().SetColor(RGB(0, 255, 255));
    b->Font().SetBold(true);
    b->SetCaption("&Open");
    b->SetEnabled(false);
    auto painted = Painted(*b);
    EXPECT_EQ(PixelAt(*painted, 2, 2), kNormal);
    EXPECT_TRUE(Contains(*painted, RGB(255, 255, 255)));
    EXPECT_TRUE(Contains(*painted, RGB(128, 128, 128)));
    EXPECT_FALSE(Contains(*painted, RGB(0, 255, 255)));

    b->SetEnabled(true);
    painted = Painted(*b);
    EXPECT_TRUE(Contains(*painted, RGB(0, 255, 255)));
    b->SetCaption("   ");          // blanks only: no caption drawn
    b->Font().SetColor(RGB(0, 255, 255));
    painted = Painted(*b);
    EXPECT_FALSE(Contains(*painted, RGB(0, 255, 255)));
}

TEST(SkinButton, AReleaseOutsideGivesNoClickAndTheNormalPicture)
{
    FormFixture f;
    TskImageButton* b = f.Button(10, 10);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    HWND w = b->Handle();
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(PixelAt(*Painted(*b), 45, 11), kPressed);
    SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(120, 5));
    EXPECT_EQ(PixelAt(*Painted(*b), 45, 11), kNormal);
    SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(120, 5));
    EXPECT_EQ(clicks, 0);
    // Without a move in between, too.
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(95, 5));
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(b->MouseIsDown());
    EXPECT_EQ(b->RepeatTimer(), nullptr);
    // X = Width still counts as inside for the picture; a release inside clicks.
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(90, 23));
    EXPECT_TRUE(b->MouseIsDown());
    SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(45, 10));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(b->MouseIsDown());
}

TEST(SkinButton, SpaceShowsThePressedPictureUntilReleasedAndClicksOnRelease)
{
    FormFixture f;
    TskImageButton* b = f.Button(10, 10);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    f.Show();
    b->SetFocus();
    ASSERT_TRUE(b->Focused());
    SendMessageA(b->Handle(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(PixelAt(*Painted(*b), 45, 11), kPressed);
    EXPECT_EQ(clicks, 0);
    SendMessageA(b->Handle(), WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_NE(PixelAt(*Painted(*b), 45, 11), kPressed);
}

TEST(SkinButton, EnterPressesTheDefaultButtonAndEscapeTheCancelOneUnlessAModifierIsHeld)
{
    FormFixture f;
    TskImageButton* ok = f.Button(10, 100);
    TskImageButton* cancel = f.Button(150, 100);
    auto* edit = new TskEdit(f.form);
    edit->SetParent(f.panel);
    edit->SetBounds(10, 10, 150, 19);
    ok->SetDefault(true);
    cancel->SetCancel(true);
    int okClicks = 0, cancelClicks = 0;
    ok->OnClick = [&](TObject*) { ++okClicks; };
    cancel->OnClick = [&](TObject*) { ++cancelClicks; };
    f.Show();
    edit->SetFocus();
    ASSERT_TRUE(edit->Focused());

    const struct {
        WORD key;
        int modifier;        // 0: none
        int ok;
        int cancel;
    } cases[] = {{VK_RETURN, 0, 1, 0}, {VK_ESCAPE, 0, 0, 1}, {VK_RETURN, VK_CONTROL, 0, 0},
                 {VK_RETURN, VK_SHIFT, 0, 0}, {VK_ESCAPE, VK_MENU, 0, 0}};
    for (const auto& c : cases) {
        okClicks = cancelClicks = 0;
        if (c.modifier)
            HoldKey(c.modifier, true);
        PostMessageA(edit->Handle(), WM_KEYDOWN, c.key, 0);
        f.app.ProcessMessages();
        if (c.modifier)
            HoldKey(c.modifier, false);
        EXPECT_EQ(okClicks, c.ok) << c.key << "/" << c.modifier;
        EXPECT_EQ(cancelClicks, c.cancel) << c.key << "/" << c.modifier;
    }
    EXPECT_TRUE(edit->Focused());
}

TEST(SkinButton, TheAcceleratorPressesWithAltOrWhenASkinnedButtonHasTheFocus)
{
    FormFixture f;
    TskImageButton* open = f.Button(10, 100);
    open->SetCaption("&Open");
    TskImageButton* other = f.Button(150, 100);
    other->SetCaption("&Cancel");
    auto* edit = new TskEdit(f.form);
    edit->SetParent(f.panel);
    edit->SetBounds(10, 10, 150, 19);
    int clicks = 0;
    open->OnClick = [&](TObject*) { ++clicks; };
    f.Show();
    edit->SetFocus();
    EXPECT_TRUE(f.form->DialogCharTyped('o', 0) == false);   // typed into the edit: no press
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(f.form->DialogCharTyped('O', ssAlt));
    EXPECT_EQ(clicks, 1);
    other->SetFocus();
    EXPECT_TRUE(f.form->DialogCharTyped('o', 0));
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(SendMessageA(other->Handle(), WM_SKINBUTTON_QUERY, 0, 0), 1);
    EXPECT_EQ(SendMessageA(edit->Handle(), WM_SKINBUTTON_QUERY, 0, 0), 0);
}

TEST(SkinButton, AClickHandsTheModalResultToTheFormEndingItsModalRun)
{
    FormFixture f;
    TForm* dialog = new TForm(&f.app);
    dialog->SetBorderStyle(bsNone);
    dialog->SetBounds(100, 100, 200, 80);
    auto* ok = new TskImageButton(dialog);
    ok->SetParent(dialog);
    ok->SetBounds(10, 10, 90, 23);
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    f.Show();
    TWindowTimer press;
    press.OnTimer = [&] {
        press.Stop();
        PostMessageA(ok->Handle(), WM_KEYDOWN, VK_RETURN, 0);
    };
    press.Start(50);
    EXPECT_EQ(dialog->ShowModal(), mrOk);
}

TEST(SkinButton, AutoSizeTakesTheNormalPictureOnlyWithAParent)
{
    FormFixture f;
    auto* loose = new TskImageButton(f.form);
    loose->SetBounds(0, 0, 50, 50);
    loose->SetAutoSize(true);
    Solid(loose->PicNormal(), 20, 20, kNormal);
    loose->SetPicNormal(&loose->PicNormal());
    EXPECT_EQ(loose->Width(), 50);
    auto* placed = new TskImageButton(f.form);
    placed->SetParent(f.panel);
    placed->SetBounds(0, 0, 50, 50);
    placed->SetAutoSize(true);
    TPicture picture;
    Solid(picture, 20, 20, kNormal);
    placed->SetPicNormal(&picture);
    EXPECT_EQ(placed->Width(), 20);
    EXPECT_EQ(placed->Height(), 20);
    EXPECT_EQ(placed->UIStyle(), FromThemeFile);
}

TEST(SkinButton, TheRepeatEventTicksWhileHeldAndNeverWithAZeroInterval)
{
    for (int interval : {20, 0}) {
        FormFixture f;
        TskImageButton* b = f.Button(10, 10);
        b->SetMouseContinuouslyDownInterval(interval);
        int ticks = 0;
        b->OnMouseContinuouslyDown = [&](TObject*) { ++ticks; };
        SendMessageA(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        harness::WaitUntil([&] { return ticks >= 3; }, 500);
        SendMessageA(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        EXPECT_EQ(b->RepeatTimer(), nullptr);
        if (interval > 0) {
            EXPECT_GE(ticks, 3);
        } else {
            EXPECT_EQ(ticks, 0);
        }
    }
}

TEST(SkinCheckBox, EachStateShowsItsFrameOfTheStylesStrip)
{
    // Frames of WINXP_CHECKBOX: the tick's lowest point (5, 8) shows the mark or the face.
    const struct {
        bool checked;
        bool enabled;
        COLORREF atTick;
    } cases[] = {{true, true, RGB(33, 161, 33)}, {false, true, RGB(255, 255, 255)},
                 {true, false, RGB(160, 160, 160)}, {false, false, RGB(230, 230, 225)}};
    for (const auto& c : cases) {
        FormFixture f;
        auto* box = new TskCheckBox(f.form);
        box->SetParent(f.panel);
        box->SetBounds(76, 102, 201, 19);
        box->SetUIStyle(WinXP);
        box->SetCaption("Open sequora as read-only mode.");
        box->SetChecked(c.checked);
        box->SetEnabled(c.enabled);
        box->Handle();
        auto painted = Painted(*box);
        int glyphTop = (box->Height() - 13) / 2;
        EXPECT_EQ(PixelAt(*painted, 1 + 5, glyphTop + 8), c.atTick) << c.checked << c.enabled;
        EXPECT_EQ(PixelAt(*painted, 1, glyphTop), RGB(28, 81, 128));
    }
}

TEST(SkinCheckBox, AutoSizeFitsTheGlyphAndTheCaption)
{
    FormFixture f;
    auto* box = new TskCheckBox(f.form);
    box->SetParent(f.panel);
    box->SetUIStyle(WinXP);
    box->Font().SetName("Tahoma");
    box->Font().SetHeight(-11);
    box->SetCaption("Read-only");
    box->Handle();
    Painted(*box);
    TBitmap m;
    m.SetSize(1, 1);
    m.Canvas().Font().Assign(box->Font());
    int th = m.Canvas().TextHeight("W");
    EXPECT_EQ(box->Height(), std::max(13, th + 2) + 4);
    EXPECT_EQ(box->Width(), 13 + m.Canvas().TextWidth("Read-only") + 8);
    if (th == 13) {
        EXPECT_EQ(box->Height(), 19);
    }
}

TEST(SkinCheckBox, ChangesOfCheckedFireOnClickOnlyWhenTheyChangeItAfterLoading)
{
    FormFixture f;
    f.form->BeginLoading();
    auto* box = new TskCheckBox(f.form);
    box->SetParent(f.panel);
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    box->SetChecked(true);                  // read from the form: no event
    EXPECT_EQ(clicks, 0);
    f.form->FinishBuilding();
    box->SetChecked(true);                  // the same value: nothing
    EXPECT_EQ(clicks, 0);
    box->SetState(cbGrayed);                // grayed unchecks
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(box->State(), cbUnchecked);

    f.Show();
    box->SetFocus();
    ASSERT_TRUE(box->Focused());
    SendMessageA(box->Handle(), WM_KEYUP, VK_RETURN, 0);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(clicks, 2);
    SendMessageA(box->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageA(box->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(clicks, 3);
}

TEST(SkinButton, ATransparentButtonShowsThePanelPictureWhereItsCornerColourIs)
{
    FormFixture f;
    TBitmap background;
    background.SetSize(300, 160);
    background.Canvas().SetBrushColor(RGB(10, 120, 40));
    background.Canvas().FillRect(RECT{0, 0, 300, 160});
    f.panel->Picture().Assign(&background);
    TskImageButton* b = f.Button(51, 100);
    TBitmap picture;                       // a magenta ring round a red face
    picture.SetSize(90, 23);
    picture.Canvas().SetBrushColor(RGB(255, 0, 255));
    picture.Canvas().FillRect(RECT{0, 0, 90, 23});
    picture.Canvas().SetBrushColor(kNormal);
    picture.Canvas().FillRect(RECT{3, 3, 87, 20});
    b->PicNormal().Assign(&picture);
    b->SetTransparent(true);
    auto painted = Painted(*b);
    EXPECT_EQ(PixelAt(*painted, 1, 1), RGB(10, 120, 40));
    EXPECT_EQ(PixelAt(*painted, 45, 11), kNormal);

    b->SetTransparent(false);
    b->SetColor(RGB(1, 1, 1));
    painted = Painted(*b);
    EXPECT_EQ(PixelAt(*painted, 1, 1), RGB(255, 0, 255));
}

TEST(SkinButton, StretchDrawsThePictureOverTheWholeButton)
{
    FormFixture f;
    TskImageButton* b = f.Button(188, 100);
    Solid(b->PicNormal(), 10, 10, kNormal);
    b->SetColor(RGB(1, 2, 3));
    auto painted = Painted(*b);
    EXPECT_EQ(PixelAt(*painted, 80, 20), RGB(1, 2, 3));
    b->SetStretch(true);
    painted = Painted(*b);
    EXPECT_EQ(PixelAt(*painted, 80, 20), kNormal);
    EXPECT_EQ(PixelAt(*painted, 89, 22), kNormal);
}

TEST(SkinButton, AWindowTextSetFromOutsideBecomesTheCaption)
{
    FormFixture f;
    TskImageButton* b = f.Button(10, 10);
    b->SetCaption("&Open");
    EXPECT_EQ(harness::WindowText(b->Handle()), "&Open");
    SetWindowTextA(b->Handle(), "&Change");
    EXPECT_EQ(b->Caption(), "&Change");
    EXPECT_TRUE(f.form->DialogCharTyped('c', ssAlt));
}

TEST(SkinButton, TheGenericButtonSizesItselfToOneFrameOfItsStylesStrip)
{
    const struct {
        TskUIStyle style;
        int width;
        int height;
    } cases[] = {{MacOS, 84, 23}, {WinXP, 18, 21}, {Indigo, 74, 21}, {Mineral, 74, 21}, {Glacier, 77, 27},
                 {FromThemeFile, 74, 21}};
    for (const auto& c : cases) {
        FormFixture f;
        auto* b = new TskCustomButton(f.form);
        b->SetParent(f.panel);
        b->SetUIStyle(c.style);
        b->SetAutoSize(true);
        EXPECT_EQ(b->Width(), c.width) << c.style;
        EXPECT_EQ(b->Height(), c.height) << c.style;
        if (c.style == FromThemeFile)
            continue;
        // The normal frame is the strip's first: its corner is see-through only when Transparent.
        b->SetColor(RGB(1, 2, 3));
        auto painted = Painted(*b);
        TBitmap strip;
        LoadBuiltInBitmap(c.style, posButtonStrip, strip);
        EXPECT_EQ(PixelAt(*painted, c.width / 2, c.height / 2), PixelAt(strip, c.width / 2, c.height / 2)) << c.style;
    }
}

TEST(SkinMenu, MacStyleItemsUseTheirPicturesAndDisabledItemsAreGrey)
{
    TComponent owner(nullptr);
    TskPopupMenu menu(&owner);
    menu.SetUIStyle(MacOS);
    menu.SetUseSystemFont(false);
    auto* item = new TMenuItem(&owner);
    item->SetCaption("Exit");
    menu.Items()->Add(item);
    TBitmap b;
    b.SetSize(120, 20);
    const RECT r = {0, 0, 120, 20};
    item->DrawItem(b.Canvas(), r, true);
    EXPECT_EQ(PixelAt(b, 100, 0), RGB(96, 150, 230));        // top of MACOS_MENU_SELECT
    item->DrawItem(b.Canvas(), r, false);
    EXPECT_EQ(PixelAt(b, 100, 0), RGB(250, 250, 250));       // top of MACOS_MENU_BAR

    menu.SetUIStyle(Indigo);
    item->SetEnabled(false);
    menu.SetFontColor(RGB(0, 0, 0));
    b.SetSize(120, 21);
    item->DrawItem(b.Canvas(), RECT{0, 0, 120, 21}, true);   // a disabled item is never shown selected
    EXPECT_EQ(PixelAt(b, 100, 10), RGB(255, 255, 255));
    bool grey = false, black = false;
    for (int y = 0; y < 21; ++y)
        for (int x = 26; x < 120; ++x) {
            grey = grey || PixelAt(b, x, y) == RGB(128, 128, 128);
            black = black || PixelAt(b, x, y) == RGB(0, 0, 0);
        }
    EXPECT_TRUE(grey);
    EXPECT_FALSE(black);
}
