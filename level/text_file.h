// Files as the game and its tools read them: whole, within a size limit, and only when they are regular files.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

// True for a regular file (a symbolic link followed). Anything else is no
// file of ours, and opening a fifo would wait for a writer; errno then says
// why: the reason the file could not be looked at, or EISDIR or EINVAL.
bool is_regular_file(const std::string& path);

// The whole content of a regular file of at most max_size bytes, or nothing,
// with errno telling why: ENOENT for a missing file, EFBIG for a larger one.
std::optional<std::string> read_text_file(const std::string& path, size_t max_size);
