#pragma once
// The picture panel placed on forms: the background of both of Agent's forms and its wait panel.
#include "TskCustomPanel.h"

class TskImagePanel : public TskCustomPanel {
public:
    explicit TskImagePanel(TComponent* owner) : TskCustomPanel(owner) {}

    const char* ClassName() const override { return "TskImagePanel"; }
    bool HasPublished(const char* name) const override;
};
