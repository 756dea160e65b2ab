// cratoria-import: turns collection files as players have them into collections in the game's levels/ folder.
#include <getopt.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "level/level_collection.h"
#include "tools/import/import.h"

namespace {

const char USAGE[] = "usage: cratoria-import [--force] [--name NAME] [--to FOLDER] FILE...\n"
                     "Converts each level collection FILE (.xsb, .txt, .sok or XML) into a collection\n"
                     "of the game's own format, FOLDER/NAME, NAME being the file's name without its\n"
                     "extension. Levels the game cannot play are left out and named on standard error.\n"
                     "  --force      replace a collection of the same name\n"
                     "  --name NAME  call the collection NAME instead (one FILE only)\n"
                     "  --to FOLDER  write into FOLDER instead of levels\n";

std::string plural(int64_t count, const char* word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

// The name the chooser will show: the file's name without folder and extension.
std::string collection_name(const std::string& path) {
    std::string name = path.substr(path.find_last_of('/') + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

bool write_all(int fd, const std::string& text) {
    for (size_t done = 0; done < text.size();) {
        const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno != EINTR)
            return false;
        done += wrote < 0 ? 0 : wrote;
    }
    return true;
}

// A fresh file of a name no collection has takes the collection's place in
// one step, so a failure leaves the old one as it was. A link in its place,
// to an installed collection say, is replaced, never what it leads to.
bool write_collection(const std::string& folder, const std::string& target, const std::string& text) {
    std::string temp = folder + "/.cratoria-import-XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0)
        return false;
    const mode_t mask = umask(0);
    umask(mask);
    bool written = fchmod(fd, 0666 & ~mask) == 0 && write_all(fd, text) && fsync(fd) == 0;
    written = close(fd) == 0 && written && rename(temp.c_str(), target.c_str()) == 0;
    if (!written) {
        const int reason = errno;
        unlink(temp.c_str());
        errno = reason;
    }
    return written;
}

int import_file(const std::string& path, const std::string& folder, std::string name, bool force) {
    auto report = [&path](const std::string& message) {
        std::cerr << "cratoria-import: " << path << ": " << message << "\n";
    };
    const TConversion conversion = convert_collection(path);
    for (const std::string& reason : conversion.reasons)
        report(reason);
    const int64_t left_out = conversion.left_out;
    if (left_out > IMPORT_MESSAGE_LIMIT)
        report("and " + plural(left_out - IMPORT_MESSAGE_LIMIT, "more level") + " left out");
    if (conversion.status != IMPORT_OK) {
        report(conversion.error);
        return conversion.status;
    }

    name = name.empty() ? collection_name(path) : name;
    const std::string target = folder + "/" + name;
    if (std::string(CRATORIA_SHIPPED_SETS).find("/" + name + "/") != std::string::npos) {
        report("\"" + name + "\" is a set of the game's own, whose best results would mix with the new levels; " +
               "--name gives another name");
        return IMPORT_CANNOT_WRITE;
    }
    struct stat status;
    if (!force && lstat(target.c_str(), &status) == 0) {
        report(target + " already exists; --force replaces it");
        return IMPORT_CANNOT_WRITE;
    }
    if (!write_collection(folder, target, conversion.text)) {
        report("cannot write " + target + ": " + std::strerror(errno));
        return IMPORT_CANNOT_WRITE;
    }
    const int64_t replaced = conversion.replaced;
    std::cout << "imported " << path << ": " << plural(conversion.kept, "level") << " kept, " << left_out << " left out"
              << (replaced > 0 ? ", " + plural(replaced, "character") + " replaced" : "") << "; it is \"" << name
              << "\" in the level set chooser\n";
    return IMPORT_OK;
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder = "levels";
    std::string name;
    bool force = false;
    const option options[] = {
        {"help", no_argument, nullptr, 'h'},
        {"force", no_argument, nullptr, 'f'},
        {"name", required_argument, nullptr, 'n'},
        {"to", required_argument, nullptr, 't'},
        {nullptr, 0, nullptr, 0},
    };
    for (int choice; (choice = getopt_long(argc, argv, "", options, nullptr)) != -1;) {
        switch (choice) {
        case 'h':
            std::cout << USAGE;
            return IMPORT_OK;
        case 'f':
            force = true;
            break;
        case 'n':
            name = optarg;
            break;
        case 't':
            folder = optarg;
            break;
        default:
            // getopt_long has named the option it did not know or the value
            // it missed.
            std::cerr << USAGE;
            return IMPORT_USAGE;
        }
    }
    const std::vector<std::string> files(argv + optind, argv + argc);
    // A name with a "/" would put the collection somewhere else.
    if (files.empty() || (!name.empty() && files.size() > 1) || name.find('/') != std::string::npos || name == "." ||
        name == "..") {
        std::cerr << USAGE;
        return IMPORT_USAGE;
    }
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    int status = IMPORT_OK;
    for (const std::string& file : files) {
        const int result = import_file(file, folder, name, force);
        status = status != IMPORT_OK ? status : result;
    }
    return status;
}
