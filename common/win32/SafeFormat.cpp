#include "SafeFormat.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool Accepts(char conversion, FormatArg::Kind kind)
{
    switch (conversion) {
    case 'c':
        return kind == FormatArg::Kind::Char;
    case 'd':
    case 'i':
    case 'u':
    case 'x':
    case 'X':
        return kind != FormatArg::Kind::Text;
    case 's':
        return kind == FormatArg::Kind::Text;
    default:
        return false;
    }
}

// Reads up to three digits; false when there are more (a width that large is not ours).
bool SkipDigits(const std::string& text, size_t& at)
{
    size_t digits = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
        ++at;
        ++digits;
    }
    return digits <= 3;
}

std::string Render(const std::string& options, char conversion, const FormatArg& arg)
{
    // The options hold only flags, digits and '.', checked above, so it is a safe format here.
    char buffer[1024];
    std::string format = "%" + options;
    switch (conversion) {
    case 'c':
        format += 'c';
        std::snprintf(buffer, sizeof buffer, format.c_str(), static_cast<int>(arg.Signed()));
        return buffer;
    case 'd':
    case 'i':
        format += "lld";
        std::snprintf(buffer, sizeof buffer, format.c_str(), arg.Signed());
        return buffer;
    case 'u':
    case 'x':
    case 'X':
        format += "ll";
        format += conversion;
        std::snprintf(buffer, sizeof buffer, format.c_str(), arg.Unsigned());
        return buffer;
    default: {
        // Texts go in as they are; a precision cuts them, a width pads them.
        std::string value = arg.Text();
        const size_t dot = options.find('.');
        if (dot != std::string::npos) {
            const size_t cut = static_cast<size_t>(std::atoi(options.c_str() + dot + 1));
            if (value.size() > cut)
                value.resize(cut);
        }
        const bool left = options.find('-') != std::string::npos;
        size_t firstDigit = options.find_first_of("123456789");
        size_t width = 0;
        if (firstDigit != std::string::npos && (dot == std::string::npos || firstDigit < dot))
            width = static_cast<size_t>(std::atoi(options.c_str() + firstDigit));
        if (value.size() < width)
            value = left ? value + std::string(width - value.size(), ' ') : std::string(width - value.size(), ' ') + value;
        return value;
    }
    }
}

}  // namespace

std::string SafeFormat(const std::string& text, std::initializer_list<FormatArg> args)
{
    std::string out;
    const FormatArg* next = args.begin();
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '%') {
            out += '%';
            i += 2;
            continue;
        }
        size_t at = i + 1;
        while (at < text.size() && std::strchr("-+ 0#", text[at]) && text[at] != '\0')
            ++at;
        bool ok = SkipDigits(text, at);
        if (ok && at < text.size() && text[at] == '.') {
            ++at;
            ok = SkipDigits(text, at);
        }
        if (ok && at < text.size() && next != args.end() && Accepts(text[at], next->GetKind())) {
            out += Render(text.substr(i + 1, at - i - 1), text[at], *next);
            ++next;
            i = at + 1;
            continue;
        }
        // Not a conversion we can fill: the '%' is plain text.
        out += '%';
        ++i;
    }
    return out;
}

std::string EscapePercent(const std::string& text)
{
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '%')
            out += '%';
    }
    return out;
}
