// Reading whole files within a size limit, and the one test for a regular file.
#include "level/text_file.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool is_regular_file(const std::string& path) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0)
        return false;
    if (S_ISREG(status.st_mode))
        return true;
    errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
    return false;
}

std::optional<std::string> read_text_file(const std::string& path, size_t max_size) {
    if (!is_regular_file(path))
        return std::nullopt;
    // Non-blocking, in case a fifo has taken the file's place since the test.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::string text;
    char buffer[65536];
    ssize_t got;
    // The file may grow while it is read, so the limit is kept as it is read.
    while ((got = read(fd, buffer, sizeof buffer)) > 0 && text.size() + size_t(got) <= max_size)
        text.append(buffer, size_t(got));
    const int reason = got > 0 ? EFBIG : errno;
    close(fd);
    if (got != 0) {
        errno = reason;
        return std::nullopt;
    }
    return text;
}
