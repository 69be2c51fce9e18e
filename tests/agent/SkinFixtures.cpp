#include "SkinFixtures.h"

#include <algorithm>

namespace fixtures {

namespace {

void Put16(std::string& s, uint16_t v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8);
}

void Put32(std::string& s, uint32_t v)
{
    Put16(s, static_cast<uint16_t>(v & 0xFFFF));
    Put16(s, static_cast<uint16_t>(v >> 16));
}

class BitWriter {
public:
    void Bits(uint32_t value, int count)
    {
        for (int i = 0; i < count; ++i) {
            m_acc |= ((value >> i) & 1u) << m_n;
            if (++m_n == 8)
                Flush();
        }
    }
    // A Huffman code goes out from its top bit down.
    void Code(uint32_t code, int length)
    {
        for (int i = length - 1; i >= 0; --i)
            Bits((code >> i) & 1u, 1);
    }
    void AlignToByte()
    {
        if (m_n)
            Flush();
    }
    void Byte(uint8_t b) { m_out += static_cast<char>(b); }
    std::string& Out() { return m_out; }

private:
    void Flush()
    {
        m_out += static_cast<char>(m_acc);
        m_acc = 0;
        m_n = 0;
    }
    std::string m_out;
    uint32_t m_acc = 0;
    int m_n = 0;
};

const int kLengthBase[29] = {3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const int kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const int kDistBase[30] = {1, 2, 3, 4, 5, 7, 9, 13, 17, 25, 33, 49, 65, 97, 129, 193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const int kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// Canonical codes for code lengths.
std::vector<uint32_t> CanonicalCodes(const std::vector<int>& lengths)
{
    int count[16] = {};
    for (int l : lengths)
        ++count[l];
    count[0] = 0;
    int next[16] = {};
    int code = 0;
    for (int b = 1; b < 16; ++b) {
        code = (code + count[b - 1]) << 1;
        next[b] = code;
    }
    std::vector<uint32_t> codes(lengths.size());
    for (size_t i = 0; i < lengths.size(); ++i)
        if (lengths[i])
            codes[i] = static_cast<uint32_t>(next[lengths[i]]++);
    return codes;
}

struct Token {
    int literal;          // -1 for a match
    int length;
    int distance;
};

// A simple greedy matcher over the block (matches do not reach before the block).
std::vector<Token> Tokens(const std::string& d, size_t from, size_t to)
{
    std::vector<Token> tokens;
    for (size_t i = from; i < to;) {
        int bestLength = 0, bestDistance = 0;
        size_t window = std::min<size_t>(i - from, 32768);
        for (size_t dist = 1; dist <= window; ++dist) {
            int len = 0;
            while (len < 258 && i + static_cast<size_t>(len) < to && d[i + static_cast<size_t>(len)] == d[i + static_cast<size_t>(len) - dist])
                ++len;
            if (len > bestLength) {
                bestLength = len;
                bestDistance = static_cast<int>(dist);
            }
            if (dist > 300)
                break;
        }
        if (bestLength >= 3) {
            tokens.push_back({-1, bestLength, bestDistance});
            i += static_cast<size_t>(bestLength);
        } else {
            tokens.push_back({static_cast<uint8_t>(d[i]), 0, 0});
            ++i;
        }
    }
    return tokens;
}

void WriteTokens(BitWriter& w, const std::vector<Token>& tokens, const std::vector<int>& litLen,
                 const std::vector<uint32_t>& litCode, const std::vector<int>& distLen, const std::vector<uint32_t>& distCode)
{
    for (const Token& t : tokens) {
        if (t.literal >= 0) {
            w.Code(litCode[static_cast<size_t>(t.literal)], litLen[static_cast<size_t>(t.literal)]);
            continue;
        }
        int li = 28;
        while (kLengthBase[li] > t.length)
            --li;
        w.Code(litCode[static_cast<size_t>(257 + li)], litLen[static_cast<size_t>(257 + li)]);
        w.Bits(static_cast<uint32_t>(t.length - kLengthBase[li]), kLengthExtra[li]);
        int di = 29;
        while (kDistBase[di] > t.distance)
            --di;
        w.Code(distCode[static_cast<size_t>(di)], distLen[static_cast<size_t>(di)]);
        w.Bits(static_cast<uint32_t>(t.distance - kDistBase[di]), kDistExtra[di]);
    }
    w.Code(litCode[256], litLen[256]);
}

}  // namespace

std::string Int32(int32_t value)
{
    std::string s;
    Put32(s, static_cast<uint32_t>(value));
    return s;
}

std::string SkinData(const std::vector<SkinRecord>& records)
{
    const uint32_t header = 24;
    const uint32_t recordSize = 77;
    uint32_t dataStart = header + recordSize * static_cast<uint32_t>(records.size() + 1);
    std::string out;
    Put32(out, 0x32534B53);     // any magic; the reader looks only at bytes 12-15 and 20-23
    Put32(out, 1);
    Put32(out, 0);
    Put32(out, header);
    Put32(out, static_cast<uint32_t>(records.size()));
    Put32(out, header);
    std::string data;
    for (size_t i = 0; i < records.size(); ++i) {
        std::string name = records[i].name;
        name.resize(64, '\0');
        out += name;
        out += static_cast<char>(records[i].kind);
        Put32(out, dataStart + static_cast<uint32_t>(data.size()));
        Put32(out, static_cast<uint32_t>(records[i].data.size()));
        Put32(out, header + recordSize * static_cast<uint32_t>(i + 1));
        data += records[i].data;
    }
    out += std::string(64, '\0');
    out += '\0';
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);     // next 0: the end of the chain
    return out + data;
}

std::string Deflate(const std::string& data, BlockKind requested, size_t blockSize)
{
    BitWriter w;
    size_t pos = 0;
    int blockIndex = 0;
    do {
        const BlockKind turns[3] = {Fixed, Stored, Dynamic};
        BlockKind kind = requested == Mixed ? turns[blockIndex++ % 3] : requested;
        size_t end = std::min(data.size(), pos + (kind == Stored ? std::min<size_t>(blockSize, 65535) : blockSize));
        bool last = end == data.size();
        w.Bits(last ? 1 : 0, 1);
        if (kind == Stored) {
            w.Bits(0, 2);
            w.AlignToByte();
            uint16_t len = static_cast<uint16_t>(end - pos);
            w.Byte(static_cast<uint8_t>(len & 0xFF));
            w.Byte(static_cast<uint8_t>(len >> 8));
            w.Byte(static_cast<uint8_t>(~len & 0xFF));
            w.Byte(static_cast<uint8_t>((~len >> 8) & 0xFF));
            for (size_t i = pos; i < end; ++i)
                w.Byte(static_cast<uint8_t>(data[i]));
        } else if (kind == Fixed) {
            w.Bits(1, 2);
            std::vector<int> litLen(288);
            for (int i = 0; i < 288; ++i)
                litLen[static_cast<size_t>(i)] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
            std::vector<int> distLen(30, 5);
            WriteTokens(w, Tokens(data, pos, end), litLen, CanonicalCodes(litLen), distLen, CanonicalCodes(distLen));
        } else {
            // A complete code of our own choosing: 226 literal/length symbols of 8 bits and 60 of
            // 9; distances 2 of 4 bits and 28 of 5; the code-length code gives 4, 5, 8, 9 two bits
            // each, and the lengths are sent with the repeat codes 16, 17 and 18 where they fit.
            w.Bits(2, 2);
            std::vector<int> litLen(286);
            for (int i = 0; i < 286; ++i)
                litLen[static_cast<size_t>(i)] = i < 226 ? 8 : 9;
            std::vector<int> distLen(30);
            for (int i = 0; i < 30; ++i)
                distLen[static_cast<size_t>(i)] = i < 2 ? 4 : 5;
            w.Bits(286 - 257, 5);
            w.Bits(30 - 1, 5);
            // Code-length code: 16 in 2 bits; 4, 5, 8, 9, 17, 18 in 3 bits (a complete code).
            int clLen[19] = {};
            clLen[16] = 2;
            clLen[4] = 3;
            clLen[5] = 3;
            clLen[8] = 3;
            clLen[9] = 3;
            clLen[17] = 3;
            clLen[18] = 3;
            const int order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
            w.Bits(12 - 4, 4);     // up to position 11 (symbol 4)
            for (int i = 0; i < 12; ++i)
                w.Bits(static_cast<uint32_t>(clLen[order[i]]), 3);
            std::vector<int> cl(clLen, clLen + 19);
            std::vector<uint32_t> clCode = CanonicalCodes(cl);
            std::vector<int> all(litLen);
            all.insert(all.end(), distLen.begin(), distLen.end());
            for (size_t i = 0; i < all.size();) {
                size_t run = 1;
                while (i + run < all.size() && all[i + run] == all[i] && run < 7)
                    ++run;
                w.Code(clCode[static_cast<size_t>(all[i])], clLen[all[i]]);
                if (run >= 4) {     // the value, then repeat it 3-6 times with code 16
                    w.Code(clCode[16], clLen[16]);
                    w.Bits(static_cast<uint32_t>(run - 1 - 3), 2);
                    i += run;
                } else {
                    ++i;
                }
            }
            WriteTokens(w, Tokens(data, pos, end), litLen, CanonicalCodes(litLen), distLen, CanonicalCodes(distLen));
        }
        pos = end;
    } while (pos < data.size());
    w.AlignToByte();
    return w.Out();
}

std::string DeepCodesThenStored(const std::string& stored)
{
    BitWriter w;
    w.Bits(0, 1);
    w.Bits(2, 2);
    w.Bits(257 - 257, 5);      // literal/length codes 0-256
    w.Bits(1 - 1, 5);          // one distance code
    // Code-length code: lengths 0-13 in 4 bits, 14, 15, 17, 18 in 5 bits (complete).
    std::vector<int> cl(19, 0);
    for (int i = 0; i <= 13; ++i)
        cl[static_cast<size_t>(i)] = 4;
    cl[14] = cl[15] = cl[17] = cl[18] = 5;
    const int order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    w.Bits(19 - 4, 4);
    for (int i = 0; i < 19; ++i)
        w.Bits(static_cast<uint32_t>(cl[static_cast<size_t>(order[i])]), 3);
    std::vector<uint32_t> clCode = CanonicalCodes(cl);
    std::vector<int> lengths(258, 0);      // 257 literal/length, then 1 distance
    lengths[256] = 1;
    for (int i = 0; i < 14; ++i)
        lengths[static_cast<size_t>(97 + i)] = 2 + i;   // 'a' 2 bits ... 'n' 15 bits
    lengths[111] = 15;                                  // 'o'
    lengths[257] = 1;
    for (size_t i = 0; i < lengths.size();) {
        size_t run = 0;
        while (i + run < lengths.size() && lengths[i + run] == 0 && run < 138)
            ++run;
        if (run >= 11) {
            w.Code(clCode[18], cl[18]);
            w.Bits(static_cast<uint32_t>(run - 11), 7);
            i += run;
        } else if (run >= 3) {
            w.Code(clCode[17], cl[17]);
            w.Bits(static_cast<uint32_t>(run - 3), 3);
            i += run;
        } else {
            w.Code(clCode[static_cast<size_t>(lengths[i])], cl[static_cast<size_t>(lengths[i])]);
            ++i;
        }
    }
    std::vector<int> litLen(lengths.begin(), lengths.begin() + 257);
    std::vector<uint32_t> litCode = CanonicalCodes(litLen);
    for (char c : std::string("nab"))
        w.Code(litCode[static_cast<size_t>(static_cast<unsigned char>(c))], litLen[static_cast<size_t>(static_cast<unsigned char>(c))]);
    w.Code(litCode[256], litLen[256]);
    w.Bits(1, 1);
    w.Bits(0, 2);
    w.AlignToByte();
    uint16_t len = static_cast<uint16_t>(stored.size());
    w.Byte(static_cast<uint8_t>(len & 0xFF));
    w.Byte(static_cast<uint8_t>(len >> 8));
    w.Byte(static_cast<uint8_t>(~len & 0xFF));
    w.Byte(static_cast<uint8_t>((~len >> 8) & 0xFF));
    for (char c : stored)
        w.Byte(static_cast<uint8_t>(c));
    return w.Out();
}

uint32_t Crc32(const std::string& data)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : data) {
        crc ^= c;
        for (int k = 0; k < 8; ++k)
            crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

namespace {

// The archive encryption, written here from its definition, independent of the reader's copy.
struct Cipher {
    uint32_t k0 = 305419896u, k1 = 591751049u, k2 = 878082192u;
    static uint32_t CrcByte(uint32_t crc, uint8_t b)
    {
        crc ^= b;
        for (int k = 0; k < 8; ++k)
            crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
        return crc;
    }
    void Update(uint8_t p)
    {
        k0 = CrcByte(k0, p);
        k1 = (k1 + (k0 & 0xFF)) * 134775813u + 1;
        k2 = CrcByte(k2, static_cast<uint8_t>(k1 >> 24));
    }
    uint8_t Encrypt(uint8_t p)
    {
        uint16_t t = static_cast<uint16_t>((k2 & 0xFFFF) | 2);
        uint8_t c = static_cast<uint8_t>(p ^ ((t * (t ^ 1)) >> 8));
        Update(p);
        return c;
    }
};

}  // namespace

ZipEntry DeflatedEntry(const std::string& name, const std::string& content, BlockKind kind)
{
    ZipEntry e;
    e.name = name;
    e.compressed = Deflate(content, kind);
    e.crc = Crc32(content);
    e.size = static_cast<uint32_t>(content.size());
    return e;
}

std::string SkinArchive(const std::vector<ZipEntry>& entries, const std::string& archiveComment)
{
    std::string out, directory;
    for (ZipEntry e : entries) {
        if (!e.password.empty()) {
            e.flags |= 1;
            Cipher cipher;
            for (char ch : e.password)
                cipher.Update(static_cast<uint8_t>(ch));
            std::string sealed;
            uint8_t check = (e.flags & 8) ? static_cast<uint8_t>(e.modTime >> 8) : static_cast<uint8_t>(e.crc >> 24);
            for (int i = 0; i < 11; ++i)
                sealed += static_cast<char>(cipher.Encrypt(static_cast<uint8_t>(0x5A + i * 7)));
            sealed += static_cast<char>(cipher.Encrypt(check));
            for (char ch : e.compressed)
                sealed += static_cast<char>(cipher.Encrypt(static_cast<uint8_t>(ch)));
            e.compressed = sealed;
        }
        uint32_t local = static_cast<uint32_t>(out.size());
        Put32(out, 0x04034B50);
        Put16(out, 20);
        Put16(out, e.flags);
        Put16(out, 8);
        Put16(out, e.modTime);
        Put16(out, 0x5A21);
        Put32(out, e.crc);
        Put32(out, static_cast<uint32_t>(e.compressed.size()));
        Put32(out, e.size);
        Put16(out, static_cast<uint16_t>(e.name.size()));
        Put16(out, static_cast<uint16_t>(e.extra.size()));
        out += e.name + e.extra + e.compressed;

        Put32(directory, 0x02014B50);
        Put16(directory, 20);
        Put16(directory, 20);
        Put16(directory, e.flags);
        Put16(directory, 8);
        Put16(directory, e.modTime);
        Put16(directory, 0x5A21);
        Put32(directory, e.crc);
        Put32(directory, static_cast<uint32_t>(e.compressed.size()));
        Put32(directory, e.size);
        Put16(directory, static_cast<uint16_t>(e.name.size()));
        Put16(directory, static_cast<uint16_t>(e.extra.size()));
        Put16(directory, static_cast<uint16_t>(e.comment.size()));
        Put16(directory, 0);
        Put16(directory, 0);
        Put32(directory, 0);
        Put32(directory, local);
        directory += e.name + e.extra + e.comment;
    }
    uint32_t directoryAt = static_cast<uint32_t>(out.size());
    out += directory;
    Put32(out, 0x06054B50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<uint16_t>(entries.size()));
    Put16(out, static_cast<uint16_t>(entries.size()));
    Put32(out, static_cast<uint32_t>(directory.size()));
    Put32(out, directoryAt);
    Put16(out, static_cast<uint16_t>(archiveComment.size()));
    out += archiveComment;
    out[0] = 'S';
    out[1] = 'K';
    return out;
}

std::string BitmapFile(int width, int height, const std::function<uint32_t(int x, int y)>& colorAt)
{
    int stride = ((width * 24 + 31) / 32) * 4;
    std::string pixels;
    for (int row = 0; row < height; ++row) {
        int y = height - 1 - row;      // a bitmap file's rows go bottom-up
        std::string line;
        for (int x = 0; x < width; ++x) {
            uint32_t rgb = colorAt(x, y);
            line += static_cast<char>(rgb & 0xFF);
            line += static_cast<char>((rgb >> 8) & 0xFF);
            line += static_cast<char>((rgb >> 16) & 0xFF);
        }
        line.resize(static_cast<size_t>(stride), '\0');
        pixels += line;
    }
    std::string out = "BM";
    Put32(out, static_cast<uint32_t>(54 + pixels.size()));
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, static_cast<uint32_t>(pixels.size()));
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    return out + pixels;
}

std::string BitmapFile(int width, int height, uint8_t red, uint8_t green, uint8_t blue)
{
    const uint32_t rgb = (uint32_t{red} << 16) | (uint32_t{green} << 8) | blue;
    return BitmapFile(width, height, [rgb](int, int) { return rgb; });
}

}  // namespace fixtures
