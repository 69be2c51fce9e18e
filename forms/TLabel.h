#pragma once
// A text label drawn by its parent; sized to its text when AutoSize is on.
#include "TGraphicControl.h"

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);

    const char* ClassName() const override { return "TLabel"; }
    bool HasPublished(const char* name) const override;

    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool transparent);
    void SetAutoSize(bool autoSize) override;

protected:
    void Paint() override;
    void TextChanged() override { AdjustSize(); }
    void FontChanged() override;

private:
    void AdjustSize();

    bool m_transparent = false;
};
