// Loading BMP pictures into the window's pixel format.
#include "render/image.h"

#include <cstdint>
#include <cstdio>

#include <sys/stat.h>

namespace {

// Limits beyond any picture the game ships, low enough that a hostile header
// cannot make the loader allocate more than about 64 MB.
constexpr int64_t BMP_MAX_SIDE = 8192;
constexpr int64_t BMP_MAX_PIXELS = 16777216;
constexpr uint32_t BMP_FILE_HEADER_SIZE = 14;
constexpr uint32_t BMP_CORE_HEADER_SIZE = 12;
constexpr uint32_t BMP_INFO_HEADER_SIZE = 40;
constexpr uint32_t BMP_RGB = 0;
constexpr uint32_t BMP_BITFIELDS = 3;

uint32_t read_le16(const unsigned char* p) {
    return p[0] | (p[1] << 8);
}

uint32_t read_le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// SDL 1.2's loader trusts the header: a bogus bit count leaves a surface
// without a palette that crashes the conversion, a tiny file claiming a huge
// size makes it allocate that size, and a colour count beyond the palette
// makes it read colours for billions of entries. So we check what it would
// trust before it sees the file.
bool bmp_header_is_sane(const std::string& file_name) {
    // Opening a fifo would wait for a writer; a directory is no picture.
    struct stat status;
    if (stat(file_name.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    const int64_t file_size = status.st_size;

    unsigned char header[BMP_FILE_HEADER_SIZE + BMP_INFO_HEADER_SIZE] = {};
    FILE* file = std::fopen(file_name.c_str(), "rb");
    if (!file)
        return false;
    const size_t got = std::fread(header, 1, sizeof header, file);
    std::fclose(file);
    if (got < BMP_FILE_HEADER_SIZE + BMP_CORE_HEADER_SIZE || header[0] != 'B' || header[1] != 'M')
        return false;

    const int64_t pixel_offset = read_le32(header + 10);
    const unsigned char* info = header + BMP_FILE_HEADER_SIZE;
    const uint32_t info_size = read_le32(info);
    int64_t width, height;
    uint32_t bit_count, compression = BMP_RGB, colors_used = 0;
    if (info_size == BMP_CORE_HEADER_SIZE) {
        width = read_le16(info + 4);
        height = read_le16(info + 6);
        bit_count = read_le16(info + 10);
    } else {
        if (info_size < BMP_INFO_HEADER_SIZE || got < sizeof header)
            return false;
        width = static_cast<int32_t>(read_le32(info + 4));
        height = static_cast<int32_t>(read_le32(info + 8));
        bit_count = read_le16(info + 14);
        compression = read_le32(info + 16);
        colors_used = read_le32(info + 32);
    }
    if (height < 0)
        height = -height;

    if (bit_count != 1 && bit_count != 4 && bit_count != 8 && bit_count != 16 && bit_count != 24 && bit_count != 32)
        return false;
    if (compression != BMP_RGB && compression != BMP_BITFIELDS)
        return false;
    if (width < 1 || width > BMP_MAX_SIDE || height < 1 || height > BMP_MAX_SIDE || width * height > BMP_MAX_PIXELS)
        return false;
    if (bit_count <= 8 && colors_used > (1u << bit_count))
        return false;

    const int64_t row_size = (width * bit_count + 31) / 32 * 4;
    return pixel_offset + row_size * height <= file_size;
}

}  // namespace

SDL_Surface* load_image(const std::string& file_name) {
    SDL_Surface* picture = nullptr;
    if (bmp_header_is_sane(file_name)) {
        SDL_RWops* stream = SDL_RWFromFile(file_name.c_str(), "rb");
        if (stream)
            picture = SDL_LoadBMP_RW(stream, 1);
    }
    // A paletted picture without its palette would crash the conversion.
    if (picture && picture->format->BitsPerPixel <= 8 && !picture->format->palette) {
        SDL_FreeSurface(picture);
        picture = nullptr;
    }
    if (!picture) {
        std::fprintf(stderr, "load_image: error opening %s\n", file_name.c_str());
        return nullptr;
    }
    SDL_Surface* converted = SDL_DisplayFormat(picture);
    SDL_FreeSurface(picture);
    return converted;
}
