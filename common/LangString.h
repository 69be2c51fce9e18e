#pragma once
// The reader of the main language file (an INI file of user-visible texts) and the brand index
// derived from its [Product] "Company Name". Shared by Brixom and Lumetta.
#include <string>

// Longest text a lookup returns; longer values are cut.
constexpr size_t kLangStringMax = 259;
// What every caller passes as the default: a missing file or key shows it.
constexpr const char* kLangMissing = "???";

// The main language file beside a program: its folder (the path up to and including the last
// backslash; a path without one gets one) followed by "Lang\Sequora.ini". Brixom and Lumetta.
std::string MainLanguageFileFor(const std::string& programPath);

// The value of [section] key in `file`: the default when the file does not exist or lacks the key,
// the empty text for a key with an empty value, at most kLangStringMax characters.
std::string GetLangString(const std::string& file, const std::string& section, const std::string& key,
                          const std::string& defaultText = kLangMissing);

// 0..6 from a company name, compared lower-cased and exactly; anything unknown is 0.
int GetBrandIndex(const std::string& brand);
