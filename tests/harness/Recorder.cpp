#include "Recorder.h"

#include "HandleOwner.h"
#include "Paths.h"
#include "WindowDriver.h"

#include <windows.h>

namespace harness {

bool InstallRecorder(const std::string& asProgramPath)
{
    DeleteFileA((asProgramPath + ".log").c_str());
    return CopyFileA(RecorderPath().c_str(), asProgramPath.c_str(), FALSE) != 0;
}

std::vector<std::string> RecordedCalls(const std::string& programPath)
{
    return ReadLines(programPath + ".log");
}

bool WaitForRecordedCalls(const std::string& programPath, size_t count, unsigned timeoutMs)
{
    return WaitUntil([&] { return RecordedCalls(programPath).size() >= count; }, timeoutMs);
}

std::string PeerWindowPath() { return JoinPath(TestBinDir(), "peerwindow.exe"); }

void AppendLogLine(const std::string& path, const std::string& line)
{
    const KernelHandle file(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_ALWAYS, 0, nullptr));
    if (!file)
        return;
    std::string text = line + "\r\n";
    DWORD put = 0;
    WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &put, nullptr);
}

std::string ArgumentsOf(const std::string& commandLine)
{
    size_t i = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        size_t close = commandLine.find('"', 1);
        i = close == std::string::npos ? commandLine.size() : close + 1;
    } else {
        while (i < commandLine.size() && commandLine[i] != ' ' && commandLine[i] != '\t')
            ++i;
    }
    if (i < commandLine.size() && (commandLine[i] == ' ' || commandLine[i] == '\t'))
        ++i;
    return commandLine.substr(i);
}

}  // namespace harness
