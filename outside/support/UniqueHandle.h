#pragma once
// One owner for a kernel handle; closes it when it goes.
#include <windows.h>

namespace outside {

class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : m_handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    HANDLE Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    HANDLE Release()
    {
        HANDLE handle = m_handle;
        m_handle = nullptr;
        return handle;
    }
    void Reset(HANDLE handle = nullptr)
    {
        if (m_handle)
            CloseHandle(m_handle);
        m_handle = handle == INVALID_HANDLE_VALUE ? nullptr : handle;
    }

private:
    HANDLE m_handle = nullptr;
};

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
    UniqueHandle m_mutex;
    bool m_owned = false;
};

}  // namespace outside
