#pragma once
// A named mutex held for a scope.
#include "HandleOwner.h"

#include <windows.h>

namespace outside {

// Holds a named mutex shared by every process of the user for as long as it lives.
class NamedMutexLock {
public:
    explicit NamedMutexLock(const wchar_t* name) : m_mutex(CreateMutexW(nullptr, FALSE, name))
    {
        if (m_mutex) {
            DWORD wait = WaitForSingleObject(m_mutex.Get(), 30000);
            // An owner that died leaves the mutex abandoned; its state is still ours to mend.
            m_owned = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
        }
    }
    ~NamedMutexLock()
    {
        if (m_owned)
            ReleaseMutex(m_mutex.Get());
    }
    NamedMutexLock(const NamedMutexLock&) = delete;
    bool Owned() const { return m_owned; }
    NamedMutexLock& operator=(const NamedMutexLock&) = delete;

private:
    KernelHandle m_mutex;
    bool m_owned = false;
};

}  // namespace outside
