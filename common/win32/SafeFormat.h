#pragma once
// Fills a language text with the values a program supplies without ever using the text as a printf
// format: a conversion is substituted only when it matches the next argument's kind, every other
// '%' is printed as it stands, so a stray '%' in a language file or a path cannot crash or print
// memory.
#include <cstdint>
#include <initializer_list>
#include <string>

class FormatArg {
public:
    enum class Kind { Char, Signed, Unsigned, Text };

    FormatArg(char c) : m_kind(Kind::Char), m_signed(static_cast<unsigned char>(c)) {}
    FormatArg(int v) : m_kind(Kind::Signed), m_signed(v) {}
    FormatArg(long v) : m_kind(Kind::Signed), m_signed(v) {}
    FormatArg(long long v) : m_kind(Kind::Signed), m_signed(v) {}
    FormatArg(unsigned v) : m_kind(Kind::Unsigned), m_unsigned(v) {}
    FormatArg(unsigned long v) : m_kind(Kind::Unsigned), m_unsigned(v) {}
    FormatArg(unsigned long long v) : m_kind(Kind::Unsigned), m_unsigned(v) {}
    FormatArg(const char* text) : m_kind(Kind::Text), m_text(text ? text : "") {}
    FormatArg(const std::string& text) : m_kind(Kind::Text), m_text(text) {}

    Kind GetKind() const { return m_kind; }
    long long Signed() const { return m_kind == Kind::Unsigned ? static_cast<long long>(m_unsigned) : m_signed; }
    unsigned long long Unsigned() const
    {
        return m_kind == Kind::Unsigned ? m_unsigned : static_cast<unsigned long long>(m_signed);
    }
    const std::string& Text() const { return m_text; }

private:
    Kind m_kind;
    long long m_signed = 0;
    unsigned long long m_unsigned = 0;
    std::string m_text;
};

// "%c" takes a char; "%d"/"%i" a number; "%u", "%x", "%X" a number; "%s" a text; flags "-+ 0#",
// a width and a precision of up to three digits each are honoured; "%%" gives one '%'.
std::string SafeFormat(const std::string& text, std::initializer_list<FormatArg> args);

// The text with every '%' doubled, so that SafeFormat prints it literally when it becomes part of a
// pattern.
std::string EscapePercent(const std::string& text);
