#pragma once
// A panel: a container control with a caption drawn by alignment.
#include "TCustomControl.h"

class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* owner);

    const char* ClassName() const override { return "TCustomPanel"; }
    bool HasPublished(const char* name) const override;

    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment);

protected:
    void Paint() override;

    TAlignment m_alignment = taCenter;
};
