#include "CUpdateCheck.h"

#include <atomic>

#include "HandleOwner.h"

namespace {

constexpr LONG kRunning = 0, kAnswered = 1, kAbandoned = 2;

}  // namespace

// Between the window's thread and the worker; each keeps it alive while it needs it. The answer
// is written before the state says so and read only after.
struct CUpdateCheck::Shared {
    std::string url;
    HWND target = nullptr;
    UINT message = 0;
    UpdateSessionSlot session{nullptr};
    std::atomic<LONG> state{kRunning};
    UpdateInfo answer;
    bool succeeded = false;
};

CUpdateCheck::~CUpdateCheck()
{
    Abandon();
}

bool CUpdateCheck::Start(const std::string& url, HWND target, UINT message)
{
    Abandon();
    auto shared = std::make_shared<Shared>();
    shared->url = url;
    shared->target = target;
    shared->message = message;
    auto* workerCopy = new std::shared_ptr<Shared>(shared);
    DWORD id = 0;
    // Never waited for: the worker ends by itself, and the process may end before it.
    const KernelHandle thread(::CreateThread(nullptr, 0, &CUpdateCheck::Worker, workerCopy, 0, &id));
    if (!thread) {
        delete workerCopy;
        return false;
    }
    m_shared = shared;
    return true;
}

void CUpdateCheck::Abandon()
{
    if (!m_shared)
        return;
    LONG expected = kRunning;
    if (m_shared->state.compare_exchange_strong(expected, kAbandoned))
        CloseUpdateSession(m_shared->session);
    m_shared.reset();
}

bool CUpdateCheck::TakeAnswer(UpdateInfo& info)
{
    if (!m_shared || m_shared->state.load() != kAnswered)
        return false;
    const bool succeeded = m_shared->succeeded;
    if (succeeded)
        info = m_shared->answer;
    m_shared.reset();
    return succeeded;
}

DWORD WINAPI CUpdateCheck::Worker(void* parameter)
{
    std::unique_ptr<std::shared_ptr<Shared>> own(static_cast<std::shared_ptr<Shared>*>(parameter));
    Shared& shared = **own;
    try {
        shared.succeeded = QueryUpdate(shared.url, shared.answer, &shared.session);
    } catch (...) {
        shared.succeeded = false;
    }
    LONG expected = kRunning;
    if (shared.state.compare_exchange_strong(expected, kAnswered))
        ::PostMessageA(shared.target, shared.message, 0, 0);
    return 0;
}
