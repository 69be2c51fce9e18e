#include "TestSeam.h"

#include "HandleOwner.h"

#include <windows.h>

#include <cctype>
#include <vector>

namespace outside {

namespace {

constexpr const char* kJournalVariable = "SEQUORA_OUTSIDE_JOURNAL";
constexpr const char* kFaultsVariable = "SEQUORA_OUTSIDE_FAULTS";
constexpr DWORD kWriteBackPauseMs = 60000;

std::string Variable(const char* name)
{
    char small[512];
    DWORD length = GetEnvironmentVariableA(name, small, sizeof(small));
    if (length == 0)
        return std::string();
    if (length < sizeof(small))
        return std::string(small, length);
    std::vector<char> large(length + 1);
    length = GetEnvironmentVariableA(name, large.data(), length + 1);
    return std::string(large.data(), length);
}

}  // namespace

bool TestSeam::HasFault(const char* name, std::string* value)
{
    const std::string faults = Variable(kFaultsVariable);
    const std::string wanted = name;
    size_t pos = 0;
    while (pos < faults.size()) {
        size_t end = faults.find_first_of(", \t", pos);
        if (end == std::string::npos)
            end = faults.size();
        std::string word = faults.substr(pos, end - pos);
        pos = end + 1;
        size_t equals = word.find('=');
        if (word.substr(0, equals) != wanted)
            continue;
        if (value)
            *value = equals == std::string::npos ? std::string() : word.substr(equals + 1);
        return true;
    }
    return false;
}

bool TestSeam::HasFaultForLetter(const char* name, uint32_t letter)
{
    std::string value;
    if (!HasFault(name, &value))
        return false;
    if (value.empty())
        return true;
    for (char c : value)
        if (toupper(static_cast<unsigned char>(c)) == toupper(static_cast<int>(letter & 0xFF)))
            return true;
    return false;
}

void TestSeam::PauseWriteBackIfAsked(const char* phase)
{
    std::string wanted;
    if (HasFault("writeback-pause", &wanted) && wanted == phase) {
        Record(std::string("Tavrin_Unmount paused at ") + phase);
        Sleep(kWriteBackPauseMs);
    }
}

bool TestSeam::JournalEnabled() { return !Variable(kJournalVariable).empty(); }

void TestSeam::Record(const std::string& line)
{
    const std::string path = Variable(kJournalVariable);
    if (path.empty())
        return;
    // Opened per line so that several processes append to one journal without losing lines.
    const KernelHandle file(CreateFileA(path.c_str(), FILE_APPEND_DATA,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    const std::string text = line + "\r\n";
    DWORD written = 0;
    WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::string TestSeam::Quote(const wchar_t* text)
{
    if (!text)
        return "NULL";
    int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(length > 0 ? length - 1 : 0, '\0');
    if (length > 1)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, &utf8[0], length, nullptr, nullptr);
    return "\"" + utf8 + "\"";
}

std::string TestSeam::Quote(const char* text)
{
    if (!text)
        return "NULL";
    return "\"" + std::string(text) + "\"";
}

std::string TestSeam::Letter(uint32_t letter)
{
    const uint32_t unit = letter & 0xFFFF;
    if ((unit >= 'A' && unit <= 'Z') || (unit >= 'a' && unit <= 'z'))
        return std::string(1, static_cast<char>(unit));
    return std::to_string(letter);
}

}  // namespace outside
