#pragma once
// The form every window of the program derives from.
#include "TCustomForm.h"

class TForm : public TCustomForm {
public:
    explicit TForm(TComponent* owner) : TCustomForm(owner) {}

    const char* ClassName() const override { return "TForm"; }
};
