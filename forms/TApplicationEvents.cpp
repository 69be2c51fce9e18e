#include "TApplicationEvents.h"

#include <algorithm>
#include <vector>

namespace {

const char* const kPublished[] = {"OnMessage", nullptr};

// One message hook for the thread while any of these objects lives.
struct HookState {
    HHOOK hook = nullptr;
    std::vector<TApplicationEvents*> listeners;
};

HookState& State()
{
    static HookState state;
    return state;
}

}  // namespace

TApplicationEvents::TApplicationEvents(TComponent* owner) : TComponent(owner)
{
    HookState& s = State();
    s.listeners.push_back(this);
    if (!s.hook)
        s.hook = SetWindowsHookExA(WH_GETMESSAGE, &TApplicationEvents::GetMessageHook, nullptr, GetCurrentThreadId());
}

TApplicationEvents::~TApplicationEvents()
{
    HookState& s = State();
    s.listeners.erase(std::remove(s.listeners.begin(), s.listeners.end(), this), s.listeners.end());
    if (s.listeners.empty() && s.hook) {
        UnhookWindowsHookEx(s.hook);
        s.hook = nullptr;
    }
}

bool TApplicationEvents::HasPublished(const char* name) const
{
    return NameIn(kPublished, name) || TComponent::HasPublished(name);
}

LRESULT CALLBACK TApplicationEvents::GetMessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    HookState& s = State();
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        auto* msg = reinterpret_cast<MSG*>(lParam);
        try {
            std::vector<TApplicationEvents*> listeners = s.listeners;
            for (TApplicationEvents* e : listeners) {
                bool handled = false;
                if (e->OnMessage && !e->IsLoading())
                    e->OnMessage(*msg, handled);
                if (handled) {
                    msg->message = WM_NULL;     // the window never sees it
                    break;
                }
            }
        } catch (...) {
        }
    }
    return CallNextHookEx(s.hook, code, wParam, lParam);
}
