// PNG chunks around zlib's compression.
#include "png_writer.h"

#include <cstdio>

#include <zlib.h>

namespace {

void put32(std::vector<uint8_t>& out, uint32_t value) {
    out.insert(out.end(), {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)});
}

// The CRC covers the chunk type and data but not the length.
void put_chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    put32(out, data.size());
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32(out, crc32(0, &out[start], out.size() - start));
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
    uLongf packed_size = compressBound(raw.size());
    std::vector<uint8_t> packed(packed_size);
    if (compress2(packed.data(), &packed_size, raw.data(), raw.size(), Z_BEST_COMPRESSION) != Z_OK)
        return false;
    packed.resize(packed_size);

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    put_chunk(png, "IHDR", header);
    put_chunk(png, "IDAT", packed);
    put_chunk(png, "IEND", {});

    FILE* file = std::fopen(file_name.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    return std::fclose(file) == 0 && written;
}
