#include "Inflater.h"

#include "THuffmanTree.h"

namespace {

const uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                  31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const uint16_t kDistanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
// The order in which the code-length code's lengths are sent.
const uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
const uint8_t kCodeLengthExtra[19] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 3, 7};

constexpr int kMaxLiteralCodes = 286;
constexpr int kMaxDistanceCodes = 30;

}  // namespace

bool Inflater::Bits(int count, uint32_t& value)
{
    while (m_bitCount < count) {
        if (m_pos >= m_size)
            return false;
        m_bitBuffer |= static_cast<uint32_t>(m_data[m_pos++]) << m_bitCount;
        m_bitCount += 8;
    }
    value = count ? (m_bitBuffer & ((1u << count) - 1)) : 0;
    m_bitBuffer = count < 32 ? (m_bitBuffer >> count) : 0;
    m_bitCount -= count;
    return true;
}

bool Inflater::Decode(const THuffmanTree& tree, uint32_t& symbol, int& extraBits)
{
    // Take in what is there up to the longest code; near the end of the input fewer bits may do.
    while (m_bitCount < tree.Longest() && m_pos < m_size) {
        m_bitBuffer |= static_cast<uint32_t>(m_data[m_pos++]) << m_bitCount;
        m_bitCount += 8;
    }
    uint32_t entry = tree.Entry(m_bitBuffer);
    int length = static_cast<int>((entry >> 16) & 0xFF);
    if (length == 0 || length > m_bitCount)
        return false;
    m_bitBuffer >>= length;
    m_bitCount -= length;
    symbol = entry & 0xFFFF;
    extraBits = static_cast<int>(entry >> 24);
    return true;
}

Inflater::Result Inflater::Run()
{
    for (;;) {
        uint32_t final, type;
        if (!Bits(1, final) || !Bits(2, type))
            return Corrupt;
        Result r;
        if (type == 0)
            r = Stored();
        else if (type == 1)
            r = Codes(THuffmanTree::FixedLiterals(), THuffmanTree::FixedDistances());
        else if (type == 2)
            r = Dynamic();
        else
            return Corrupt;
        if (r != Done)
            return r;
        if (final)
            return Done;
    }
}

Inflater::Result Inflater::Stored()
{
    // Byte-aligned LEN and NLEN follow; NLEN is not checked. Whole bytes the decoder read ahead
    // go back to the input; the rest of the current byte is dropped.
    m_pos -= static_cast<size_t>(m_bitCount / 8);
    m_bitBuffer = 0;
    m_bitCount = 0;
    if (m_size - m_pos < 4)
        return Corrupt;
    size_t length = m_data[m_pos] | (m_data[m_pos + 1] << 8);
    m_pos += 4;
    if (m_size - m_pos < length)
        return Corrupt;
    if (m_output.size() + length > m_limit)
        return TooLarge;
    m_output.insert(m_output.end(), m_data + m_pos, m_data + m_pos + length);
    m_pos += length;
    return Done;
}

Inflater::Result Inflater::Codes(const THuffmanTree& literals, const THuffmanTree& distances)
{
    for (;;) {
        uint32_t symbol;
        int extra;
        if (!Decode(literals, symbol, extra))
            return Corrupt;
        if (symbol < 256) {
            if (m_output.size() >= m_limit)
                return TooLarge;
            m_output.push_back(static_cast<uint8_t>(symbol));
            continue;
        }
        if (symbol == 256)
            return Done;
        if (symbol > 285)
            return Corrupt;
        uint32_t more;
        if (!Bits(extra, more))
            return Corrupt;
        size_t length = kLengthBase[symbol - 257] + more;
        uint32_t dsym;
        int dextra;
        if (!Decode(distances, dsym, dextra) || dsym >= 30)
            return Corrupt;
        if (!Bits(dextra, more))
            return Corrupt;
        size_t distance = kDistanceBase[dsym] + more;
        if (distance > m_output.size())
            return Corrupt;
        if (m_output.size() + length > m_limit)
            return TooLarge;
        size_t from = m_output.size() - distance;
        for (size_t i = 0; i < length; ++i)
            m_output.push_back(m_output[from + i]);
    }
}

Inflater::Result Inflater::Dynamic()
{
    uint32_t hlit, hdist, hclen;
    if (!Bits(5, hlit) || !Bits(5, hdist) || !Bits(4, hclen))
        return Corrupt;
    int literalCount = static_cast<int>(hlit) + 257;
    int distanceCount = static_cast<int>(hdist) + 1;
    if (literalCount > kMaxLiteralCodes || distanceCount > kMaxDistanceCodes)
        return Corrupt;
    uint8_t codeLengths[19] = {};
    for (uint32_t i = 0; i < hclen + 4; ++i) {
        uint32_t v;
        if (!Bits(3, v))
            return Corrupt;
        codeLengths[kCodeLengthOrder[i]] = static_cast<uint8_t>(v);
    }
    THuffmanTree lengthCode(codeLengths, 19, 7, kCodeLengthExtra);
    if (!lengthCode.Valid())
        return Corrupt;
    uint8_t lengths[kMaxLiteralCodes + kMaxDistanceCodes] = {};
    int total = literalCount + distanceCount;
    for (int i = 0; i < total;) {
        uint32_t symbol;
        int extra;
        if (!Decode(lengthCode, symbol, extra))
            return Corrupt;
        if (symbol < 16) {
            lengths[i++] = static_cast<uint8_t>(symbol);
            continue;
        }
        uint32_t more;
        if (!Bits(extra, more))
            return Corrupt;
        int repeat;
        uint8_t value = 0;
        if (symbol == 16) {
            if (i == 0)
                return Corrupt;
            value = lengths[i - 1];
            repeat = 3 + static_cast<int>(more);
        } else if (symbol == 17) {
            repeat = 3 + static_cast<int>(more);
        } else {
            repeat = 11 + static_cast<int>(more);
        }
        if (i + repeat > total)
            return Corrupt;
        while (repeat--)
            lengths[i++] = value;
    }
    THuffmanTree literals(lengths, literalCount, 15, kLengthExtraBits);
    THuffmanTree distances(lengths + literalCount, distanceCount, 15, kDistanceExtraBits);
    if (!literals.Valid())
        return Corrupt;
    return Codes(literals, distances);
}
