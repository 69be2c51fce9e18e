#pragma once
// Reading and writing dialog templates in memory, in the plain (DLGTEMPLATE) and the extended
// (DLGTEMPLATEEX) form; an extended template has 0xFFFF as its second 16-bit word.
#include <windows.h>

#include <string>
#include <vector>

struct DialogTemplateInfo {
    bool extended = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    int itemCount = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    bool hasMenu = false;
    bool hasFont = false;        // DS_SETFONT
    int pointSize = 0;
    int weight = 0;
    bool italic = false;
    int charSet = 0;
    std::wstring face;
};

struct DialogTemplateItem {
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
};

DialogTemplateInfo ReadDialogTemplateInfo(const void* dialogTemplate, size_t size);
bool IsExtendedDialogTemplate(const void* dialogTemplate);
// The number of items: the 16-bit count at offset 16 of the extended header, 8 of the plain one.
WORD GetDlgTemplateItemCount(const void* dialogTemplate);
// The first item: past the header, the menu, class and title and, with DS_SETFONT, the font
// block, aligned up to 4 bytes.
const BYTE* GetFirstDlgTemplateItem(const void* dialogTemplate);
// Reads one item and returns where the next one starts.
const BYTE* ReadDialogTemplateItem(const BYTE* item, bool extended, DialogTemplateItem& out);

// Turns a dialog template into one for a child dialog (a wizard page): not a popup, no caption or
// frame, not visible until its owner shows it.
void MakeChildDialogTemplate(std::vector<BYTE>& dialogTemplate);

// Builds a template in memory (the plain form, or the extended one when asked).
class DialogTemplateBuilder {
public:
    DialogTemplateBuilder(DWORD style, DWORD exStyle, short x, short y, short cx, short cy, const char* title,
                          WORD pointSize = 8, const char* face = "MS Shell Dlg", bool extended = false,
                          WORD weight = FW_NORMAL);
    // `className` is one of "BUTTON", "EDIT", "STATIC", ... written as the ordinal the system knows.
    void AddItem(DWORD style, short x, short y, short cx, short cy, WORD id, const char* className, const char* text);
    std::vector<BYTE> Bytes() const;

private:
    void Word(WORD w);
    void DWord(DWORD d);
    void Text(const char* text);
    void Align();
    std::vector<BYTE> m_bytes;
    bool m_extended;
    WORD m_count = 0;
};
