#pragma once
// One section of an INI file read in one call: the profile API opens and checks the file again for
// every single lookup, which under Wine costs some five server round trips a text.
#include <cstddef>
#include <string>

// Hands each line of the section to `visit` in file order, as GetPrivateProfileSection gives them
// (comments and blank lines gone, spaces around '=' trimmed): its key (keyLength characters from
// key), and its value as the file holds it (quotes, if any, still on), or null for a line with no
// '='. Nothing for a missing file or section.
using ProfileLineVisitor = void (*)(const char* key, size_t keyLength, const char* value, void* context);
void ReadProfileSection(const std::string& file, const std::string& section, ProfileLineVisitor visit,
                        void* context);

// What GetPrivateProfileString gives for a value the file holds as `raw`, into a buffer of
// `bufferChars` characters: one pair of matching quotes taken off, the text cut to the buffer,
// and the last character gone too when the quoted rest would have filled the whole buffer (the
// closing quote, as a rule).
std::string ProfileValue(const std::string& raw, size_t bufferChars);
