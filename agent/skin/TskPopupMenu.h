#pragma once
// The owner-drawn popup menu of Agent's tray: a side bar, item and selection colours from the
// style (or the form), separators as thin lines and a check-mark picture.
#include "ISkinThemed.h"
#include "TPopupMenu.h"

class TskPopupMenu : public TPopupMenu, public ISkinThemed {
public:
    explicit TskPopupMenu(TComponent* owner);

    const char* ClassName() const override { return "TskPopupMenu"; }
    bool HasPublished(const char* name) const override;

    // Always owner-drawn: writes are ignored.
    bool OwnerDraw() const override { return true; }
    void SetOwnerDraw(bool) override {}

    TskFileTheme* FileTheme() const override { return m_fileTheme; }
    void SetFileTheme(TskFileTheme* theme) override;
    TskUIStyle UIStyle() const override { return m_uiStyle; }
    void SetUIStyle(TskUIStyle style) override;

    int MenuItemHeight() const { return m_menuItemHeight; }
    void SetMenuItemHeight(int height);
    int SeparatorHeight() const { return m_separatorHeight; }
    void SetSeparatorHeight(int height);
    int BarWidth() const { return m_barWidth; }
    void SetBarWidth(int width) { m_barWidth = width; }
    TColor BarColor() const { return m_barColor; }
    void SetBarColor(TColor c) { m_barColor = c; }
    TColor BarToColor() const { return m_barToColor; }
    void SetBarToColor(TColor c) { m_barToColor = c; }
    TColor Color() const { return m_color; }
    void SetColor(TColor c) { m_color = c; }
    TColor SeparatorColor() const { return m_separatorColor; }
    void SetSeparatorColor(TColor c) { m_separatorColor = c; }
    TColor SelectedBorderColor() const { return m_selectedBorderColor; }
    void SetSelectedBorderColor(TColor c) { m_selectedBorderColor = c; }
    TColor SelectedColor() const { return m_selectedColor; }
    void SetSelectedColor(TColor c) { m_selectedColor = c; }
    TColor SelectedFontColor() const { return m_selectedFontColor; }
    void SetSelectedFontColor(TColor c) { m_selectedFontColor = c; }
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(TColor c) { m_fontColor = c; }
    TColor BorderColor() const { return m_borderColor; }
    void SetBorderColor(TColor c) { m_borderColor = c; }
    bool FlatMenu() const { return m_flatMenu; }
    void SetFlatMenu(bool flat) { m_flatMenu = flat; }
    const std::string& FontName() const { return m_fontName; }
    void SetFontName(const std::string& name) { m_fontName = name; }
    int FontSize() const { return m_fontSize; }
    void SetFontSize(int size) { m_fontSize = size; }
    BYTE FontCharset() const { return m_fontCharset; }
    void SetFontCharset(BYTE charset) { m_fontCharset = charset; }
    bool UseSystemFont() const { return m_useSystemFont; }
    void SetUseSystemFont(bool use) { m_useSystemFont = use; }

    void Notification(TComponent* component, TOperation operation) override;

    // Items read left to right but in a right-to-left menu on a right-to-left system.
    bool DrawsLeftToRight() const { return !(BiDiMode() == bdRightToLeft && SystemReadsRightToLeft()); }

    // The handlers every item of the menu is hooked to.
    void MeasureItem(TObject* sender, TCanvas& canvas, int& width, int& height);
    void DrawItem(TObject* sender, TCanvas& canvas, const RECT& rect, bool selected);

protected:
    void Loaded() override;

private:
    void HookItem(TMenuItem* item);
    void DrawBar(TCanvas& canvas, const RECT& bar);
    bool ServedBySkin() const;

    TskFileTheme* m_fileTheme = nullptr;
    TskUIStyle m_uiStyle = Indigo;
    int m_menuItemHeight = 21;
    int m_separatorHeight = 21;
    int m_barWidth = 0;
    TColor m_barColor = clBtnFace;
    TColor m_barToColor = clBtnFace;
    TColor m_color = clWhite;
    TColor m_separatorColor = 8421504;
    TColor m_selectedBorderColor = clHighlight;
    TColor m_selectedColor = clHighlight;
    TColor m_selectedFontColor = clWhite;
    TColor m_fontColor = clWhite;
    TColor m_borderColor = clBlack;
    bool m_flatMenu = false;
    std::string m_fontName = "MS Sans Serif";
    int m_fontSize = 8;
    BYTE m_fontCharset = DEFAULT_CHARSET;
    bool m_useSystemFont = true;
};
