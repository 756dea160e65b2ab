// scores.xml on disk: replaced so that it is never left half written.
#pragma once

#include <string>

// Replaces the file with the text through "<file>.tmp" beside it (beside the
// link's target when the file is a symbolic link, which stays a link), so a
// leftover of that name is a save that died. On failure the old file is left
// as it was, no temporary file remains, and errno tells why.
bool replace_score_file(const std::string& file_name, const std::string& text);

// Keeps the file as it is under the first free name of "<file>.bak",
// "<file>.bak.1" ... "<file>.bak.9", which a line on standard error names;
// false, with errno telling why, when no copy could be made.
bool keep_score_backup(const std::string& file_name);

// Removes the temporary file of a save that was killed.
void remove_score_leftover(const std::string& file_name);
