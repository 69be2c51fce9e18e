#pragma once
// Language files made by a test. An "echo" language file gives every key the text
// "<Section>.<Key>" (followed by the printf conversions of the real text, so that a letter or a
// number a program fills in still shows), which lets a test assert exactly which message a
// program showed.
#include <string>
#include <vector>

namespace harness {

struct LanguageEntry {
    std::string section;
    std::string key;
    std::string value;
};

bool WriteLanguageFile(const std::string& path, const std::vector<LanguageEntry>& entries);

// Reads every section and key of `source` and writes the echo file `target`.
bool WriteEchoLanguageFile(const std::string& source, const std::string& target);

// The text an echo file holds for a key whose real text has no conversions.
std::string EchoText(const std::string& section, const std::string& key);

// The printf conversions of a text in order ("Drive %c: %d%%" -> {"%c", "%d"}); "%%" is none.
std::vector<std::string> ConversionsOf(const std::string& text);

}  // namespace harness
