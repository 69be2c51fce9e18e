#include "WriteProtection.h"

#include "FileTree.h"

#include <windows.h>

#include <vector>

namespace outside {

namespace {

// One allow entry for everyone: the rule replaces what the folder inherited.
bool SetEveryonesAccess(const std::wstring& path, DWORD access)
{
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone))
        return false;
    alignas(DWORD) unsigned char aclBytes[128];
    auto* acl = reinterpret_cast<PACL>(aclBytes);
    SECURITY_DESCRIPTOR descriptor;
    const bool done = InitializeAcl(acl, sizeof aclBytes, ACL_REVISION) &&
                      AddAccessAllowedAce(acl, ACL_REVISION, access, everyone) &&
                      InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
                      SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE) &&
                      SetFileSecurityW(FileTree::LongPath(path).c_str(), DACL_SECURITY_INFORMATION, &descriptor);
    FreeSid(everyone);
    return done;
}

}  // namespace

bool WriteProtection::Protect(const std::wstring& folder)
{
    std::vector<TreeEntry> entries;
    if (!FileTree::Scan(folder, entries))
        return false;
    // Files first, then the folders from the deepest up: the rule on a folder must not stand in
    // the way of what is done inside it.
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        const std::wstring path = folder + L"\\" + entry->relativePath;
        if (entry->isFolder ? !SetEveryonesAccess(path, FILE_GENERIC_READ | FILE_GENERIC_EXECUTE)
                            : !SetFileAttributesW(FileTree::LongPath(path).c_str(),
                                                  entry->attributes | FILE_ATTRIBUTE_READONLY) ||
                                  !SetEveryonesAccess(path, FILE_GENERIC_READ))
            return false;
    }
    return SetEveryonesAccess(folder, FILE_GENERIC_READ | FILE_GENERIC_EXECUTE);
}

void WriteProtection::Release(const std::wstring& folder)
{
    SetEveryonesAccess(folder, GENERIC_ALL);
    std::vector<TreeEntry> entries;
    FileTree::Scan(folder, entries);
    for (const TreeEntry& entry : entries)
        SetEveryonesAccess(folder + L"\\" + entry.relativePath, GENERIC_ALL);
}

}  // namespace outside
