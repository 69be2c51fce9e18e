#pragma once
// A tool bar: a strip of tool buttons laid out left to right (wrapping onto more rows when asked),
// sized to its buttons, hot-tracking the button under the mouse, and painted off-screen; derived
// bars paint the background and the buttons their own way.
#include "TCustomControl.h"

class TToolButton;

class TToolBar : public TCustomControl {
public:
    explicit TToolBar(TComponent* owner);

    const char* ClassName() const override { return "TToolBar"; }
    bool HasPublished(const char* name) const override;

    bool Flat() const { return m_flat; }
    void SetFlat(bool flat) { m_flat = flat; Invalidate(); }
    bool EdgeBorders() const { return m_edgeBorders; }
    void SetEdgeBorders(bool edges) { m_edgeBorders = edges; Invalidate(); }
    bool ShowCaptions() const { return m_showCaptions; }
    void SetShowCaptions(bool show) { m_showCaptions = show; ArrangeButtons(); }
    bool Wrapable() const { return m_wrapable; }
    void SetWrapable(bool wrap) { m_wrapable = wrap; ArrangeButtons(); }
    void SetAutoSize(bool autoSize) override { m_autoSize = autoSize; ArrangeButtons(); }
    int ButtonHeight() const { return m_buttonHeight; }
    void SetButtonHeight(int height);

    int ButtonCount() const;
    TToolButton* Buttons(int index) const;
    TToolButton* HotButton() const { return m_hot; }
    // Places the buttons and, when auto-sized, fits the bar's height to them.
    void ArrangeButtons();
    // A button was clicked (derived bars drop its menu down).
    virtual void ButtonClicked(TToolButton* /*button*/) {}

    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void Paint() override;
    void Resized() override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseLeave() override;
    virtual void PaintBackground(TCanvas& canvas, const RECT& rect);
    virtual void PaintButton(TCanvas& canvas, TToolButton* button, const RECT& rect, bool hot);
    // The width an auto-sized button needs for its caption.
    virtual int ButtonWidthFor(TToolButton* button);
    TToolButton* ButtonAt(int x, int y) const;
    void SetHotButton(TToolButton* button);

private:
    bool m_flat = false;
    bool m_edgeBorders = true;
    bool m_showCaptions = false;
    bool m_wrapable = true;
    int m_buttonHeight = 22;
    bool m_arranging = false;
    TToolButton* m_hot = nullptr;
};
