#include "TavrinFixture.h"

#include "MountedDisks.h"
#include "Paths.h"

#include <windows.h>

#include <cstring>

namespace tavrintest {

std::vector<uint8_t> MakeHeader(uint32_t sizeMb, const std::string& password, char letter)
{
    ImageHeader header{};
    header.signature = ImageHeader::kSignature;
    header.headerSize = ImageHeader::kHeaderSize;
    memcpy(header.password, password.data(), std::min(password.size(), ImageHeader::kPasswordSize - 1));
    header.driveLetter = letter;
    header.dataBytes = static_cast<uint64_t>(sizeMb) * kMiB - ImageHeader::kHeaderSize;
    header.field657 = ImageHeader::kHeaderSize;
    const char description[] = "made by a test";
    memcpy(header.description, description, sizeof(description));
    const auto* bytes = reinterpret_cast<const uint8_t*>(&header);
    return std::vector<uint8_t>(bytes, bytes + sizeof(header));
}

std::string PasswordOf(const std::vector<uint8_t>& header)
{
    const char* password = AsHeader(header)->password;
    return std::string(password, strnlen(password, ImageHeader::kPasswordSize));
}

void SetPassword(std::vector<uint8_t>& header, const std::string& password)
{
    char* field = AsHeader(header)->password;
    memset(field, 0, ImageHeader::kPasswordSize);
    memcpy(field, password.data(), std::min(password.size(), ImageHeader::kPasswordSize - 1));
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
    for (char letter : MountedDriveLetters())
        Tavrin_Unmount(static_cast<unsigned char>(letter), 0);
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
