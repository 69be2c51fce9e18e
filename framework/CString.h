#pragma once
// An ANSI text, as the programs keep their strings. Format takes a literal format only: language
// texts and paths are filled with SafeFormat instead.
#include <windows.h>

#include <string>

class CString {
public:
    CString() = default;
    CString(const char* text) : m_text(text ? text : "") {}
    CString(const char* text, int length) : m_text(text ? std::string(text, static_cast<size_t>(length)) : std::string()) {}
    CString(const std::string& text) : m_text(text) {}
    CString(char c, int repeat = 1) : m_text(static_cast<size_t>(repeat > 0 ? repeat : 0), c) {}

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    const char* GetString() const { return m_text.c_str(); }
    operator const char*() const { return m_text.c_str(); }
    const std::string& str() const { return m_text; }
    char GetAt(int index) const { return m_text.at(static_cast<size_t>(index)); }
    char operator[](int index) const { return GetAt(index); }

    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));

    CString& Trim();
    CString& Trim(char c);
    CString& TrimLeft();
    CString& TrimLeft(char c);
    CString& TrimRight();
    CString& TrimRight(char c);
    CString& MakeLower();
    CString& MakeUpper();

    int Find(char c, int start = 0) const;
    int Find(const char* text, int start = 0) const;
    int ReverseFind(char c) const;
    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;
    int Replace(const char* from, const char* to);

    int Compare(const char* text) const;
    int CompareNoCase(const char* text) const;

    // A text of the module's string table; false when there is none.
    BOOL LoadString(UINT id);

    CString& operator=(const char* text)
    {
        m_text = text ? text : "";
        return *this;
    }
    CString& operator+=(const CString& o)
    {
        m_text += o.m_text;
        return *this;
    }
    CString& operator+=(const char* text)
    {
        if (text)
            m_text += text;
        return *this;
    }
    CString& operator+=(char c)
    {
        m_text += c;
        return *this;
    }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_text + b.m_text); }
    friend CString operator+(const CString& a, const char* b) { return CString(a.m_text + (b ? b : "")); }
    friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.m_text); }
    friend CString operator+(const CString& a, char b) { return CString(a.m_text + b); }
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const char* b) { return a.m_text == (b ? b : ""); }
    friend bool operator!=(const CString& a, const CString& b) { return a.m_text != b.m_text; }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_text < b.m_text; }

private:
    std::string m_text;
};
