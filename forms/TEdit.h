#pragma once
// The plain single-line edit of a form.
#include "TCustomEdit.h"

class TEdit : public TCustomEdit {
public:
    explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}

    const char* ClassName() const override { return "TEdit"; }
};
