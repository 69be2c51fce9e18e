#pragma once
// Which volume an image holds and in what state: the random id its volume blocks carry (0 for an
// image whose blocks have none yet) and the sequence number and checksum of its current block.
// Two sticks alike to the byte but for their images, or the same serial on two sticks, cannot
// give two images one mark; a disk's files go back only into the image it was mounted from, as it
// was then (or as a write-back of the same disk left it).
#include <cstdint>
#include <string>

namespace outside {

struct VolumeMark {
    uint32_t id = 0;
    uint64_t sequence = 0;
    uint32_t blockCrc = 0;

    bool operator==(const VolumeMark& other) const
    {
        return id == other.id && sequence == other.sequence && blockCrc == other.blockCrc;
    }
    bool operator!=(const VolumeMark& other) const { return !(*this == other); }

    // As the slot records keep it: "id.sequence.checksum" in hexadecimal.
    std::wstring ToText() const;
    static bool FromText(const std::wstring& text, VolumeMark& mark);
};

}  // namespace outside
