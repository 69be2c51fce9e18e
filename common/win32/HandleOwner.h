#pragma once
// The one owner of a Win32 handle: it closes the handle when it goes, moves, never copies. What
// a kind of handle is (its type, its empty values, how it is closed) is told by a traits struct.
#include <windows.h>

#include <utility>

template <class Traits>
class HandleOwner {
public:
    using Handle = typename Traits::Handle;

    HandleOwner() = default;
    explicit HandleOwner(Handle handle) : m_handle(Traits::Normalize(handle)) {}
    ~HandleOwner() { Reset(); }
    HandleOwner(HandleOwner&& other) noexcept : m_handle(other.Release()) {}
    HandleOwner& operator=(HandleOwner&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    HandleOwner(const HandleOwner&) = delete;
    HandleOwner& operator=(const HandleOwner&) = delete;

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    Handle Release() { return std::exchange(m_handle, nullptr); }
    void Reset(Handle handle = nullptr)
    {
        if (m_handle)
            Traits::Close(m_handle);
        m_handle = Traits::Normalize(handle);
    }
    // For a call that hands its new handle back through a pointer; what was held is closed first.
    Handle* Put()
    {
        Reset();
        return &m_handle;
    }

private:
    Handle m_handle = nullptr;
};

// Kernel objects: files, processes, threads, events, mutexes, tokens. CreateFile's failure value
// counts as no handle.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static HANDLE Normalize(HANDLE handle) { return handle == INVALID_HANDLE_VALUE ? nullptr : handle; }
    static void Close(HANDLE handle)
    {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
};

using KernelHandle = HandleOwner<KernelHandleTraits>;

// A FindFirstFile search, whose failure value counts as no handle.
struct FindHandleTraits {
    using Handle = HANDLE;
    static HANDLE Normalize(HANDLE handle) { return handle == INVALID_HANDLE_VALUE ? nullptr : handle; }
    static void Close(HANDLE handle) { FindClose(handle); }
};

using FindHandle = HandleOwner<FindHandleTraits>;

struct RegistryKeyTraits {
    using Handle = HKEY;
    static HKEY Normalize(HKEY key) { return key; }
    static void Close(HKEY key) { RegCloseKey(key); }
};

using RegistryKeyHandle = HandleOwner<RegistryKeyTraits>;
