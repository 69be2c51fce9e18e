#pragma once
// What the Tavrin tests share: images made to order, the seam's variables set for a while, and
// clean-up of every disk a test leaves mounted.
#include "TavrinApi.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavrintest {

constexpr uint32_t kMiB = 1u << 20;

// An image header as the wizard fills it.
std::vector<uint8_t> MakeHeader(uint32_t sizeMb, const std::string& password, char letter = 'X');
// The tests keep headers and records as bytes, to check them at the offsets a stored file has; the
// library takes them as its records.
inline ImageHeader* AsHeader(std::vector<uint8_t>& bytes) { return reinterpret_cast<ImageHeader*>(bytes.data()); }
inline const ImageHeader* AsHeader(const std::vector<uint8_t>& bytes)
{
    return reinterpret_cast<const ImageHeader*>(bytes.data());
}
std::string PasswordOf(const std::vector<uint8_t>& header);
// Puts a new password in place of the old one, NUL-padded as the wizard writes it.
void SetPassword(std::vector<uint8_t>& header, const std::string& password);
inline MountedDriveInfo* AsMountInfo(std::vector<uint8_t>& bytes)
{
    return reinterpret_cast<MountedDriveInfo*>(bytes.data());
}

std::wstring Wide(const std::string& text);

// Sets an environment variable for the life of the object (the libraries read it at each call,
// and programs the test starts inherit it).
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value);
    ~ScopedVariable();
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    std::string m_name;
};

class TavrinTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;   // dismounts whatever is still mounted

    // Creates an image of `sizeMb` in the test's folder; returns its path.
    std::string NewImage(const std::string& name, uint32_t sizeMb = 2, const std::string& password = "secret");
    static char FreeLetter();
    static bool Mount(const std::string& image, char letter, bool readOnly = false);
    static bool Unmount(char letter);
    static std::string Root(char letter) { return std::string(1, letter) + ":\\"; }

    harness::TempFolder m_folder{"tavrin"};
};

}  // namespace tavrintest
