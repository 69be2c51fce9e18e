#include "DialogTemplate.h"

#include <cstring>

namespace {

WORD ReadWord(const BYTE*& p)
{
    WORD w;
    std::memcpy(&w, p, sizeof w);
    p += sizeof w;
    return w;
}

DWORD ReadDWord(const BYTE*& p)
{
    DWORD d;
    std::memcpy(&d, p, sizeof d);
    p += sizeof d;
    return d;
}

// A name or an ordinal: 0x0000 none, 0xFFFF then a 16-bit ordinal, else a NUL-terminated string.
std::wstring ReadNameOrOrdinal(const BYTE*& p, bool* present = nullptr)
{
    const WORD first = ReadWord(p);
    if (present)
        *present = first != 0;
    if (first == 0)
        return std::wstring();
    if (first == 0xFFFF) {
        ReadWord(p);
        return std::wstring();
    }
    std::wstring text(1, static_cast<wchar_t>(first));
    for (WORD c = ReadWord(p); c != 0; c = ReadWord(p))
        text += static_cast<wchar_t>(c);
    return text;
}

const BYTE* AlignUp(const BYTE* p)
{
    return reinterpret_cast<const BYTE*>((reinterpret_cast<UINT_PTR>(p) + 3) & ~static_cast<UINT_PTR>(3));
}

// Reads the header up to the end of the font block.
const BYTE* ReadHeader(const void* dialogTemplate, DialogTemplateInfo& info)
{
    const BYTE* p = static_cast<const BYTE*>(dialogTemplate);
    info.extended = IsExtendedDialogTemplate(dialogTemplate);
    if (info.extended) {
        p += 4;                     // version and signature
        ReadDWord(p);               // help id
        info.exStyle = ReadDWord(p);
        info.style = ReadDWord(p);
    } else {
        info.style = ReadDWord(p);
        info.exStyle = ReadDWord(p);
    }
    info.itemCount = ReadWord(p);
    info.x = static_cast<short>(ReadWord(p));
    info.y = static_cast<short>(ReadWord(p));
    info.cx = static_cast<short>(ReadWord(p));
    info.cy = static_cast<short>(ReadWord(p));
    ReadNameOrOrdinal(p, &info.hasMenu);
    ReadNameOrOrdinal(p);           // class
    ReadNameOrOrdinal(p);           // title
    info.hasFont = (info.style & DS_SETFONT) != 0;
    if (info.hasFont) {
        info.pointSize = ReadWord(p);
        if (info.extended) {
            info.weight = ReadWord(p);
            info.italic = *p++ != 0;
            info.charSet = *p++;
        }
        for (WORD c = ReadWord(p); c != 0; c = ReadWord(p))
            info.face += static_cast<wchar_t>(c);
    }
    return p;
}

}  // namespace

bool IsExtendedDialogTemplate(const void* dialogTemplate)
{
    const WORD* words = static_cast<const WORD*>(dialogTemplate);
    return words[1] == 0xFFFF;
}

DialogTemplateInfo ReadDialogTemplateInfo(const void* dialogTemplate, size_t size)
{
    DialogTemplateInfo info;
    if (!dialogTemplate || size < 18)
        return info;
    ReadHeader(dialogTemplate, info);
    return info;
}

WORD GetDlgTemplateItemCount(const void* dialogTemplate)
{
    const BYTE* p = static_cast<const BYTE*>(dialogTemplate) + (IsExtendedDialogTemplate(dialogTemplate) ? 16 : 8);
    return ReadWord(p);
}

const BYTE* GetFirstDlgTemplateItem(const void* dialogTemplate)
{
    DialogTemplateInfo info;
    return AlignUp(ReadHeader(dialogTemplate, info));
}

const BYTE* ReadDialogTemplateItem(const BYTE* item, bool extended, DialogTemplateItem& out)
{
    const BYTE* p = item;
    if (extended) {
        out.helpId = ReadDWord(p);
        out.exStyle = ReadDWord(p);
        out.style = ReadDWord(p);
    } else {
        out.style = ReadDWord(p);
        out.exStyle = ReadDWord(p);
    }
    out.x = static_cast<short>(ReadWord(p));
    out.y = static_cast<short>(ReadWord(p));
    out.cx = static_cast<short>(ReadWord(p));
    out.cy = static_cast<short>(ReadWord(p));
    out.id = extended ? ReadDWord(p) : ReadWord(p);
    ReadNameOrOrdinal(p);           // class
    ReadNameOrOrdinal(p);           // title
    const WORD extra = ReadWord(p);
    p += extra;
    return AlignUp(p);
}

void MakeChildDialogTemplate(std::vector<BYTE>& dialogTemplate)
{
    if (dialogTemplate.size() < 18)
        return;
    const bool extended = IsExtendedDialogTemplate(dialogTemplate.data());
    BYTE* at = dialogTemplate.data() + (extended ? 12 : 0);
    DWORD style;
    std::memcpy(&style, at, sizeof style);
    style &= ~static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME | WS_VISIBLE |
                                 WS_DISABLED | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
    style |= WS_CHILD | DS_CONTROL;
    std::memcpy(at, &style, sizeof style);
}

DialogTemplateBuilder::DialogTemplateBuilder(DWORD style, DWORD exStyle, short x, short y, short cx, short cy,
                                             const char* title, WORD pointSize, const char* face, bool extended,
                                             WORD weight)
    : m_extended(extended)
{
    if (face)
        style |= DS_SETFONT;
    if (extended) {
        Word(1);
        Word(0xFFFF);
        DWord(0);
        DWord(exStyle);
        DWord(style);
    } else {
        DWord(style);
        DWord(exStyle);
    }
    Word(0);                        // item count, filled in by Bytes
    Word(static_cast<WORD>(x));
    Word(static_cast<WORD>(y));
    Word(static_cast<WORD>(cx));
    Word(static_cast<WORD>(cy));
    Word(0);                        // no menu
    Word(0);                        // the dialog class
    Text(title ? title : "");
    if (face) {
        Word(pointSize);
        if (extended) {
            Word(weight);
            m_bytes.push_back(0);   // not italic
            m_bytes.push_back(DEFAULT_CHARSET);
        }
        Text(face);
    }
}

void DialogTemplateBuilder::AddItem(DWORD style, short x, short y, short cx, short cy, WORD id, const char* className,
                                    const char* text)
{
    static const struct {
        const char* name;
        WORD atom;
    } kClasses[] = {{"BUTTON", 0x80}, {"EDIT", 0x81}, {"STATIC", 0x82}, {"LISTBOX", 0x83}, {"SCROLLBAR", 0x84},
                    {"COMBOBOX", 0x85}};
    Align();
    if (m_extended) {
        DWord(0);
        DWord(0);
        DWord(style);
    } else {
        DWord(style);
        DWord(0);
    }
    Word(static_cast<WORD>(x));
    Word(static_cast<WORD>(y));
    Word(static_cast<WORD>(cx));
    Word(static_cast<WORD>(cy));
    if (m_extended)
        DWord(id);
    else
        Word(id);
    WORD atom = 0;
    for (const auto& c : kClasses) {
        if (lstrcmpiA(c.name, className) == 0)
            atom = c.atom;
    }
    if (atom) {
        Word(0xFFFF);
        Word(atom);
    } else {
        Text(className);
    }
    Text(text ? text : "");
    Word(0);                        // no creation data
    ++m_count;
}

std::vector<BYTE> DialogTemplateBuilder::Bytes() const
{
    std::vector<BYTE> bytes = m_bytes;
    const size_t at = m_extended ? 16 : 8;
    std::memcpy(bytes.data() + at, &m_count, sizeof m_count);
    return bytes;
}

void DialogTemplateBuilder::Word(WORD w)
{
    m_bytes.push_back(static_cast<BYTE>(w & 0xFF));
    m_bytes.push_back(static_cast<BYTE>(w >> 8));
}

void DialogTemplateBuilder::DWord(DWORD d)
{
    Word(static_cast<WORD>(d & 0xFFFF));
    Word(static_cast<WORD>(d >> 16));
}

void DialogTemplateBuilder::Text(const char* text)
{
    const int units = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::vector<wchar_t> wide(static_cast<size_t>(units > 0 ? units : 1));
    if (units > 0)
        MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), units);
    for (wchar_t c : wide)
        Word(static_cast<WORD>(c));
}

void DialogTemplateBuilder::Align()
{
    while (m_bytes.size() % 4)
        m_bytes.push_back(0);
}
