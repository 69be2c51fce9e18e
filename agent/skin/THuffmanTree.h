#pragma once
// A Huffman decoding table of the inflater: 2^longest entries, each packing the symbol (bits 0-15),
// the code length (bits 16-23) and the count of extra bits that follow the code (bits 24-31).
// Entries of length 0 are codes the table does not hold.
#include <cstdint>
#include <vector>

class THuffmanTree {
public:
    // `lengths[i]` is the code length of symbol i; `extraBits` (or null) the extra bits per symbol.
    // `limit` is the longest code allowed (15, or 7 for the code-length code).
    THuffmanTree(const uint8_t* lengths, int count, int limit, const uint8_t* extraBits = nullptr);

    // False when the lengths describe no usable code (too long, or more codes than fit).
    bool Valid() const { return m_valid; }
    int Longest() const { return m_longest; }
    uint32_t Entry(uint32_t bits) const { return m_table.empty() ? 0 : m_table[bits & ((1u << m_longest) - 1)]; }

    // The two fixed codes of the deflate format, made once.
    static const THuffmanTree& FixedLiterals();
    static const THuffmanTree& FixedDistances();

private:
    int m_longest = 0;
    int m_limit;
    bool m_valid = false;
    std::vector<uint32_t> m_table;
};

// Extra bits of the literal/length symbols 0-287 and of the distance symbols 0-29.
extern const uint8_t kLengthExtraBits[288];
extern const uint8_t kDistanceExtraBits[32];
