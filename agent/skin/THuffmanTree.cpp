#include "THuffmanTree.h"

// Literals 0-255, end of block 256 and lengths 3-10 carry no extra bits; 265-284 carry 1-5.
const uint8_t kLengthExtraBits[288] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0, 0, 0,
};

const uint8_t kDistanceExtraBits[32] = {
    0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10,
    11, 11, 12, 12, 13, 13, 0, 0,
};

THuffmanTree::THuffmanTree(const uint8_t* lengths, int count, int limit, const uint8_t* extraBits) : m_limit(limit)
{
    int lengthCount[16] = {};
    for (int i = 0; i < count; ++i) {
        if (lengths[i] > m_limit || lengths[i] > 15)
            return;
        ++lengthCount[lengths[i]];
        if (lengths[i] > m_longest)
            m_longest = lengths[i];
    }
    if (m_longest == 0)
        return;
    // More codes than fit in the code space is no code at all.
    int left = 1;
    for (int len = 1; len <= 15; ++len) {
        left = left * 2 - lengthCount[len];
        if (left < 0)
            return;
    }
    int next[16] = {};
    int code = 0;
    lengthCount[0] = 0;
    for (int len = 1; len <= 15; ++len) {
        code = (code + lengthCount[len - 1]) << 1;
        next[len] = code;
    }
    m_table.assign(size_t{1} << m_longest, 0);
    for (int symbol = 0; symbol < count; ++symbol) {
        int len = lengths[symbol];
        if (!len)
            continue;
        int c = next[len]++;
        // Codes are sent from their top bit down; the table is indexed by bits as they arrive.
        uint32_t reversed = 0;
        for (int b = 0; b < len; ++b)
            reversed |= ((c >> b) & 1u) << (len - 1 - b);
        uint32_t entry = static_cast<uint32_t>(symbol) | (static_cast<uint32_t>(len) << 16) |
                         (static_cast<uint32_t>(extraBits ? extraBits[symbol] : 0) << 24);
        for (uint32_t i = reversed; i < m_table.size(); i += 1u << len)
            m_table[i] = entry;
    }
    m_valid = true;
}

const THuffmanTree& THuffmanTree::FixedLiterals()
{
    static const THuffmanTree tree = [] {
        uint8_t lengths[288];
        for (int i = 0; i < 288; ++i)
            lengths[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
        return THuffmanTree(lengths, 288, 15, kLengthExtraBits);
    }();
    return tree;
}

const THuffmanTree& THuffmanTree::FixedDistances()
{
    static const THuffmanTree tree = [] {
        uint8_t lengths[32];
        for (int i = 0; i < 32; ++i)
            lengths[i] = 5;
        return THuffmanTree(lengths, 32, 15, kDistanceExtraBits);
    }();
    return tree;
}
