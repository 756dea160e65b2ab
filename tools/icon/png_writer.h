// Writes 8-bit RGBA pictures as PNG files, compressed with zlib.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The pixels are rows top to bottom of red, green, blue, alpha bytes. The
// same pixels give the same bytes with the same zlib. Returns false if the
// file cannot be written.
bool write_png(const std::string& file_name, int width, int height, const std::vector<uint8_t>& rgba);
