#pragma once
// The tests run on a display without a window manager. Wine's X11 driver waits up to two seconds
// for a window manager's answer whenever it hides a window it manages (a message box, a dialog
// with a taskbar button, an activated popup), which no one ever gives here. For as long as the
// guard lives, the windows of one program started by the test are unmanaged, so they close at
// once; what the program does and draws is the same.
#include <string>

namespace harness {

class UnmanagedWindows {
public:
    explicit UnmanagedWindows(const std::string& programName);      // "brixom.exe"
    ~UnmanagedWindows();
    UnmanagedWindows(const UnmanagedWindows&) = delete;
    UnmanagedWindows& operator=(const UnmanagedWindows&) = delete;

private:
    std::string m_key;
};

}  // namespace harness
