// The scores file on disk: reading it whole within a size limit, and
// replacing it so that a crash, a full disk or a killed process never leaves
// it half written. Every save writes the new text to "<file>.tmp" beside the
// file it replaces (beside the link's target when the file is a symbolic
// link, which stays a link), so a leftover of that name is a save that died.
#pragma once

#include <cstddef>
#include <string>

enum TScoreRead {
    SCORE_READ_OK,
    SCORE_READ_MISSING,
    SCORE_READ_FAILED,
};

// The whole content of a regular file of at most max_size bytes. A missing
// file is told apart from one that exists and cannot be read.
TScoreRead read_score_file(const std::string& file_name, size_t max_size, std::string& text);

// Replaces the file with the text through the temporary file, keeping the
// old file as "<file>.bak" first when keep_old is set. On failure the old
// file is left as it was and no temporary file remains.
bool replace_score_file(const std::string& file_name, const std::string& text, bool keep_old);

// Removes the temporary file of a save that was killed.
void remove_score_leftover(const std::string& file_name);
