#include "TavrinFixture.h"

#include "Paths.h"

#include <windows.h>

#include <cstring>

namespace tavrintest {

namespace {

constexpr size_t kPasswordOffset = 372;
constexpr size_t kPasswordBytes = 260;
constexpr size_t kLetterOffset = 632;
constexpr size_t kSizeOffset = 633;

void PutU32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) { memcpy(&bytes[offset], &value, 4); }

}  // namespace

std::vector<uint8_t> MakeHeader(uint32_t sizeMb, const std::string& password, char letter)
{
    std::vector<uint8_t> header(2048, 0);
    PutU32(header, 0, 25);
    PutU32(header, 4, 2048);
    memcpy(&header[kPasswordOffset], password.data(), std::min(password.size(), kPasswordBytes - 1));
    header[kLetterOffset] = static_cast<uint8_t>(letter);
    const uint64_t dataBytes = static_cast<uint64_t>(sizeMb) * kMiB - 2048;
    memcpy(&header[kSizeOffset], &dataBytes, 8);
    PutU32(header, 657, 2048);
    const char description[] = "made by a test";
    memcpy(&header[665], description, sizeof(description));
    return header;
}

std::string PasswordOf(const std::vector<uint8_t>& header)
{
    return std::string(reinterpret_cast<const char*>(&header[kPasswordOffset]));
}

std::wstring Wide(const std::string& text)
{
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? length - 1 : 0, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], length);
    return wide;
}

ScopedVariable::ScopedVariable(const char* name, const std::string& value) : m_name(name)
{
    SetEnvironmentVariableA(name, value.c_str());
}

ScopedVariable::~ScopedVariable() { SetEnvironmentVariableA(m_name.c_str(), nullptr); }

void TavrinTest::SetUp() { ASSERT_NE(0, Tavrin_Install()); }

void TavrinTest::TearDown()
{
    SetEnvironmentVariableA("SEQUORA_OUTSIDE_FAULTS", nullptr);
    SetEnvironmentVariableA("SEQUORA_OUTSIDE_JOURNAL", nullptr);
    const uint32_t mask = Tavrin_GetMountedMask();
    for (int slot = 0; slot < 32; ++slot)
        if (mask & (1u << slot))
            Tavrin_Unmount(Tavrin_GetSlotLetter(slot), 0);
}

std::string TavrinTest::NewImage(const std::string& name, uint32_t sizeMb, const std::string& password)
{
    const std::string path = m_folder / name;
    const auto header = MakeHeader(sizeMb, password);
    int32_t context = 0;
    EXPECT_EQ(1, Tavrin_CreateImage(Wide(path).c_str(), AsHeader(header), nullptr, &context));
    return path;
}

char TavrinTest::FreeLetter() { return static_cast<char>(Tavrin_FindFreeDriveLetter() & 0xFF); }

bool TavrinTest::Mount(const std::string& image, char letter, bool readOnly)
{
    return Tavrin_Mount(Wide(image).c_str(), static_cast<unsigned char>(letter), readOnly ? -1 : 0) != 0;
}

bool TavrinTest::Unmount(char letter) { return Tavrin_Unmount(static_cast<unsigned char>(letter), 0) != 0; }

}  // namespace tavrintest
