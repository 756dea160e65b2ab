// PNG chunks, zlib framing and stored deflate blocks.
#include "png_writer.h"

#include <algorithm>
#include <cstdio>

namespace {

uint32_t crc32(const uint8_t* data, size_t length, uint32_t crc = 0) {
    static uint32_t table[256];
    static bool filled = false;
    if (!filled) {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        filled = true;
    }
    crc = ~crc;
    for (size_t i = 0; i < length; ++i)
        crc = table[(crc ^ data[i]) & 0xff] ^ (crc >> 8);
    return ~crc;
}

uint32_t adler32(const std::vector<uint8_t>& data) {
    // 65521 is the largest prime below 2^16, as zlib prescribes.
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void put32(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(value >> 24);
    out.push_back(value >> 16);
    out.push_back(value >> 8);
    out.push_back(value);
}

// The CRC covers the chunk type and data but not the length.
void put_chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    put32(out, data.size());
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32(out, crc32(&out[start], out.size() - start));
}

std::vector<uint8_t> zlib_stored(const std::vector<uint8_t>& raw) {
    // CMF 0x78 is deflate with a 32K window; 0x01 makes the header a
    // multiple of 31 and claims the fastest level, which stored blocks are.
    std::vector<uint8_t> out = {0x78, 0x01};
    const size_t BLOCK_MAX = 65535;
    size_t offset = 0;
    do {
        const size_t length = std::min(BLOCK_MAX, raw.size() - offset);
        const bool last = offset + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(length & 0xff);
        out.push_back(length >> 8);
        out.push_back(~length & 0xff);
        out.push_back((~length >> 8) & 0xff);
        out.insert(out.end(), raw.begin() + offset, raw.begin() + offset + length);
        offset += length;
    } while (offset < raw.size());
    put32(out, adler32(raw));
    return out;
}

}  // namespace

bool write_png(const std::string& file_name, int width, int height, const std::vector<uint8_t>& rgba) {
    if (width <= 0 || height <= 0 || rgba.size() != size_t(width) * height * 4)
        return false;

    std::vector<uint8_t> header;
    put32(header, width);
    put32(header, height);
    // Bit depth 8, colour type 6 (RGBA), deflate, adaptive filters, no interlace.
    header.insert(header.end(), {8, 6, 0, 0, 0});

    // Each row starts with its filter type; 0 keeps the bytes as they are.
    std::vector<uint8_t> raw;
    raw.reserve(size_t(height) * (width * 4 + 1));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), rgba.begin() + size_t(y) * width * 4, rgba.begin() + size_t(y + 1) * width * 4);
    }

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    put_chunk(png, "IHDR", header);
    put_chunk(png, "IDAT", zlib_stored(raw));
    put_chunk(png, "IEND", {});

    FILE* file = std::fopen(file_name.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    return std::fclose(file) == 0 && written;
}
