/* PE reader: DataDirectory[0] (exports), [1] (imports), [2] (resources), [5] (relocations),
 * RVA to file offset through the section table. PE32 and PE32+ differ only in the optional header. */
#include "pe_reader.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

template <typename T> bool get(const std::vector<uint8_t> &b, size_t off, T *out)
{
    if (off > b.size() || b.size() - off < sizeof(T))
        return false;
    std::memcpy(out, b.data() + off, sizeof(T));
    return true;
}

bool fail(std::string *error, const char *why)
{
    if (error)
        *error = why;
    return false;
}

} // namespace

bool PeImage::offsetOf(uint32_t rva, size_t count, size_t *offset) const
{
    const PeSection *s = sectionOf(rva);
    if (!s)
        return false;
    uint64_t delta = rva - s->rva;
    if (delta + count > s->rawSize)
        return false;
    *offset = s->rawOffset + delta;
    return *offset + count <= bytes_.size();
}

const PeSection *PeImage::sectionOf(uint32_t rva) const
{
    for (const PeSection &s : sections) {
        uint32_t span = std::max(s.virtualSize, s.rawSize);
        if (rva >= s.rva && rva - s.rva < span)
            return &s;
    }
    return nullptr;
}

const PeExport *PeImage::exportNamed(const std::string &name) const
{
    for (const PeExport &e : exports)
        if (e.name == name)
            return &e;
    return nullptr;
}

bool PeImage::read(uint32_t rva, void *out, size_t count) const
{
    size_t off;
    if (!offsetOf(rva, count, &off))
        return false;
    std::memcpy(out, bytes_.data() + off, count);
    return true;
}

std::string PeImage::readString(uint32_t rva, size_t limit) const
{
    std::string s;
    char c;
    while (s.size() < limit && read(rva + (uint32_t)s.size(), &c, 1) && c)
        s += c;
    return s;
}

bool PeImage::imports_dll(const std::string &dll) const
{
    auto lower = [](std::string s) {
        for (char &c : s)
            c = (char)std::tolower((unsigned char)c);
        return s;
    };
    for (const PeImport &i : imports)
        if (lower(i.dll) == lower(dll))
            return true;
    return false;
}

bool PeImage::load(const std::string &path, std::string *error)
{
    std::ifstream f(path, std::ios::binary);
    if (!f)
        return fail(error, "cannot open file");
    bytes_.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    fileSize = bytes_.size();

    uint16_t mz;
    uint32_t peOff, sig;
    if (!get(bytes_, 0, &mz) || mz != 0x5A4D || !get(bytes_, 0x3C, &peOff) || !get(bytes_, peOff, &sig) ||
        sig != 0x4550)
        return fail(error, "not a PE file");
    uint16_t nsec, optSize;
    get(bytes_, peOff + 4, &machine);
    get(bytes_, peOff + 6, &nsec);
    get(bytes_, peOff + 20, &optSize);
    get(bytes_, peOff + 22, &characteristics);
    size_t opt = peOff + 24;
    uint16_t magic;
    if (!get(bytes_, opt, &magic) || (magic != 0x10B && magic != 0x20B))
        return fail(error, "unknown optional header");
    is64 = magic == 0x20B;
    get(bytes_, opt + 16, &entryRva);
    if (is64) {
        get(bytes_, opt + 24, &imageBase);
    } else {
        uint32_t base32;
        get(bytes_, opt + 28, &base32);
        imageBase = base32;
    }
    get(bytes_, opt + 40, &osMajor);
    get(bytes_, opt + 42, &osMinor);
    get(bytes_, opt + 48, &subsystemMajor);
    get(bytes_, opt + 50, &subsystemMinor);
    get(bytes_, opt + 68, &subsystem);
    size_t dirs = opt + (is64 ? 112 : 96);
    uint32_t dirRva[16] = {}, dirSize[16] = {};
    uint32_t ndirs = 0;
    get(bytes_, dirs - 4, &ndirs);
    for (uint32_t i = 0; i < std::min<uint32_t>(ndirs, 16); i++) {
        get(bytes_, dirs + 8 * i, &dirRva[i]);
        get(bytes_, dirs + 8 * i + 4, &dirSize[i]);
    }

    size_t sec = opt + optSize;
    for (uint16_t i = 0; i < nsec; i++, sec += 40) {
        PeSection s;
        char name[9] = {};
        if (sec + 40 > bytes_.size())
            return fail(error, "truncated section table");
        std::memcpy(name, bytes_.data() + sec, 8);
        s.name = name;
        get(bytes_, sec + 8, &s.virtualSize);
        get(bytes_, sec + 12, &s.rva);
        get(bytes_, sec + 16, &s.rawSize);
        get(bytes_, sec + 20, &s.rawOffset);
        get(bytes_, sec + 36, &s.characteristics);
        sections.push_back(s);
    }

    if (dirRva[0]) {
        uint32_t hdr[10];
        if (!read(dirRva[0], hdr, sizeof hdr))
            return fail(error, "bad export directory");
        uint32_t base = hdr[4], nfuncs = hdr[5], nnames = hdr[6];
        for (uint32_t i = 0; i < nfuncs; i++) {
            PeExport e;
            read(hdr[7] + 4 * i, &e.rva, 4);
            if (!e.rva)
                continue;
            e.ordinal = base + i;
            exports.push_back(e);
        }
        for (uint32_t i = 0; i < nnames; i++) {
            uint32_t nameRva;
            uint16_t index;
            read(hdr[8] + 4 * i, &nameRva, 4);
            read(hdr[9] + 2 * i, &index, 2);
            for (PeExport &e : exports)
                if (e.ordinal == base + index)
                    e.name = readString(nameRva);
        }
    }

    if (dirRva[1]) {
        for (uint32_t d = dirRva[1];; d += 20) {
            uint32_t desc[5];
            if (!read(d, desc, sizeof desc) || (!desc[0] && !desc[3]))
                break;
            PeImport imp;
            imp.dll = readString(desc[3]);
            uint32_t thunk = desc[0] ? desc[0] : desc[4];
            for (uint32_t slot = desc[4];; thunk += is64 ? 8 : 4, slot += is64 ? 8 : 4) {
                uint64_t v = 0;
                if (!read(thunk, &v, is64 ? 8 : 4) || !v)
                    break;
                bool byOrdinal = is64 ? (v >> 63) : (v >> 31);
                if (byOrdinal)
                    imp.names.push_back("#" + std::to_string(v & 0xFFFF));
                else
                    imp.names.push_back(readString((uint32_t)v + 2));
                imp.slots.push_back(slot);
            }
            imports.push_back(imp);
        }
    }

    hasResources = dirRva[2] != 0;

    if (dirRva[5]) {
        for (uint32_t blk = dirRva[5]; blk < dirRva[5] + dirSize[5];) {
            uint32_t page, size;
            if (!read(blk, &page, 4) || !read(blk + 4, &size, 4) || size < 8)
                break;
            for (uint32_t k = 8; k + 2 <= size; k += 2) {
                uint16_t entry;
                read(blk + k, &entry, 2);
                unsigned type = entry >> 12;
                if (type == 3 || type == 10)
                    relocations.push_back(page + (entry & 0xFFF));
            }
            blk += size;
        }
    }
    return true;
}
