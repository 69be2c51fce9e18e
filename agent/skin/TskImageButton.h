#pragma once
// The button of Agent's forms: four pictures of its own, one per state, each falling back to
// the normal picture.
#include "TskCustomButton.h"

class TskImageButton : public TskCustomButton {
public:
    explicit TskImageButton(TComponent* owner);

    const char* ClassName() const override { return "TskImageButton"; }
    bool HasPublished(const char* name) const override;

    // The image button draws only its own pictures: its style always reads FromThemeFile.
    TskUIStyle UIStyle() const override { return FromThemeFile; }

    TPicture& PicNormal() { return m_picNormal; }
    TPicture& PicMouseOn() { return m_picMouseOn; }
    TPicture& PicMouseDown() { return m_picMouseDown; }
    TPicture& PicDisabled() { return m_picDisabled; }
    void SetPicNormal(const TPicture* picture) { AssignPicture(m_picNormal, picture); }
    void SetPicMouseOn(const TPicture* picture) { AssignPicture(m_picMouseOn, picture); }
    void SetPicMouseDown(const TPicture* picture) { AssignPicture(m_picMouseDown, picture); }
    void SetPicDisabled(const TPicture* picture) { AssignPicture(m_picDisabled, picture); }
    bool Stretch() const { return m_stretch; }
    void SetStretch(bool stretch) { m_stretch = stretch; }
    bool DrawFocused() const { return m_drawFocused; }
    void SetDrawFocused(bool drawFocused) { m_drawFocused = drawFocused; }

protected:
    void UpdateAutoSize() override;
    void DrawPicture(TCanvas& canvas, TBitmap& picture) override;
    void DrawFocusMark(TCanvas& canvas) override;
    bool GetNormalPicture(TBitmap& picture) override;
    bool GetMouseOnPicture(TBitmap& picture) override;
    bool GetMouseDownPicture(TBitmap& picture) override;
    bool GetDisabledPicture(TBitmap& picture) override;

private:
    void AssignPicture(TPicture& target, const TPicture* picture);
    // A copy of the first of the pictures that holds a graphic; empty when none does.
    static bool CopyFirst(TBitmap& picture, TPicture& first, TPicture* second);

    TPicture m_picNormal;
    TPicture m_picMouseOn;
    TPicture m_picMouseDown;
    TPicture m_picDisabled;
    bool m_stretch = false;
    bool m_drawFocused = false;
};
