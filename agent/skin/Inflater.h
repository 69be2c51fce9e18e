#pragma once
// Inflates a raw deflate stream (stored, fixed-Huffman and dynamic-Huffman blocks) held in memory,
// refusing to produce more than a given number of bytes so a small archive cannot fill the disk.
#include <cstddef>
#include <cstdint>
#include <vector>

class Inflater {
public:
    enum Result { Done, Corrupt, TooLarge };

    Inflater(const uint8_t* data, size_t size, size_t outputLimit)
        : m_data(data), m_size(size), m_limit(outputLimit) {}

    // Runs to the final block; the output so far is kept whatever the result.
    Result Run();
    const std::vector<uint8_t>& Output() const { return m_output; }

private:
    bool Bits(int count, uint32_t& value);
    bool Decode(const class THuffmanTree& tree, uint32_t& symbol, int& extraBits);
    Result Stored();
    Result Codes(const class THuffmanTree& literals, const class THuffmanTree& distances);
    Result Dynamic();

    const uint8_t* m_data;
    size_t m_size;
    size_t m_limit;
    size_t m_pos = 0;          // next byte
    uint32_t m_bitBuffer = 0;
    int m_bitCount = 0;
    std::vector<uint8_t> m_output;
};
