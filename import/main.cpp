// cratoria-import: turns collection files as players have them into collections in the game's levels/ folder.
#include <dirent.h>
#include <getopt.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "import/import.h"
#include "level/level_collection.h"
#include "level/text_file.h"

namespace {

// Players reach this program only as `cratoria --import`, which adds --to
// for their own levels folder; so every message names that command, and the
// usage leaves --to out.
const char ME[] = "cratoria --import";
const char USAGE[] = "usage: cratoria --import [--force] [--name NAME] FILE...\n"
                     "Converts each level collection FILE (.xsb, .txt, .sok or XML) into a collection\n"
                     "of the game's own format, named after the file without its extension. Levels the\n"
                     "game cannot play are left out and named on standard error.\n"
                     "  --force      replace a collection of the same name\n"
                     "  --name NAME  call the collection NAME instead (one FILE only)\n";

// The game reads the first 80 collections, in byte order of their names,
// that read without errors, and leaves the rest out.
constexpr int64_t GAME_COLLECTION_LIMIT = 80;
// The title menu shows a collection's name at the middle of an 800 pixel
// window, in letters some 20 pixels wide: about the first 20 characters.
constexpr size_t MENU_NAME_CHARACTERS = 20;

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

// The regular files of a folder, links followed, in byte order of their
// names: the game's own list of its levels folder.
std::vector<std::string> folder_files(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* directory = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(directory))
            if (is_regular_file(folder + "/" + entry->d_name))
                names.push_back(entry->d_name);
        closedir(directory);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// What would keep the player from finding the new collection in the game:
// a place after the collections it reads, or a name the title menu shows
// just like another's.
void warn_if_hidden(const std::string& folder, const std::string& name, const std::function<void(std::string)>& warn) {
    int64_t readable = 0;
    std::string first_unread;
    std::string twin;
    for (const std::string& file : folder_files(folder)) {
        TLevelCollection collection;
        std::ostringstream ignored;
        if (collection.import(folder + "/", file, ignored) != 0)
            continue;
        if (++readable > GAME_COLLECTION_LIMIT && first_unread.empty())
            first_unread = file;
        if (file != name && std::min(file.size(), name.size()) > MENU_NAME_CHARACTERS &&
            file.compare(0, MENU_NAME_CHARACTERS, name, 0, MENU_NAME_CHARACTERS) == 0)
            twin = file;
    }
    const std::string limit =
        "the game reads at most " + std::to_string(GAME_COLLECTION_LIMIT) + " collections, the first by name, so ";
    if (!first_unread.empty() && name < first_unread)
        warn(limit + "\"" + first_unread + "\" and those after it will not be shown");
    else if (!first_unread.empty())
        warn(limit + "\"" + name + "\" will not be shown");
    if (!twin.empty())
        warn("\"" + name + "\" and \"" + twin + "\" look alike in the title menu, which shows about the first " +
             std::to_string(MENU_NAME_CHARACTERS) + " characters of a name; --name gives a shorter one");
}

int import_file(const std::string& path, const std::string& folder, std::string name, bool force) {
    auto report = [&path](const std::string& message) { std::cerr << ME << ": " << path << ": " << message << "\n"; };
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
              << (replaced > 0 ? ", " + plural(replaced, "character") + " replaced" : "") << "; \"" << name
              << "\" is in the level set chooser the next time the game starts\n";
    warn_if_hidden(folder, name, report);
    return IMPORT_OK;
}

}  // namespace

// Values beyond any character, so that getopt_long's optopt tells a long
// option used wrongly from an unknown short one.
enum : int { OPTION_HELP = 256, OPTION_FORCE, OPTION_NAME, OPTION_TO };

int main(int argc, char** argv) {
    std::string folder = "levels";
    std::string name;
    bool force = false;
    const option options[] = {
        {"help", no_argument, nullptr, OPTION_HELP},
        {"force", no_argument, nullptr, OPTION_FORCE},
        {"name", required_argument, nullptr, OPTION_NAME},
        {"to", required_argument, nullptr, OPTION_TO},
        {nullptr, 0, nullptr, 0},
    };
    // getopt_long's own messages would name this program's path.
    opterr = 0;
    auto usage_error = [](const std::string& problem) {
        std::cerr << ME << ": " << problem << "\n" << USAGE;
        return IMPORT_USAGE;
    };
    for (int choice; (choice = getopt_long(argc, argv, ":", options, nullptr)) != -1;) {
        switch (choice) {
        case OPTION_HELP:
            std::cout << USAGE;
            return IMPORT_OK;
        case OPTION_FORCE:
            force = true;
            break;
        case OPTION_NAME:
            name = optarg;
            break;
        case OPTION_TO:
            folder = optarg;
            break;
        case ':':
            return usage_error(std::string(argv[optind - 1]) + " needs a value");
        default:
            // A long option is read whole, a short one letter by letter.
            return usage_error(
                (optopt > 0 && optopt < OPTION_HELP ? std::string("-") + char(optopt) : std::string(argv[optind - 1])) +
                " is not an option");
        }
    }
    const std::vector<std::string> files(argv + optind, argv + argc);
    if (files.empty())
        return usage_error("no file to import");
    if (!name.empty() && files.size() > 1) {
        std::cerr << ME << ": --name names one collection, but " << files.size() << " files were given\n";
        return IMPORT_USAGE;
    }
    // A name with a "/" would put the collection somewhere else.
    if (name.find('/') != std::string::npos || name == "." || name == "..") {
        std::cerr << ME << ": \"" << name << "\" cannot name a collection: it must be a file name\n";
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
