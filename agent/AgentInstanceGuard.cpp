#include "AgentInstanceGuard.h"

namespace {

constexpr char kWakeMessage[] = "Norvalix_Sequora_Agent_Wake";

// FNV-1a over the upper-cased path: a mutex name holds no backslash, and letter case does not
// make another file on Windows.
DWORD KeyOf(std::string path)
{
    if (!path.empty())
        CharUpperBuffA(&path[0], static_cast<DWORD>(path.size()));
    DWORD hash = 2166136261u;
    for (const char ch : path) {
        hash ^= static_cast<unsigned char>(ch);
        hash *= 16777619u;
    }
    return hash;
}

}  // namespace

AgentInstanceGuard::AgentInstanceGuard(const std::string& imagePath) : m_key(KeyOf(imagePath))
{
    char name[64];
    wsprintfA(name, "Local\\Norvalix_Sequora_Agent_%08lX", static_cast<unsigned long>(m_key));
    m_mutex.Reset(CreateMutexA(nullptr, FALSE, name));
    m_alreadyRunning = m_mutex && GetLastError() == ERROR_ALREADY_EXISTS;
}

UINT AgentInstanceGuard::WakeMessage()
{
    static const UINT message = RegisterWindowMessageA(kWakeMessage);
    return message;
}

void AgentInstanceGuard::WakeFirst() const
{
    // The first one may bring its form to the front.
    AllowSetForegroundWindow(ASFW_ANY);
    PostMessageA(HWND_BROADCAST, WakeMessage(), m_key, 0);
}
