#pragma once
// A windowed control that paints itself on a canvas.
#include "TCanvas.h"
#include "TWinControl.h"

class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner) : TWinControl(owner) {}

    const char* ClassName() const override { return "TCustomControl"; }

    TCanvas& Canvas() { return m_canvas; }

protected:
    virtual void Paint() {}
    void PaintWindow(HDC dc) override;

    TCanvas m_canvas;
};
