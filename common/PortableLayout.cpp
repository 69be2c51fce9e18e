#include "PortableLayout.h"

#include <utility>

PortableLayout::PortableLayout(std::string root) : m_root(std::move(root)) {}

PortableLayout PortableLayout::OnDrive(char letter)
{
    return PortableLayout(std::string(1, letter) + ":\\");
}

std::string PortableLayout::RestFolderInWork()
{
    return std::string(kHidingFolderName) + "\\" + kRestFolderName;
}

std::string PortableLayout::WorkFolder() const { return m_root + kWorkFolderName; }
std::string PortableLayout::InWorkFolder(const char* name) const { return WorkFolder() + "\\" + name; }
std::string PortableLayout::HidingFolder() const { return InWorkFolder(kHidingFolderName); }
std::string PortableLayout::InHidingFolder(const char* name) const { return HidingFolder() + "\\" + name; }
std::string PortableLayout::RestFolder() const { return InHidingFolder(kRestFolderName); }
std::string PortableLayout::WorkPlace() const { return InWorkFolder(kImageName); }
std::string PortableLayout::RestPlace() const { return RestFolder() + "\\" + kImageName; }
std::string PortableLayout::UnfinishedPlace() const { return WorkPlace() + kUnfinishedSuffix; }
