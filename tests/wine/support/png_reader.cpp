#include "png_reader.h"

namespace {

const unsigned short kLengthBase[29] = { 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31, 35, 43, 51, 59,
                                         67, 83, 99, 115, 131, 163, 195, 227, 258 };
const unsigned char kLengthExtra[29] = { 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0 };
const unsigned short kDistanceBase[30] = { 1, 2, 3, 4, 5, 7, 9, 13, 17, 25, 33, 49, 65, 97, 129, 193, 257, 385,
                                           513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577 };
const unsigned char kDistanceExtra[30] = { 0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13 };

class BitReader {
public:
    BitReader(const std::string &data, size_t at) : data_(data), at_(at) {}
    bool ok() const { return ok_; }
    unsigned Bits(int count) /* least significant bit first */
    {
        unsigned value = 0;
        for (int i = 0; i < count; i++) {
            if (at_ >= data_.size()) {
                ok_ = false;
                return 0;
            }
            value |= (((unsigned char)data_[at_] >> bit_) & 1u) << i;
            if (++bit_ == 8) {
                bit_ = 0;
                at_++;
            }
        }
        return value;
    }
    unsigned Code(int count) /* Huffman codes come most significant bit first */
    {
        unsigned code = 0;
        for (int i = 0; i < count; i++)
            code = code << 1 | Bits(1);
        return code;
    }
    void ToByte()
    {
        if (bit_) {
            bit_ = 0;
            at_++;
        }
    }

private:
    const std::string &data_;
    size_t at_;
    int bit_ = 0;
    bool ok_ = true;
};

int FixedLiteral(BitReader &in)
{
    unsigned code = in.Code(7);
    if (code <= 0x17)
        return 256 + code;
    code = code << 1 | in.Bits(1);
    if (code >= 0x30 && code <= 0xBF)
        return code - 0x30;
    if (code >= 0xC0 && code <= 0xC7)
        return 280 + code - 0xC0;
    code = code << 1 | in.Bits(1);
    return 144 + code - 0x190;
}

bool Inflate(const std::string &z, size_t at, std::string &out, std::string *error)
{
    BitReader in(z, at);
    for (bool last = false; !last;) {
        last = in.Bits(1);
        unsigned type = in.Bits(2);
        if (type == 0) {
            in.ToByte();
            unsigned length = in.Bits(16);
            in.Bits(16);
            for (unsigned i = 0; i < length && in.ok(); i++)
                out.push_back((char)in.Bits(8));
        } else if (type == 1) {
            for (;;) {
                int symbol = FixedLiteral(in);
                if (!in.ok() || symbol > 285) {
                    *error = "broken deflate stream";
                    return false;
                }
                if (symbol < 256) {
                    out.push_back((char)symbol);
                    continue;
                }
                if (symbol == 256)
                    break;
                unsigned length = kLengthBase[symbol - 257] + in.Bits(kLengthExtra[symbol - 257]);
                unsigned code = in.Code(5);
                if (code >= 30) {
                    *error = "bad distance code";
                    return false;
                }
                size_t distance = kDistanceBase[code] + in.Bits(kDistanceExtra[code]);
                if (distance > out.size()) {
                    *error = "distance before the start";
                    return false;
                }
                for (unsigned i = 0; i < length; i++)
                    out.push_back(out[out.size() - distance]);
            }
        } else {
            *error = "deflate block type " + std::to_string(type) + " is not written by the host";
            return false;
        }
        if (!in.ok()) {
            *error = "deflate stream cut short";
            return false;
        }
    }
    return true;
}

unsigned BigEndian(const std::string &b, size_t at)
{
    return (unsigned)(unsigned char)b[at] << 24 | (unsigned)(unsigned char)b[at + 1] << 16 |
           (unsigned)(unsigned char)b[at + 2] << 8 | (unsigned char)b[at + 3];
}

} // namespace

bool DecodePng(const std::string &bytes, PngImage *image, std::string *error)
{
    if (bytes.size() < 33 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || bytes.compare(12, 4, "IHDR") != 0) {
        *error = "not a PNG file";
        return false;
    }
    image->width = (int)BigEndian(bytes, 16);
    image->height = (int)BigEndian(bytes, 20);
    if (bytes.compare(24, 5, std::string("\x08\x02\x00\x00\x00", 5)) != 0 || image->width <= 0 ||
        image->height <= 0 || image->width > 4000 || image->height > 4000) {
        *error = "not an 8-bit RGB image of a screen's size";
        return false;
    }
    std::string z;
    for (size_t at = 8; at + 12 <= bytes.size();) {
        size_t length = BigEndian(bytes, at);
        if (at + 12 + length > bytes.size())
            break;
        if (bytes.compare(at + 4, 4, "IDAT") == 0)
            z += bytes.substr(at + 8, length);
        at += 12 + length;
    }
    std::string raw;
    if (z.size() < 2 || !Inflate(z, 2, raw, error))
        return false;
    const size_t stride = (size_t)image->width * 3 + 1;
    if (raw.size() < stride * image->height) {
        *error = "image data cut short";
        return false;
    }
    image->pixels.resize((size_t)image->width * image->height);
    for (int y = 0; y < image->height; y++) {
        const char *row = &raw[y * stride];
        if (row[0] != 0) {
            *error = "row filter " + std::to_string((int)row[0]) + " is not written by the host";
            return false;
        }
        for (int x = 0; x < image->width; x++)
            image->pixels[(size_t)y * image->width + x] =
                RGB((BYTE)row[1 + 3 * x], (BYTE)row[2 + 3 * x], (BYTE)row[3 + 3 * x]);
    }
    return true;
}
