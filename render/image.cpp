// Loading BMP pictures into the window's pixel format.
#include "render/image.h"

#include <cstdint>
#include <cstdio>

#include <sys/stat.h>

#include "level/text_file.h"

namespace {

// More than any picture the game ships, few enough that a 1-bit file cannot
// make the loader and the conversion allocate more than about 64 MB each.
constexpr int64_t BMP_MAX_PIXELS = 16777216;

uint32_t little_endian(const unsigned char* bytes, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | bytes[i];
    return value;
}

// SDL 1.2's loader believes the header: a bit count it does not know makes
// a surface the conversion cannot handle, more colours than the palette holds
// overrun it, and a few bytes claiming a huge size make it allocate that
// size. So we look at what it would believe before it sees the file; the
// loader itself refuses what is not a BMP at all or is cut short.
bool header_is_believable(const std::string& file_name) {
    struct stat status;
    if (!is_regular_file(file_name) || stat(file_name.c_str(), &status) != 0)
        return false;
    // The file header and the part of the info header we look at; what a
    // short file leaves out reads as zero and fails the checks below.
    unsigned char header[54] = {};
    FILE* file = std::fopen(file_name.c_str(), "rb");
    if (!file)
        return false;
    [[maybe_unused]] const size_t got = std::fread(header, 1, sizeof header, file);
    std::fclose(file);

    // The old 12-byte header has 16-bit sides and no colour count.
    const uint32_t info_size = little_endian(header + 14, 4);
    const bool old = info_size == 12;
    if (!old && info_size < 40)
        return false;
    int64_t width = int32_t(little_endian(header + 18, 4));
    int64_t height = int32_t(little_endian(header + 22, 4));
    uint32_t bits = little_endian(header + 28, 2);
    uint32_t colours = little_endian(header + 46, 4);
    if (old) {
        width = little_endian(header + 18, 2);
        height = little_endian(header + 20, 2);
        bits = little_endian(header + 24, 2);
        colours = 0;
    }
    // A negative height only means the rows are stored top row first.
    if (height < 0)
        height = -height;

    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    if (bits <= 8 && colours > (1u << bits))
        return false;
    if (width < 1 || height < 1 || width * height > BMP_MAX_PIXELS)
        return false;
    const int64_t row_size = (width * bits + 31) / 32 * 4;
    return little_endian(header + 10, 4) + row_size * height <= status.st_size;
}

}  // namespace

SDL_Surface* load_image(const std::string& file_name) {
    SDL_Surface* picture = nullptr;
    if (header_is_believable(file_name)) {
        SDL_RWops* stream = SDL_RWFromFile(file_name.c_str(), "rb");
        if (stream)
            picture = SDL_LoadBMP_RW(stream, 1);
    }
    if (!picture) {
        std::fprintf(stderr, "load_image: error opening %s\n", file_name.c_str());
        return nullptr;
    }
    SDL_Surface* converted = SDL_DisplayFormat(picture);
    SDL_FreeSurface(picture);
    return converted;
}
