/* PNG encoding without zlib: CRC-32, Adler-32 and a fixed-Huffman deflate stream. */
#include "png_encoder.h"

#include <cstring>

uint32_t Crc32(const uint8_t *data, size_t size, uint32_t crc)
{
    static uint32_t table[256];
    if (!table[1]) {
        for (uint32_t n = 0; n < 256; n++) {
            uint32_t c = n;
            for (int k = 0; k < 8; k++)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    }
    crc = ~crc;
    for (size_t i = 0; i < size; i++)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

uint32_t Adler32(const uint8_t *data, size_t size)
{
    uint32_t a = 1, b = 0;
    for (size_t i = 0; i < size; i++) {
        a = (a + data[i]) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

namespace {

class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t> &out) : out_(out) {}
    void Bits(uint32_t value, int count) /* least significant bit first */
    {
        for (int i = 0; i < count; i++) {
            acc_ |= ((value >> i) & 1) << used_;
            if (++used_ == 8)
                Flush();
        }
    }
    void Code(uint32_t code, int length) /* Huffman codes go most significant bit first */
    {
        for (int i = length - 1; i >= 0; i--)
            Bits(code >> i, 1);
    }
    void Finish()
    {
        if (used_)
            Flush();
    }

private:
    void Flush()
    {
        out_.push_back((uint8_t)acc_);
        acc_ = 0;
        used_ = 0;
    }
    std::vector<uint8_t> &out_;
    uint32_t acc_ = 0;
    int used_ = 0;
};

void Literal(BitWriter &w, int symbol)
{
    if (symbol < 144)
        w.Code(0x30 + symbol, 8);
    else if (symbol < 256)
        w.Code(0x190 + symbol - 144, 9);
    else if (symbol < 280)
        w.Code(symbol - 256, 7);
    else
        w.Code(0xC0 + symbol - 280, 8);
}

const int kLengthBase[29] = { 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31,
                              35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258 };
const int kLengthExtra[29] = { 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2,
                               3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0 };
const int kDistBase[30] = { 1, 2, 3, 4, 5, 7, 9, 13, 17, 25, 33, 49, 65, 97, 129, 193, 257, 385,
                            513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577 };
const int kDistExtra[30] = { 0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7,
                             8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13 };

void Match(BitWriter &w, int length, int distance)
{
    int l = 28;
    while (kLengthBase[l] > length)
        l--;
    Literal(w, 257 + l);
    w.Bits(length - kLengthBase[l], kLengthExtra[l]);
    int d = 29;
    while (kDistBase[d] > distance)
        d--;
    w.Code(d, 5);
    w.Bits(distance - kDistBase[d], kDistExtra[d]);
}

const int kWindow = 32768;
const int kMaxMatch = 258;
const int kHashBits = 15;
const int kChain = 48;

void Deflate(const std::vector<uint8_t> &data, std::vector<uint8_t> &out)
{
    BitWriter w(out);
    w.Bits(1, 1); /* final block */
    w.Bits(1, 2); /* fixed codes */
    const size_t n = data.size();
    std::vector<int> head(1 << kHashBits, -1), prev(n, -1);
    auto hash = [&data](size_t i) {
        return ((data[i] << 10) ^ (data[i + 1] << 5) ^ data[i + 2]) & ((1 << kHashBits) - 1);
    };
    auto insert = [&](size_t i) {
        if (i + 2 < n) {
            int h = hash(i);
            prev[i] = head[h];
            head[h] = (int)i;
        }
    };
    size_t i = 0;
    while (i < n) {
        int bestLen = 0, bestDist = 0;
        if (i + 2 < n) {
            int candidate = head[hash(i)];
            size_t limit = n - i < (size_t)kMaxMatch ? n - i : kMaxMatch;
            for (int chain = 0; candidate >= 0 && chain < kChain; chain++) {
                int dist = (int)i - candidate;
                if (dist > kWindow)
                    break;
                size_t len = 0;
                while (len < limit && data[candidate + len] == data[i + len])
                    len++;
                if ((int)len > bestLen) {
                    bestLen = (int)len;
                    bestDist = dist;
                    if (len == limit)
                        break;
                }
                candidate = prev[candidate];
            }
        }
        if (bestLen >= 3) {
            Match(w, bestLen, bestDist);
            for (int k = 0; k < bestLen; k++)
                insert(i + k);
            i += bestLen;
        } else {
            Literal(w, data[i]);
            insert(i);
            i++;
        }
    }
    Literal(w, 256);
    w.Finish();
}

void Put32(std::vector<uint8_t> &out, uint32_t v)
{
    out.push_back((uint8_t)(v >> 24));
    out.push_back((uint8_t)(v >> 16));
    out.push_back((uint8_t)(v >> 8));
    out.push_back((uint8_t)v);
}

void Chunk(std::vector<uint8_t> &out, const char *type, const std::vector<uint8_t> &body)
{
    Put32(out, (uint32_t)body.size());
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    Put32(out, Crc32(&out[start], out.size() - start));
}

} // namespace

std::vector<uint8_t> EncodePng(int width, int height, const uint8_t *rgb, size_t stride)
{
    std::vector<uint8_t> raw;
    raw.reserve((size_t)height * (1 + (size_t)width * 3));
    for (int y = 0; y < height; y++) {
        raw.push_back(0); /* no filter: rows that repeat are found by the LZ77 search */
        const uint8_t *row = rgb + (size_t)y * stride;
        raw.insert(raw.end(), row, row + (size_t)width * 3);
    }

    std::vector<uint8_t> png = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    std::vector<uint8_t> header;
    Put32(header, (uint32_t)width);
    Put32(header, (uint32_t)height);
    header.insert(header.end(), { 8, 2, 0, 0, 0 }); /* 8-bit RGB, deflate, no interlace */
    Chunk(png, "IHDR", header);

    std::vector<uint8_t> z = { 0x78, 0x01 };
    Deflate(raw, z);
    Put32(z, Adler32(raw.data(), raw.size()));
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", {});
    return png;
}
