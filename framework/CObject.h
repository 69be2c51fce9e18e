#pragma once
// The root of the framework's object classes that are recognised at run time (dynamic_cast):
// menus, subclass hooks, menu item records.
class CObject {
public:
    CObject() = default;
    virtual ~CObject() = default;
};
