#pragma once
// A picture panel: paints its picture (normal, stretched or tiled) or its colour, and its
// caption, all off-screen and copied in one step, never erasing its background first.
#include "TCustomPanel.h"
#include "TPicture.h"

enum TskDrawStyle { skNormal, skStretch, skTile };

class TskCustomPanel : public TCustomPanel {
public:
    explicit TskCustomPanel(TComponent* owner);

    const char* ClassName() const override { return "TskCustomPanel"; }

    TPicture& Picture() { return m_picture; }
    void SetPicture(const TPicture* picture);
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool transparent);
    void SetAutoSize(bool autoSize) override;
    TskDrawStyle DrawStyle() const { return m_drawStyle; }
    void SetDrawStyle(TskDrawStyle style);
    // A caption drawn with its top left at (x, y); (-1, -1): by Alignment.
    void SetCaptionPosition(int x, int y);
    void SetEraseBackground(bool erase) { m_eraseBackground = erase; }

    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    virtual void PaintBackground();
    virtual void TextAreaChanged() {}
    virtual void PictureChanged();
    void Paint() override;
    void Resized() override { Invalidate(); }
    void TextChanged() override { Invalidate(); }
    void ApplyAutoSize();

    TPicture m_picture;
    bool m_transparent = false;
    TskDrawStyle m_drawStyle = skNormal;
    int m_captionX = -1;
    int m_captionY = -1;
    bool m_eraseBackground = false;
};
