#pragma once
// The disk's files inside the image's data area. Two volume blocks at the start of the data area
// take turns: each names a packed copy of the files (offset, length, checksum) and a sequence
// number; the valid block with the higher number is current. A write-back packs the files where
// they do not touch the current copy (growing the file past its nominal size when that is the
// only room) and only then makes the other block current with one 512-byte write, so an image
// interrupted at any moment still holds either the old or the new files. The header (the first
// 2048 bytes) is never written here.
#include "FileTree.h"

#include <cstdint>
#include <string>
#include <vector>

namespace outside {

class VolumeStore {
public:
    // Writes the image's current files into the empty folder `folder`; an image never written
    // back is an empty disk. False when the image cannot be read or its content is damaged.
    static bool Unpack(const std::wstring& imagePath, const std::wstring& folder);

    // Makes `entries` (scanned from `folder`) the image's current content. False, with the image
    // still holding its previous content, when that cannot be done.
    static bool Pack(const std::wstring& imagePath, const std::wstring& folder, const std::vector<TreeEntry>& entries);
};

}  // namespace outside
