#pragma once
// Root of the component model: a virtual destructor and the class name that skinned components
// are recognised by.

class TObject {
public:
    TObject() = default;
    virtual ~TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;

    virtual const char* ClassName() const { return "TObject"; }
};
