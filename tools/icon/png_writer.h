// Writes 8-bit RGBA pictures as PNG files with no image or compression library, so the bytes depend on this code alone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The pixels are rows top to bottom of red, green, blue, alpha bytes. The
// image data is stored uncompressed: icons are small, and every reader must
// accept stored deflate blocks. Returns false if the file cannot be written.
bool write_png(const std::string& file_name, int width, int height, const std::vector<uint8_t>& rgba);
