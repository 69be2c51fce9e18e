#pragma once
// A control without a window: its parent paints it after its own painting and hands it the
// mouse events that fall inside it.
#include "TCanvas.h"
#include "TControl.h"

class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner) : TControl(owner) {}

    const char* ClassName() const override { return "TGraphicControl"; }

    TCanvas& Canvas() { return m_canvas; }
    // Paints into the parent's device context, with the origin moved to this control.
    void PaintAt(HDC parentDC);

protected:
    virtual void Paint() {}

    TCanvas m_canvas;
};
