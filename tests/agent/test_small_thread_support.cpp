// The runtime support Agent.exe is built with in place of winpthread (cmake/SmallThreadSupport.cpp),
// in a program built the same way. No test framework: one that uses threads would bring winpthread
// back, and the link would fail on its second set of pthread functions, which is itself the check
// that nothing else needs it. Prints each failed check and returns 1 when any failed.
#include <windows.h>
#include <pthread.h>

#include <cstdio>
#include <string>

namespace {

int g_failures = 0;

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::printf("FAILED: %s\n", what);
        ++g_failures;
    }
}

template <typename Work>
DWORD WINAPI RunWork(LPVOID work)
{
    (*static_cast<Work*>(work))();
    return 0;
}

// Threads made with CreateThread, as Agent makes its own; all started, then all waited for.
template <typename Work>
void RunOnThreads(int count, Work& work)
{
    HANDLE threads[16] = {};
    for (int i = 0; i < count; ++i)
        threads[i] = CreateThread(nullptr, 0, &RunWork<Work>, &work, 0, nullptr);
    WaitForMultipleObjects(static_cast<DWORD>(count), threads, TRUE, INFINITE);
    for (int i = 0; i < count; ++i)
        CloseHandle(threads[i]);
}

constexpr int kThreads = 8;

// Each thread's exception state is its own (thread-local data through the keys), the emergency pool
// and the unwinder's tables are locked (the mutexes), the unwinder sets itself up once (once).
void ExceptionsOnManyThreadsAtOnce()
{
    volatile LONG caught = 0;
    auto work = [&] {
        for (int i = 0; i < 500; ++i) {
            try {
                try {
                    throw i;
                } catch (int inner) {
                    // A second exception while the first is being handled, on the same thread.
                    throw std::string(static_cast<size_t>(inner % 50 + 20), 'x');
                }
            } catch (const std::string& text) {
                if (text.size() == static_cast<size_t>(i % 50 + 20))
                    InterlockedIncrement(&caught);
            }
        }
    };
    RunOnThreads(kThreads, work);
    Check(caught == kThreads * 500, "every exception of every thread caught where it was thrown");
}

volatile LONG g_destroyed = 0;
void* volatile g_destroyedValue = nullptr;

void CountDestroyed(void* value)
{
    g_destroyedValue = value;
    InterlockedIncrement(&g_destroyed);
}

// A key's destructor runs with the thread's value when the thread ends, and only for threads that
// set one.
void KeyDestructorRunsAsThreadEnds()
{
    pthread_key_t key = 0;
    Check(pthread_key_create(&key, &CountDestroyed) == 0, "a key is made");
    static int value = 42;
    auto setsValue = [&] {
        Check(pthread_getspecific(key) == nullptr, "a new thread starts without a value");
        pthread_setspecific(key, &value);
        Check(pthread_getspecific(key) == &value, "the thread reads back its own value");
    };
    RunOnThreads(1, setsValue);
    Check(g_destroyed == 1 && g_destroyedValue == &value, "the destructor ran once, with the thread's value");
    auto setsNothing = [] {};
    RunOnThreads(1, setsNothing);
    Check(g_destroyed == 1, "no destructor for a thread without a value");
}

pthread_mutex_t g_counterLock = PTHREAD_MUTEX_INITIALIZER;
long g_counter = 0;
pthread_once_t g_once = PTHREAD_ONCE_INIT;
volatile LONG g_onceRuns = 0;

// A statically initialised mutex serialises many threads from its first use; once runs once.
void StaticMutexAndOnce()
{
    auto work = [] {
        pthread_once(&g_once, [] {
            Sleep(20);      // the others arrive meanwhile and must wait
            InterlockedIncrement(&g_onceRuns);
        });
        Check(g_onceRuns == 1, "once has run by the time it returns");
        for (int i = 0; i < 20000; ++i) {
            pthread_mutex_lock(&g_counterLock);
            g_counter = g_counter + 1;
            pthread_mutex_unlock(&g_counterLock);
        }
    };
    RunOnThreads(kThreads, work);
    Check(g_onceRuns == 1, "once ran exactly once");
    Check(g_counter == kThreads * 20000L, "no increment lost under the mutex");

    pthread_mutex_t made;
    Check(pthread_mutex_init(&made, nullptr) == 0, "a mutex is made");
    Check(pthread_mutex_lock(&made) == 0 && pthread_mutex_unlock(&made) == 0, "a made mutex locks and unlocks");
    Check(pthread_mutex_destroy(&made) == 0, "a made mutex is destroyed");
}

}  // namespace

int main()
{
    ExceptionsOnManyThreadsAtOnce();
    KeyDestructorRunsAsThreadEnds();
    StaticMutexAndOnce();
    std::printf(g_failures ? "%d checks failed\n" : "all checks passed\n", g_failures);
    return g_failures ? 1 : 0;
}
