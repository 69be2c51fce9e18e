#include "Step2Rules.h"

#include <climits>
#include <cstring>

namespace {

constexpr unsigned kSizeReserveMB = 100;
constexpr unsigned kSmallDriveMaximum = 10;
constexpr unsigned kFat32FreeCap = 4096;
constexpr int kMinimumPasswordLength = 6;
const char* const kImageExtension = "sqv";

}  // namespace

unsigned Step2Rules::FreeSpaceMBFor(ULONGLONG freeBytes, const char* fileSystem)
{
    const ULONGLONG freeMB = freeBytes >> 20;
    if (freeMB >= kFat32FreeCap && fileSystem && std::strcmp(fileSystem, "FAT32") == 0)
        return kFat32FreeCap;
    return static_cast<unsigned>(freeMB);
}

unsigned Step2Rules::MaximumSizeFor(unsigned freeMB)
{
    return freeMB > kSizeReserveMB ? freeMB - kSizeReserveMB : kSmallDriveMaximum;
}

int Step2Rules::ProposedSizeFor(unsigned maximum, bool hardDisk)
{
    if (hardDisk && maximum > kHardDiskSizeCap)
        return static_cast<int>(kHardDiskSizeCap);
    return static_cast<int>(maximum / 2);
}

const char* Step2Rules::SizeRefusal(int mode, int sizeMB, const std::string& fileSystem)
{
    const bool tooLargeForFat = sizeMB > kLargestFatSize;
    if (mode == kModeHardDisk) {
        if (sizeMB < kSmallestSize)
            return "strSizeMustGreater50";
        if (tooLargeForFat && fileSystem == "FAT32")
            return "strMustNTFS";
        return nullptr;
    }
    if (sizeMB < 1)
        return "strSizeMustBePositive";
    if (tooLargeForFat && (fileSystem == "FAT32" || fileSystem == "FAT"))
        return "strMustNTFS";
    return nullptr;
}

int Step2Rules::ClampSize(int size, unsigned maximum)
{
    if (static_cast<unsigned>(size) > maximum)
        size = static_cast<int>(maximum);
    if (size < kSmallestSize)
        size = kSmallestSize;
    return size;
}

int Step2Rules::ParseSize(const char* text)
{
    if (!text)
        return 0;
    while (*text == ' ' || *text == '\t' || *text == '\r' || *text == '\n')
        ++text;
    bool negative = false;
    if (*text == '-' || *text == '+')
        negative = *text++ == '-';
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > INT_MAX) {
            value = static_cast<long long>(INT_MAX) + 1;
            while (text[1] >= '0' && text[1] <= '9')
                ++text;
        }
    }
    if (negative)
        return value > INT_MAX ? INT_MIN : static_cast<int>(-value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

int Step2Rules::GetCharClasses(const char* password)
{
    if (!password || std::strlen(password) < static_cast<size_t>(kMinimumPasswordLength))
        return 0;
    int classes = 0;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(password); *c; ++c) {
        if (*c >= 'A' && *c <= 'Z')
            classes |= 1;
        else if (*c >= 'a' && *c <= 'z')
            classes |= 2;
        else if (*c >= '0' && *c <= '9')
            classes |= 4;
        else
            classes |= 8;
    }
    return classes;
}

int Step2Rules::GetPasswordStrength(const char* password)
{
    int strength = 0;
    for (int classes = GetCharClasses(password); classes; classes >>= 1)
        strength += classes & 1;
    return strength;
}

CString Step2Rules::DefaultNameTail(const SYSTEMTIME& time)
{
    CString tail;
    tail.Format("(%d%02d%02d%02d%02d%02d).sqv", time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute,
                time.wSecond);
    return tail;
}

CString Step2Rules::WithImageExtension(const CString& path)
{
    std::string text = path.str();
    const size_t name = text.find_last_of("\\/:");
    const size_t dot = text.rfind('.');
    if (dot != std::string::npos && (name == std::string::npos || dot > name))
        text.resize(dot);
    return CString(text + "." + kImageExtension);
}
