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
// Both blocks empty is an image never written back only when nothing lies past its header and it
// is as long as its header says (the images made before creation wrote the first blocks);
// otherwise blocks were lost that named what it holds.
//
// The blocks carry the volume's random id, made with the image (or given to an older image at its
// first mount or write-back), which with the current block's sequence number and checksum makes
// the image's VolumeMark. A write-back goes only over the states of the volume it is told.
// The header (the first 2048 bytes) is never written here.
#include "FileTree.h"
#include "VolumeMark.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace outside {

// What a write-back may write over, and what it tells before its new content becomes current.
struct WriteBackTarget {
    // The volume states the disk's files may replace; none: any (a disk mounted by an older
    // library, which knew no marks).
    std::vector<VolumeMark> from;
    // The stamps of the files as they were mounted (FileTree::Stamps); a file among them has not
    // been touched since and keeps its bytes where they lie. None known: every file is written.
    std::vector<uint64_t> unchanged;
    // Told the state the write-back is about to make current; false stops it there.
    std::function<bool(const VolumeMark& next)> committing;
};

class VolumeStore {
public:
    // Where a new image's volume blocks lie, right after its header.
    static constexpr uint64_t kBlocksAt = 2048;
    static constexpr uint32_t kBlocksBytes = 1024;
    // The blocks a new image starts with: an empty disk of a volume id of its own.
    static void FirstBlocks(uint64_t imageLength, uint8_t (&blocks)[kBlocksBytes]);

    // True when the image's header, blocks and table are whole and every extent lies inside the
    // file (the files' bytes are checked as they are unpacked).
    static bool IsWhole(const std::wstring& imagePath);

    // The volume an image holds now, read from its blocks alone (whether the content they name is
    // whole is known once it is read).
    static bool MarkOf(const std::wstring& imagePath, VolumeMark& mark);

    // Writes the image's current files into the empty folder `folder`; an image never written
    // back is an empty disk. False when the image cannot be read or is not whole.
    static bool Unpack(const std::wstring& imagePath, const std::wstring& folder);

    // Gives a volume that has no id yet one of its own, its content unchanged, as long as the
    // image is still in the state `mark`, which it then holds anew. For an image just unpacked
    // whole; the older packed form gets its id at its first write-back.
    static bool GiveIdentity(const std::wstring& imagePath, VolumeMark& mark);

    // Makes `entries` (scanned from `folder`) the image's current content, writing only the files
    // that differ from the current table. False, with the image still holding its previous
    // content, when that cannot be done (the image not whole included: it is never written over)
    // or the image holds none of the states of `target`.
    static bool Pack(const std::wstring& imagePath, const std::wstring& folder, const std::vector<TreeEntry>& entries,
                     const WriteBackTarget& target);
};

}  // namespace outside
