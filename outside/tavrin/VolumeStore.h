#pragma once
// The disk's files inside the image's data area, kept in extents named by a table. Two volume
// blocks at the start of the data area name the current table (its place, length and checksum, a
// sequence number and the length the image must have); the valid block with the higher number is
// current. A write-back writes only the files that changed, into space the current table does not
// use (growing the file past its nominal size when that is the only room), then the new table, and
// only then makes it current with two 512-byte block writes, the older block first: an image
// interrupted at any moment still holds either the old or the new files, and unchanged files are
// never written again. Images whose blocks name one packed copy of all the files (the older form)
// are read as they are and get a table at their next write-back.
//
// An image that is not whole is refused, never taken for an empty or smaller disk: shorter than its
// header declares, a block that is neither empty nor valid beside a form that cannot tell it from
// the current one, a table or a file whose checksum fails, a name that climbs out of the disk.
// The header (the first 2048 bytes) is never written here.
#include "FileTree.h"

#include <cstdint>
#include <string>
#include <vector>

namespace outside {

class VolumeStore {
public:
    // True when the image's header, blocks and table are whole and every extent lies inside the
    // file (the files' bytes are checked as they are unpacked).
    static bool IsWhole(const std::wstring& imagePath);

    // Writes the image's current files into the empty folder `folder`; an image never written
    // back is an empty disk. False when the image cannot be read or is not whole.
    static bool Unpack(const std::wstring& imagePath, const std::wstring& folder);

    // Makes `entries` (scanned from `folder`) the image's current content, writing only the files
    // that differ from the current table. False, with the image still holding its previous
    // content, when that cannot be done (the image not whole included: it is never written over).
    static bool Pack(const std::wstring& imagePath, const std::wstring& folder, const std::vector<TreeEntry>& entries);
};

}  // namespace outside
