#include "TskMenuBar.h"

#include "MenuHelpers.h"
#include "SkinHelpers.h"
#include "SkinKeys.h"
#include "TToolButton.h"
#include "TskFileTheme.h"
#include "TskForm.h"
#include "TskMainMenu.h"

namespace {

const char kMacMenuBar[] = "MACOS_MENU_BAR";
const char kMacMenuSelect[] = "MACOS_MENU_SELECT";
constexpr TColor kDisabledCaption = clGray;
// Posted to the bar when a click has returned and left it work that frees buttons or the bar.
constexpr UINT kClickReturned = WM_USER + 0x51;

void StretchResource(TCanvas& canvas, const RECT& rect, const char* name)
{
    TBitmap picture;
    if (picture.LoadFromResourceName(nullptr, name))
        canvas.StretchDraw(rect, picture);
}

}  // namespace

TskMenuBar::TskMenuBar(TComponent* owner, TskForm* form) : TToolBar(owner), m_form(form)
{
    SetFlat(true);
    SetEdgeBorders(false);
    SetShowCaptions(true);
    SetWrapable(true);
    SetAutoSize(true);
}

void TskMenuBar::RebuildButtons(TskMainMenu* menu)
{
    m_menu = menu;
    if (m_clicks > 0) {
        m_rebuildPending = true;    // the clicked button is still in use
        return;
    }
    m_rebuildPending = false;
    SetHotButton(nullptr);
    while (ButtonCount() > 0)
        delete Buttons(ButtonCount() - 1);
    if (menu) {
        for (int i = 0; i < menu->Items()->Count(); ++i) {
            TMenuItem* item = menu->Items()->Items(i);
            auto* button = new TToolButton(this);
            button->SetParent(this);
            button->SetGrouped(true);
            button->SetAutoSize(true);
            button->SetMenuItem(item);
            button->SetVisible(item->Visible());
        }
        UpdateFont(menu);
    }
    ArrangeButtons();
}

bool TskMenuBar::ShowsItemsOf(TskMainMenu* menu) const
{
    int count = menu ? menu->Items()->Count() : 0;
    if (ButtonCount() != count)
        return false;
    for (int i = 0; i < count; ++i)
        if (Buttons(i)->MenuItem() != menu->Items()->Items(i))
            return false;
    return true;
}

void TskMenuBar::RefreshButtons()
{
    if (!ShowsItemsOf(m_menu)) {
        RebuildButtons(m_menu);
        return;
    }
    for (int i = 0; i < ButtonCount(); ++i) {
        TToolButton* b = Buttons(i);
        if (TMenuItem* item = b->MenuItem()) {
            b->SetCaption(item->Caption());
            b->SetEnabled(item->Enabled());
            b->SetVisible(item->Visible());
        }
    }
    ArrangeButtons();
}

void TskMenuBar::UpdateFont(TskMainMenu* menu)
{
    if (!menu)
        return;
    if (menu->UseSystemFont()) {
        UseSystemMenuFont(m_font);
    } else {
        m_font.SetName(menu->Look().FontName());
        m_font.SetSize(menu->FontSize());
    }
    ArrangeButtons();
}

void TskMenuBar::Release()
{
    if (m_clicks == 0) {
        delete this;
        return;
    }
    m_released = true;
    m_menu = nullptr;
    SetVisible(false);
}

void TskMenuBar::ButtonClicked(TToolButton* button)
{
    if (!m_menu || !button->MenuItem() || !button->Enabled() || !HandleAllocated())
        return;
    // The item's commands run inside: the button and the bar stay until the click has returned.
    ++m_clicks;
    button->SetDown(true);
    Repaint();
    POINT p = {button->Left(), button->Top() + button->Height()};
    ClientToScreen(m_handle, &p);
    m_menu->DropDown(button->MenuItem(), p.x, p.y);
    button->SetDown(false);
    Invalidate();
    // The mouse message that clicked is still being handled with the button: what frees it comes
    // after that message.
    if (--m_clicks == 0 && (m_rebuildPending || m_released))
        PostMessageA(m_handle, kClickReturned, 0, 0);
}

LRESULT TskMenuBar::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kClickReturned) {
        if (m_released && m_clicks == 0) {
            delete this;
            return 0;
        }
        if (m_rebuildPending && m_clicks == 0)
            RebuildButtons(m_menu);
        return 0;
    }
    return TToolBar::WndProc(message, wParam, lParam);
}

bool TskMenuBar::DialogChar(char ch, TShiftState shift)
{
    if (!(shift & ssAlt) && !HotButton())
        return false;
    for (int i = 0; i < ButtonCount(); ++i) {
        TToolButton* b = Buttons(i);
        if (b->Visible() && b->Enabled() && IsAccelerator(ch, b->Caption())) {
            ButtonClicked(b);
            return true;
        }
    }
    return false;
}

void TskMenuBar::PaintBackground(TCanvas& canvas, const RECT& rect)
{
    TskUIStyle resolved;
    UsesFileTheme(m_form->FileTheme(), m_form->UIStyle(), resolved);
    if (m_form->UIStyle() == MacOS) {
        StretchResource(canvas, rect, kMacMenuBar);
    } else if (m_form->MenuBarColor() != m_form->MenuBarToColor()) {
        DrawVerticalGradient(canvas, rect, m_form->MenuBarColor(), m_form->MenuBarToColor());
    } else {
        FillRectColor(canvas, rect, m_form->MenuBarColor());
    }
}

void TskMenuBar::PaintButton(TCanvas& canvas, TToolButton* button, const RECT& rect, bool hot)
{
    TskFileTheme* theme = m_form->FileTheme();
    TskUIStyle resolved;
    bool skin = UsesFileTheme(theme, m_form->UIStyle(), resolved);
    auto color = [&](int key, int position) {
        return skin ? static_cast<TColor>(theme->GetColor(key)) : BuiltInColor(resolved, position);
    };
    button->SetTag(hot ? kMenuBarHotTag : 0);
    canvas.SetBrushStyle(bsClear);
    RECT text = rect;
    if ((hot || button->Down()) && button->Enabled()) {
        if (resolved == MacOS && !skin) {
            StretchResource(canvas, rect, kMacMenuSelect);
            canvas.Font().SetColor(BuiltInColor(MacOS, posSelectedMenuFont));
        } else {
            FillRectColor(canvas, rect, color(SKIN2_TOPSELECTEDMENUCOLOR, posSelectedMenu));
            FrameRectColor(canvas, rect, color(SKIN2_TOPSELECTEDMENUBORDERCOLOR, posSelectedMenuBorder));
            canvas.Font().SetColor(color(SKIN2_TOPSELECTEDMENUFONTCOLOR, posSelectedMenuFont));
            OffsetRect(&text, 0, 1);
        }
    } else {
        canvas.Font().SetColor(button->Enabled() ? color(SKIN2_TOPMENUFONTCOLOR, posMenuFont) : kDisabledCaption);
    }
    canvas.SetBrushStyle(bsClear);
    canvas.DrawText(button->Caption(), text, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
}
