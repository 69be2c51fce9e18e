#pragma once
// Window -> the newest hook of its chain. One for the process, made on first use; its end at
// process exit unhooks nothing.
#include <windows.h>

#include <unordered_map>

class CSubclassWnd;

class CSubclassWndMap {
public:
    // The process's map; null once the process is ending and the map is gone.
    static CSubclassWndMap* GetHookMap();

    CSubclassWnd* Lookup(HWND window) const;
    void SetAt(HWND window, CSubclassWnd* head) { m_heads[window] = head; }
    // Unlinks the hook from its window's chain; the last one out puts the old procedure back.
    void Remove(CSubclassWnd* hook);

    ~CSubclassWndMap();

private:
    CSubclassWndMap() = default;
    std::unordered_map<HWND, CSubclassWnd*> m_heads;
};
