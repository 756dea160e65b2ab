// scores.xml on disk: replacing it in one atomic step, and keeping a file that could not be read.
#include "score/score_file.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "level/text_file.h"

namespace {

const char TEMP_SUFFIX[] = ".tmp";
const char BACKUP_SUFFIX[] = ".bak";
// Backups beyond the first are numbered from 1; with every name taken, the
// last is reused, so the earliest files stay.
const int BACKUP_LIMIT = 10;

// The path a save really replaces. Renaming over a symbolic link would put a
// plain file in its place and strand whatever it points at, so the save goes
// to the link's target instead, which it creates if it is missing, as a
// plain open would.
bool resolve_target(const std::string& file_name, std::string& target) {
    std::filesystem::path path = file_name;
    std::error_code error;
    for (int links = 0; links < 40; ++links) {
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) {
            target = path.string();
            return true;
        }
        path = path.parent_path() / std::filesystem::read_symlink(path, error);
        if (error) {
            errno = error.value();
            return false;
        }
    }
    errno = ELOOP;
    return false;
}

// A fresh file of our own: an old one or a link planted under the name is
// never written through. The new file keeps the permissions of the old one,
// except that its owner may always read and write it: a file the next start
// could not read would be set aside as one more backup.
bool write_temp(const std::string& temp, const std::string& text, const struct stat* old) {
    ::unlink(temp.c_str());
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    // A short write is a full disk.
    errno = ENOSPC;
    bool written = (!old || ::fchmod(fd, (old->st_mode & 07777) | S_IRUSR | S_IWUSR) == 0) &&
                   ::write(fd, text.data(), text.size()) == ssize_t(text.size()) && ::fsync(fd) == 0;
    return ::close(fd) == 0 && written;
}

}  // namespace

bool replace_score_file(const std::string& file_name, const std::string& text) {
    std::string target;
    if (!resolve_target(file_name, target)) {
        return false;
    }
    struct stat status;
    bool exists = ::stat(target.c_str(), &status) == 0;
    // A directory in the file's place is left alone, and a file made
    // read-only is not replaced behind its owner's back.
    if (exists && (!is_regular_file(target) || ::access(target.c_str(), W_OK) != 0)) {
        return false;
    }
    std::string temp = target + TEMP_SUFFIX;
    if (!write_temp(temp, text, exists ? &status : nullptr) || ::rename(temp.c_str(), target.c_str()) != 0) {
        // The caller reports why the save failed, not what the cleaning up met.
        int reason = errno;
        ::unlink(temp.c_str());
        errno = reason;
        return false;
    }
    // The rename has happened by now, so a file system that cannot sync a
    // directory does not fail the save.
    std::string directory = std::filesystem::path(target).parent_path();
    int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    return true;
}

// A hard link keeps the file under both names without a byte copied or
// changed; where links are not allowed, the bytes are copied.
bool keep_score_backup(const std::string& file_name) {
    std::string target;
    if (!resolve_target(file_name, target)) {
        return false;
    }
    // A file that is gone holds nothing to keep.
    if (!is_regular_file(target)) {
        return errno == ENOENT;
    }
    std::string backup;
    struct stat status;
    for (int i = 0; i < BACKUP_LIMIT; ++i) {
        backup = target + BACKUP_SUFFIX + (i > 0 ? "." + std::to_string(i) : "");
        if (::lstat(backup.c_str(), &status) != 0 && errno == ENOENT) {
            break;
        }
    }
    if (::unlink(backup.c_str()) != 0 && errno != ENOENT) {
        return false;
    }
    std::error_code error;
    if (::link(target.c_str(), backup.c_str()) != 0 && !std::filesystem::copy_file(target, backup, error)) {
        errno = error.value();
        return false;
    }
    std::fprintf(stderr, "Note: the unreadable %s is kept as %s\n", file_name.c_str(),
                 std::filesystem::absolute(backup, error).c_str());
    return true;
}

void remove_score_leftover(const std::string& file_name) {
    std::string target;
    struct stat status;
    if (resolve_target(file_name, target) && ::lstat((target + TEMP_SUFFIX).c_str(), &status) == 0 &&
        !S_ISDIR(status.st_mode)) {
        ::unlink((target + TEMP_SUFFIX).c_str());
    }
}
