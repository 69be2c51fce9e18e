#pragma once
// A folder of the test's own, made fresh and removed with everything in it when the test ends.
#include <string>

namespace harness {

class TempFolder {
public:
    explicit TempFolder(const std::string& hint = "t");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const;

private:
    std::string m_path;
};

}  // namespace harness
