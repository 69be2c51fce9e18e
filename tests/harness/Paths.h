#pragma once
// Where a test finds the built suite. Test programs live in <build>/tests; the program folder, laid
// out as a user's installation, is <build>/program.
#include <string>
#include <vector>

namespace harness {

std::string TestBinDir();       // folder of the running test program, no trailing backslash
std::string BuildDir();         // the build folder of this architecture
std::string ProgramDir();       // <build>\program
std::string RecorderPath();     // the recording fake, <build>\tests\recorder.exe

// "C:\a\b.txt" -> "C:\a"; a path without a backslash gives "".
std::string ParentFolder(const std::string& path);
std::string JoinPath(const std::string& folder, const std::string& name);

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
std::string ReadFileBytes(const std::string& path);              // "" when unreadable
bool WriteFileBytes(const std::string& path, const std::string& bytes);
// The lines of a text file (LF or CRLF), empty ones included; none when unreadable.
std::vector<std::string> ReadLines(const std::string& path);

// Copies a folder tree (files and sub-folders, attributes kept). Used to give a test its own copy
// of the program folder that it may change (swap in a recording fake, drop a library).
bool CopyFolder(const std::string& from, const std::string& to);
bool DeleteFolderTree(const std::string& folder);

// The host (unix) path of a Windows path under Wine; "" outside Wine.
std::string UnixPathOf(const std::string& windowsPath);
bool IsRunningUnderWine();
// Wine started by root: files' Unix permissions refuse it nothing, so a write protection cannot
// be seen from such a run (the script tests run those checks as an ordinary user).
bool WineRunsAsRoot();
// What the owner of a write-protected file or folder may do to write it all the same: the
// read-only attribute off and a rule that lets everyone do everything.
bool LiftWriteProtection(const std::string& path);

}  // namespace harness
