// cratoria-import: turns collection files as players have them into collections in the game's levels/ folder.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "level/level_collection.h"
#include "score/score_file.h"
#include "tools/import/import.h"

namespace {

const char USAGE[] = "usage: cratoria-import [--force] [--to FOLDER] FILE...\n"
                     "Converts each level collection FILE (.xsb, .txt, .sok or XML) into a collection\n"
                     "of the game's own format, FOLDER/NAME, NAME being the file's name without its\n"
                     "extension. Levels the game cannot play are left out and named on standard error.\n"
                     "  --force      replace a collection of the same name\n"
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

// Reads the text back with the game's own reader, as the game's next start
// will; any message at all means the conversion went wrong.
std::string read_back(const std::string& name, const TConversion& conversion) {
    const char* temp = std::getenv("TMPDIR");
    std::string folder = std::string(temp && *temp ? temp : "/tmp") + "/cratoria-import-XXXXXX";
    if (!mkdtemp(folder.data()))
        return "no temporary folder to check the converted collection in";
    const std::string file = folder + "/" + name;
    std::ofstream(file, std::ios::binary) << conversion.text;
    TLevelCollection collection;
    std::ostringstream messages;
    const int32_t result = collection.import(folder + "/", name, messages);
    std::remove(file.c_str());
    rmdir(folder.c_str());
    if (result == 0 && messages.str().empty() && static_cast<int64_t>(collection.levels.size()) == conversion.kept)
        return "";
    return "the game does not read the converted collection cleanly: " +
           messages.str().substr(0, messages.str().find('\n'));
}

int import_file(const std::string& path, const std::string& folder, bool force) {
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

    const std::string name = collection_name(path);
    const std::string problem = read_back(name, conversion);
    if (!problem.empty()) {
        report(problem);
        return IMPORT_INTERNAL;
    }
    const std::string target = folder + "/" + name;
    struct stat status;
    if (lstat(target.c_str(), &status) == 0) {
        if (!force) {
            report(target + " already exists; --force replaces it");
            return IMPORT_CANNOT_WRITE;
        }
        // A link to an installed collection is replaced, never what it leads to.
        if (S_ISLNK(status.st_mode))
            unlink(target.c_str());
    }
    if (!replace_score_file(target, conversion.text, false)) {
        report("cannot write " + target);
        return IMPORT_CANNOT_WRITE;
    }
    std::cout << "imported " << path << ": " << plural(conversion.kept, "level") << " kept, " << left_out
              << " left out; it is \"" << name << "\" in the level set chooser\n";
    return IMPORT_OK;
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder = "levels";
    bool force = false;
    bool options = true;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (options && arg == "--help") {
            std::cout << USAGE;
            return IMPORT_OK;
        } else if (options && arg == "--force") {
            force = true;
        } else if (options && arg == "--to" && i + 1 < argc) {
            folder = argv[++i];
        } else if (options && arg == "--") {
            options = false;
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty()) {
        std::cerr << USAGE;
        return IMPORT_USAGE;
    }
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    int status = IMPORT_OK;
    for (const std::string& file : files) {
        const int result = import_file(file, folder, force);
        status = status != IMPORT_OK ? status : result;
    }
    return status;
}
