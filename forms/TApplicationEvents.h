#pragma once
// Sees every message the program's thread takes from its queue before it is dispatched, the way
// a component on a form hears the application's messages; a handler that sets `handled` keeps the
// message from its window.
#include "TComponent.h"

#include <windows.h>

#include <functional>

using TMessageEvent = std::function<void(MSG& msg, bool& handled)>;

class TApplicationEvents : public TComponent {
public:
    explicit TApplicationEvents(TComponent* owner);
    ~TApplicationEvents() override;

    const char* ClassName() const override { return "TApplicationEvents"; }
    bool HasPublished(const char* name) const override;

    TMessageEvent OnMessage;

private:
    static LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam);
};
