#include "CString.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

#include "CWinApp.h"

namespace {

bool IsBlank(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

void CString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed < 0) {
        m_text.clear();
    } else {
        std::vector<char> buffer(static_cast<size_t>(needed) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        m_text.assign(buffer.data(), static_cast<size_t>(needed));
    }
    va_end(args);
}

CString& CString::TrimLeft()
{
    size_t i = 0;
    while (i < m_text.size() && IsBlank(m_text[i]))
        ++i;
    m_text.erase(0, i);
    return *this;
}

CString& CString::TrimLeft(char c)
{
    size_t i = 0;
    while (i < m_text.size() && m_text[i] == c)
        ++i;
    m_text.erase(0, i);
    return *this;
}

CString& CString::TrimRight()
{
    while (!m_text.empty() && IsBlank(m_text.back()))
        m_text.pop_back();
    return *this;
}

CString& CString::TrimRight(char c)
{
    while (!m_text.empty() && m_text.back() == c)
        m_text.pop_back();
    return *this;
}

CString& CString::Trim()
{
    return TrimRight().TrimLeft();
}

CString& CString::Trim(char c)
{
    return TrimRight(c).TrimLeft(c);
}

CString& CString::MakeLower()
{
    for (char& c : m_text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return *this;
}

CString& CString::MakeUpper()
{
    for (char& c : m_text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return *this;
}

int CString::Find(char c, int start) const
{
    if (start < 0 || start > GetLength())
        return -1;
    const size_t at = m_text.find(c, static_cast<size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const char* text, int start) const
{
    if (!text || start < 0 || start > GetLength())
        return -1;
    const size_t at = m_text.find(text, static_cast<size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(char c) const
{
    const size_t at = m_text.rfind(c);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

CString CString::Left(int count) const
{
    if (count <= 0)
        return CString();
    return CString(m_text.substr(0, static_cast<size_t>(count)));
}

CString CString::Mid(int first) const
{
    if (first < 0)
        first = 0;
    if (first >= GetLength())
        return CString();
    return CString(m_text.substr(static_cast<size_t>(first)));
}

CString CString::Mid(int first, int count) const
{
    if (first < 0)
        first = 0;
    if (first >= GetLength() || count <= 0)
        return CString();
    return CString(m_text.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::Right(int count) const
{
    if (count <= 0)
        return CString();
    if (count >= GetLength())
        return *this;
    return CString(m_text.substr(m_text.size() - static_cast<size_t>(count)));
}

int CString::Replace(const char* from, const char* to)
{
    if (!from || !*from)
        return 0;
    const std::string f = from, t = to ? to : "";
    int count = 0;
    size_t at = 0;
    while ((at = m_text.find(f, at)) != std::string::npos) {
        m_text.replace(at, f.size(), t);
        at += t.size();
        ++count;
    }
    return count;
}

int CString::Compare(const char* text) const
{
    return std::strcmp(m_text.c_str(), text ? text : "");
}

int CString::CompareNoCase(const char* text) const
{
    return lstrcmpiA(m_text.c_str(), text ? text : "");
}

BOOL CString::LoadString(UINT id)
{
    char buffer[1024] = {};
    const int length = ::LoadStringA(AfxGetResourceHandle(), id, buffer, sizeof buffer);
    if (length <= 0)
        return FALSE;
    m_text.assign(buffer, static_cast<size_t>(length));
    return TRUE;
}
