/* A small PNG encoder for the host's screenshots: 8-bit RGB, one IDAT, deflate with the
 * fixed Huffman codes and a short LZ77 search (screens are mostly flat colour). */
#ifndef PNG_ENCODER_H
#define PNG_ENCODER_H

#include <cstddef>
#include <cstdint>
#include <vector>

/* rgb: `height` rows of `width` RGB triples, each row starting `stride` bytes after the last. */
std::vector<uint8_t> EncodePng(int width, int height, const uint8_t *rgb, size_t stride);

uint32_t Crc32(const uint8_t *data, size_t size, uint32_t crc = 0);
uint32_t Adler32(const uint8_t *data, size_t size);

#endif
