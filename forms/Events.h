#pragma once
// Event types of the form layer. A handler is bound to an object's member function with
// `MethodOf(this, &TfrmMain::bt_OKClick)`, the way a form binds its handlers by name.
#include <windows.h>

#include <functional>

class TObject;

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Shift state bits of a key or mouse event.
enum : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32 };
using TShiftState = unsigned;

using TNotifyEvent = std::function<void(TObject* sender)>;
using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TObject* sender, WORD& key, TShiftState shift)>;

template <class C, class Base = C>
TNotifyEvent MethodOf(C* object, void (Base::*method)(TObject*))
{
    return [object, method](TObject* sender) { (object->*method)(sender); };
}

template <class C, class Base = C>
TMouseEvent MouseMethodOf(C* object, void (Base::*method)(TObject*, TMouseButton, TShiftState, int, int))
{
    return [object, method](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { (object->*method)(s, b, sh, x, y); };
}

// The shift state the keyboard holds right now.
TShiftState KeyboardShiftState();
