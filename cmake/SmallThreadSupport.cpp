// Linked into the files that travel onto USB drives (Agent.exe, Tavrin.dll) to keep them small.
// With the posix thread model, the C++ runtime's exception support (its emergency memory pool,
// the unwinder's table of frames, thread-local exception state) locks and keeps per-thread data
// through eight pthread functions; the static winpthread library that would serve them brings
// threads, conditions, read-write locks, spin locks and clocks, some 30 KB that nothing here
// uses. These are the eight, on Win32 primitives. Their types are winpthread's (pthread.h):
// a mutex is a pointer-sized value that holds a static initializer until its first use, a once
// flag a long that starts at 0, a key an unsigned index.
#include <windows.h>

#include <cerrno>
#include <cstdint>

namespace {

using MutexValue = intptr_t;      // pthread_mutex_t
using OnceFlag = long;            // pthread_once_t
using Key = unsigned;             // pthread_key_t
using KeyDestructor = void (*)(void*);

// The static initializers (plain, recursive, error-checking) are small negative values.
constexpr MutexValue kFirstStaticInitializer = -3;

bool IsStaticInitializer(MutexValue value)
{
    return value < 0 && value >= kFirstStaticInitializer;
}

CRITICAL_SECTION* NewCriticalSection()
{
    auto* section = static_cast<CRITICAL_SECTION*>(HeapAlloc(GetProcessHeap(), 0, sizeof(CRITICAL_SECTION)));
    if (section)
        InitializeCriticalSection(section);
    return section;
}

void FreeCriticalSection(CRITICAL_SECTION* section)
{
    DeleteCriticalSection(section);
    HeapFree(GetProcessHeap(), 0, section);
}

// The critical section behind a mutex, made on first use when the mutex was set up statically.
// A critical section may be entered again by its owner, which serves every mutex kind asked for.
CRITICAL_SECTION* SectionOf(MutexValue* mutex)
{
    MutexValue value = *mutex;
    if (!IsStaticInitializer(value))
        return reinterpret_cast<CRITICAL_SECTION*>(value);
    CRITICAL_SECTION* made = NewCriticalSection();
    if (!made)
        return nullptr;
    const MutexValue was = reinterpret_cast<MutexValue>(InterlockedCompareExchangePointer(
        reinterpret_cast<PVOID volatile*>(mutex), made, reinterpret_cast<PVOID>(value)));
    if (was == value)
        return made;
    // Another thread made it first.
    FreeCriticalSection(made);
    return reinterpret_cast<CRITICAL_SECTION*>(was);
}

// Per-thread values are Win32 thread-local slots. A key's destructor runs as a thread that holds a
// value ends, from the module's thread callback, as winpthread's does; the runtime makes one or
// two keys.
constexpr LONG kMostKeys = 4;
struct KeyEntry {
    DWORD index;
    KeyDestructor destructor;
};
KeyEntry g_keys[kMostKeys];
volatile LONG g_keysMade = 0;       // entries handed out
volatile LONG g_keysReady = 0;      // entries filled in, in order

void RunDestructors()
{
    for (LONG i = 0; i < g_keysReady; ++i) {
        if (!g_keys[i].destructor)
            continue;
        if (void* value = TlsGetValue(g_keys[i].index)) {
            TlsSetValue(g_keys[i].index, nullptr);
            g_keys[i].destructor(value);
        }
    }
}

VOID NTAPI OnThreadEvent(PVOID, DWORD reason, PVOID)
{
    if (reason == DLL_THREAD_DETACH) {
        RunDestructors();
    } else if (reason == DLL_PROCESS_DETACH) {
        for (LONG i = 0; i < g_keysReady; ++i)
            TlsFree(g_keys[i].index);
    }
}

}  // namespace

extern "C" {

int pthread_mutex_init(MutexValue* mutex, const unsigned*)
{
    CRITICAL_SECTION* section = NewCriticalSection();
    if (!section)
        return ENOMEM;
    *mutex = reinterpret_cast<MutexValue>(section);
    return 0;
}

int pthread_mutex_destroy(MutexValue* mutex)
{
    if (!IsStaticInitializer(*mutex) && *mutex)
        FreeCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(*mutex));
    *mutex = kFirstStaticInitializer + 2;   // as PTHREAD_MUTEX_INITIALIZER leaves it
    return 0;
}

int pthread_mutex_lock(MutexValue* mutex)
{
    CRITICAL_SECTION* section = SectionOf(mutex);
    if (!section)
        return ENOMEM;
    EnterCriticalSection(section);
    return 0;
}

int pthread_mutex_unlock(MutexValue* mutex)
{
    if (IsStaticInitializer(*mutex))
        return EPERM;       // never locked
    LeaveCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(*mutex));
    return 0;
}

int pthread_once(OnceFlag* once, void (*run)())
{
    constexpr LONG kNotRun = 0, kRunning = 1, kDone = 2;
    const LONG was = InterlockedCompareExchange(once, kRunning, kNotRun);
    if (was == kNotRun) {
        run();
        InterlockedExchange(once, kDone);
    } else {
        while (InterlockedCompareExchange(once, kDone, kDone) != kDone)
            Sleep(0);
    }
    return 0;
}

int pthread_key_create(Key* key, KeyDestructor destructor)
{
    const DWORD index = TlsAlloc();
    if (index == TLS_OUT_OF_INDEXES)
        return EAGAIN;
    const LONG slot = InterlockedIncrement(&g_keysMade) - 1;
    if (slot >= kMostKeys) {
        TlsFree(index);
        return EAGAIN;
    }
    g_keys[slot] = {index, destructor};
    // The thread callback reads entries up to g_keysReady: publish this one after those before it.
    while (InterlockedCompareExchange(&g_keysReady, slot + 1, slot) != slot)
        Sleep(0);
    *key = index;
    return 0;
}

void* pthread_getspecific(Key key)
{
    return TlsGetValue(key);
}

int pthread_setspecific(Key key, const void* value)
{
    return TlsSetValue(key, const_cast<void*>(value)) ? 0 : ENOMEM;
}

// Called by the loader for every thread that starts or ends and as the module goes (the PE thread
// callbacks between .CRT$XLA and .CRT$XLZ).
__attribute__((section(".CRT$XLE"), used)) const PIMAGE_TLS_CALLBACK g_smallThreadCallback = &OnThreadEvent;

}  // extern "C"
