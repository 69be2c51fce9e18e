#pragma once
// Holds the skin-file reader of a theme and answers its values by key index.
#include "Tsk2SkinFileReader.h"

#include <memory>
#include <string>

class TskFileThemeMgr {
public:
    TskFileThemeMgr() = default;
    TskFileThemeMgr(const TskFileThemeMgr&) = delete;
    TskFileThemeMgr& operator=(const TskFileThemeMgr&) = delete;

    // False (keeping the current reader) when no file is there; else the new reader's result.
    bool LoadFile(const std::string& path, const std::string& password);
    bool HasReader() const { return m_reader != nullptr; }

    TBitmap* GetBitmap(int index) const;
    long GetColor(int index) const;
    long GetInteger(int index) const;
    long GetBool(int index) const;

private:
    std::unique_ptr<Tsk2SkinFileReader> m_reader;
};
