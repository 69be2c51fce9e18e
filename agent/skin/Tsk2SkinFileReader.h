#pragma once
// Reads a skin file: takes its "SKINDATA.SK2" entry out of the archive and keeps the named
// bitmaps, integers, flags and texts it holds.
#include "TBitmap.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// Raised when a skin file cannot be read at all; the theme manager catches it.
class TSkinReadError : public std::runtime_error {
public:
    TSkinReadError() : std::runtime_error("Failed to read skin file!") {}
};

class Tsk2SkinFileReader {
public:
    // Reads the file; Loaded() tells whether it gave a skin. Throws TSkinReadError when the file
    // is missing, unreadable or malformed (a wrong or missing password only leaves it not loaded).
    Tsk2SkinFileReader(const std::string& path, const std::string& password);
    Tsk2SkinFileReader(const Tsk2SkinFileReader&) = delete;
    Tsk2SkinFileReader& operator=(const Tsk2SkinFileReader&) = delete;

    bool Loaded() const { return m_loaded; }
    TBitmap* FindBitmap(const std::string& name) const;
    long FindInteger(const std::string& name) const;   // -1 when missing or not a number
    long FindFlag(const std::string& name) const;      // 0 when missing or not a number
    std::string FindText(const std::string& name) const;
    size_t EntryCount() const { return m_bitmaps.size() + m_integers.size() + m_flags.size() + m_texts.size(); }

private:
    void ReadSkinFile(const std::string& path, const std::string& password);
    void ReadSkinData(const std::string& data);

    std::vector<std::pair<std::string, std::unique_ptr<TBitmap>>> m_bitmaps;
    std::vector<std::string> m_integers;   // "NAME=value"
    std::vector<std::string> m_flags;
    std::vector<std::string> m_texts;
    bool m_loaded = false;
};
