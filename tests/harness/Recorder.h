#pragma once
// Recording fakes for the programs the suite starts (Obentil, Feedback.exe, the shell's
// explorer.exe, brixom.exe for the tray manager): a copy of recorder.exe under the program's name
// appends the arguments it was started with, one line per start, to "<its own path>.log".
#include <string>
#include <vector>

namespace harness {

bool InstallRecorder(const std::string& asProgramPath);      // copies recorder.exe there, clears its log
std::vector<std::string> RecordedCalls(const std::string& programPath);
bool WaitForRecordedCalls(const std::string& programPath, size_t count, unsigned timeoutMs = 10000);

// The peer window program: a top-level window of another process, titled as given, that logs every
// WM_DEVICECHANGE it receives to "<its own path>.log" as "event=0x8000 mask=0x00000010".
std::string PeerWindowPath();

// Appends one line to a log file, shared with other writers (each line lands whole).
void AppendLogLine(const std::string& path, const std::string& line);

// The arguments of a command line: what follows the (possibly quoted) program name and one blank.
std::string ArgumentsOf(const std::string& commandLine);

}  // namespace harness
