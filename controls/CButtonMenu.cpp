#include "CButtonMenu.h"

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <unordered_set>

#include "CButtonMenuMemDC.h"
#include "CSelectGuard.h"
#include "CWinApp.h"

namespace {

constexpr WORD kTemplateVersionPlain = 0;
constexpr WORD kToolbarResourceVersion = 1;
const LPCSTR kToolbarResourceType = MAKEINTRESOURCEA(241);
constexpr UINT_PTR kNoCommand = static_cast<UINT_PTR>(-1);   // id of a shaded copy in the shared list
const char kThemeKey[] = "Software\\Microsoft\\Plus!\\Themes\\Current";
const char kClassicThemeSuffix[] = "windows classic.theme";

std::vector<HMENU>& OurMenus()
{
    static std::vector<HMENU> menus;
    return menus;
}

std::unordered_set<ULONG_PTR>& LiveRecords()
{
    static std::unordered_set<ULONG_PTR> records;
    return records;
}

std::vector<UINT_PTR>& SharedIds()
{
    static std::vector<UINT_PTR> ids;
    return ids;
}

int ComputeVersionCode()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!::GetVersionExA(&version)) {
        // No answer: the family from the old version word (high bit set on the 9x family).
        return (::GetVersion() & 0x80000000u) ? CButtonMenu::kWin95 : CButtonMenu::kOtherNt;
    }
#pragma GCC diagnostic pop
    return CButtonMenu::VersionCodeFor(version);
}

// Computed once, at start-up.
const int g_versionCode = ComputeVersionCode();
int g_xpStyle = CButtonMenu::kXpLook;           // on XP with visual styles
int g_otherStyle = CButtonMenu::kClassicLook;   // everywhere else
BOOL g_shadedImages = TRUE;
// Whether a disabled item under the cursor is highlighted, per look.
constexpr BOOL kSelectDisabledClassic = TRUE;
constexpr BOOL kSelectDisabledXp = FALSE;

void RemoveOurMenu(HMENU menu)
{
    auto& menus = OurMenus();
    menus.erase(std::remove(menus.begin(), menus.end(), menu), menus.end());
}

HFONT CreateMenuFont()
{
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return nullptr;
    return ::CreateFontIndirectA(&metrics.lfMenuFont);
}

int TextWidth(HDC dc, const std::wstring& text)
{
    SIZE size = {};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// The label and the shortcut of an item's text (the part after the tab).
void SplitAtTab(const std::wstring& text, std::wstring& label, std::wstring& shortcut)
{
    const size_t tab = text.find(L'\t');
    label = text.substr(0, tab);
    shortcut = tab == std::wstring::npos ? std::wstring() : text.substr(tab + 1);
}

std::wstring ReadTemplateText(const BYTE*& p, const BYTE* end)
{
    std::wstring text;
    while (p + sizeof(WCHAR) <= end) {
        WCHAR c;
        std::memcpy(&c, p, sizeof c);
        p += sizeof c;
        if (!c)
            break;
        text += c;
    }
    return text;
}

WORD ReadWord(const BYTE*& p)
{
    WORD w;
    std::memcpy(&w, p, sizeof w);
    p += sizeof w;
    return w;
}

void FillColor(HDC dc, const RECT& rect, COLORREF color)
{
    HBRUSH brush = ::CreateSolidBrush(color);
    ::FillRect(dc, &rect, brush);
    ::DeleteObject(brush);
}

void FrameColor(HDC dc, const RECT& rect, COLORREF color)
{
    HBRUSH brush = ::CreateSolidBrush(color);
    ::FrameRect(dc, &rect, brush);
    ::DeleteObject(brush);
}

// Image `index` of a strip of images `width` pixels wide; null past the strip's end.
HBITMAP CopyOfStripImage(HBITMAP strip, int index, int width, int height)
{
    BITMAP info = {};
    if (!::GetObjectA(strip, sizeof info, &info) || (index + 1) * width > info.bmWidth || width <= 0)
        return nullptr;
    HDC screen = ::GetDC(nullptr);
    HDC from = ::CreateCompatibleDC(screen);
    HDC to = ::CreateCompatibleDC(screen);
    HBITMAP copy = ::CreateCompatibleBitmap(screen, width, height);
    if (from && to && copy) {
        HGDIOBJ oldFrom = ::SelectObject(from, strip);
        HGDIOBJ oldTo = ::SelectObject(to, copy);
        ::BitBlt(to, 0, 0, width, height, from, index * width, 0, SRCCOPY);
        ::SelectObject(to, oldTo);
        ::SelectObject(from, oldFrom);
    }
    if (to)
        ::DeleteDC(to);
    if (from)
        ::DeleteDC(from);
    ::ReleaseDC(nullptr, screen);
    return copy;
}

// A copy of a bitmap's pixels changed by `change` wherever they differ from `key`.
template <typename Change> HBITMAP ShadedCopy(HBITMAP source, COLORREF key, Change change)
{
    BITMAP info = {};
    if (!::GetObjectA(source, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return nullptr;
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = -info.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    HDC screen = ::GetDC(nullptr);
    const int got = ::GetDIBits(screen, source, 0, info.bmHeight, pixels.data(), &header, DIB_RGB_COLORS);
    HBITMAP copy = nullptr;
    if (got) {
        const DWORD keyPixel = (GetRValue(key) << 16) | (GetGValue(key) << 8) | GetBValue(key);
        for (DWORD& p : pixels) {
            if ((p & 0xFFFFFF) == keyPixel)
                continue;
            const COLORREF c = change(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
            p = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
        copy = ::CreateCompatibleBitmap(screen, info.bmWidth, info.bmHeight);
        if (copy)
            ::SetDIBits(screen, copy, 0, info.bmHeight, pixels.data(), &header, DIB_RGB_COLORS);
    }
    ::ReleaseDC(nullptr, screen);
    return copy;
}

}  // namespace

CButtonMenu::CButtonMenu() = default;

CButtonMenu::~CButtonMenu()
{
    DestroyMenu();
}

int CButtonMenu::VersionCodeFor(const OSVERSIONINFOA& version)
{
    switch (version.dwPlatformId) {
    case VER_PLATFORM_WIN32s:
        return kWin32s;
    case VER_PLATFORM_WIN32_WINDOWS:
        if (version.dwMajorVersion == 4 && version.dwMinorVersion >= 90)
            return kWinMe;
        if (version.dwMajorVersion == 4 && version.dwMinorVersion >= 10)
            return kWin98;
        return kWin95;
    case VER_PLATFORM_WIN32_NT:
        if (version.dwMajorVersion == 4)
            return kWinNt4;
        if (version.dwMajorVersion == 5 && version.dwMinorVersion == 0)
            return kWin2000;
        if (version.dwMajorVersion == 5 && version.dwMinorVersion == 1)
            return kWinXp;
        return kOtherNt;
    default:
        return kOtherNt;
    }
}

int CButtonMenu::GetVersionCode()
{
    return g_versionCode;
}

bool CButtonMenu::IsClassicTheme(const char* themeValue)
{
    if (!themeValue)
        return false;
    const size_t length = std::strlen(themeValue);
    const size_t suffix = sizeof kClassicThemeSuffix - 1;
    if (length < suffix)
        return false;
    return ::lstrcmpiA(themeValue + length - suffix, kClassicThemeSuffix) == 0;
}

bool CButtonMenu::XpLookFor(int versionCode, const char* themeValue)
{
    return versionCode == kWinXp && !IsClassicTheme(themeValue);
}

bool CButtonMenu::IsXpLookInForce()
{
    // The theme is read once; an absent value is not the classic theme.
    static const bool xp = [] {
        char value[kThemeValueMax] = "";
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, kThemeKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            DWORD size = sizeof value - 1;
            DWORD type = 0;
            if (::RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
                type != REG_SZ)
                value[0] = '\0';
            value[sizeof value - 1] = '\0';
            ::RegCloseKey(key);
        }
        return XpLookFor(g_versionCode, value);
    }();
    return xp;
}

void CButtonMenu::SetDrawingStyles(int xpStyle, int otherStyle)
{
    g_xpStyle = xpStyle;
    g_otherStyle = otherStyle;
}

void CButtonMenu::SetShadedImages(BOOL shaded)
{
    g_shadedImages = shaded;
}

int CButtonMenu::CurrentStyle()
{
    return IsXpLookInForce() ? g_xpStyle : g_otherStyle;
}

COLORREF CButtonMenu::Lighten(COLORREF color, double factor)
{
    if (factor < 0.0 || factor > 1.0)
        return color;
    auto part = [factor](int c) { return static_cast<int>(c + factor * (255 - c)); };
    return RGB(part(GetRValue(color)), part(GetGValue(color)), part(GetBValue(color)));
}

CImageList& CButtonMenu::SharedImages()
{
    static CImageList images;
    return images;
}

const std::vector<UINT_PTR>& CButtonMenu::SharedImageIds()
{
    return SharedIds();
}

int CButtonMenu::SharedImageFor(UINT_PTR id)
{
    const auto& ids = SharedIds();
    auto it = std::find(ids.begin(), ids.end(), id);
    return it == ids.end() ? -1 : static_cast<int>(it - ids.begin());
}

BOOL CButtonMenu::IsMenu(HMENU menu)
{
    if (!menu)
        return FALSE;
    const auto& menus = OurMenus();
    return std::find(menus.begin(), menus.end(), menu) != menus.end();
}

BOOL CButtonMenu::IsRecord(ULONG_PTR itemData)
{
    return itemData && LiveRecords().count(itemData) != 0;
}

void CButtonMenu::SetCheckMarkImages(HIMAGELIST list, BOOL owns, int checkedIndex, int uncheckedIndex)
{
    if (m_ownsCheckMarks && m_checkMarks && m_checkMarks != list)
        ImageList_Destroy(m_checkMarks);
    m_checkMarks = list;
    m_ownsCheckMarks = owns;
    m_checkedIndex = checkedIndex;
    m_uncheckedIndex = uncheckedIndex;
}

BOOL CButtonMenu::LoadMenu(UINT id)
{
    return LoadMenu(MAKEINTRESOURCEA(id));
}

BOOL CButtonMenu::LoadMenu(const char* name)
{
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC found = ::FindResourceA(module, name, MAKEINTRESOURCEA(4) /* RT_MENU */);
    if (!found) {
        module = ::GetModuleHandleA(nullptr);
        found = ::FindResourceA(module, name, MAKEINTRESOURCEA(4));
    }
    if (!found)
        return FALSE;
    HGLOBAL loaded = ::LoadResource(module, found);
    const BYTE* data = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    const DWORD size = ::SizeofResource(module, found);
    if (!data || size < 2 * sizeof(WORD))
        return FALSE;
    DestroyMenu();
    if (!CreateMenu())
        return FALSE;
    OurMenus().push_back(m_hMenu);
    if (!LoadFromTemplate(data, size)) {
        DestroyMenu();
        return FALSE;
    }
    m_loaded = TRUE;
    return TRUE;
}

BOOL CButtonMenu::LoadFromTemplate(const BYTE* data, DWORD size)
{
    const BYTE* p = data;
    const BYTE* end = data + size;
    const WORD version = ReadWord(p);
    const WORD offset = ReadWord(p);
    if (version != kTemplateVersionPlain)
        return FALSE;
    p += offset;
    // Each level is the menu being filled and whether its parent's level ends with it.
    std::vector<std::pair<CButtonMenu*, bool>> levels = {{this, false}};
    while (!levels.empty() && p + sizeof(WORD) <= end) {
        const WORD flags = ReadWord(p);
        CButtonMenu* level = levels.back().first;
        if (flags & MF_POPUP) {
            const std::wstring text = ReadTemplateText(p, end);
            auto sub = std::make_unique<CButtonMenu>();
            if (!sub->CreatePopupMenu())
                return FALSE;
            // A pop-up shows the same check marks as its parent, which keeps owning them.
            sub->SetCheckMarkImages(m_checkMarks, FALSE, m_checkedIndex, m_uncheckedIndex);
            sub->m_bitmapBackground = m_bitmapBackground;
            sub->m_useBitmapBackground = m_useBitmapBackground;
            sub->m_disabledMethod = m_disabledMethod;
            CButtonMenu* raw = sub.get();
            m_subMenuObjects.push_back(std::move(sub));
            level->AppendODMenu(text.c_str(), flags & ~static_cast<WORD>(MF_END), reinterpret_cast<UINT_PTR>(raw->m_hMenu));
            if (level != this)
                m_subMenuHandles.push_back(raw->m_hMenu);   // the top menu knows every level's handle
            levels.emplace_back(raw, (flags & MF_END) != 0);
            continue;
        }
        if (p + sizeof(WORD) > end)
            return FALSE;
        const WORD id = ReadWord(p);
        const std::wstring text = ReadTemplateText(p, end);
        level->AppendODMenu(text.c_str(), flags & ~static_cast<WORD>(MF_END), id);
        if (flags & MF_END) {
            bool closeParent = true;
            while (closeParent && !levels.empty()) {
                closeParent = levels.back().second;
                levels.back().first->LineUpLabels();
                levels.pop_back();
            }
        }
    }
    return TRUE;
}

BOOL CButtonMenu::AppendODMenu(const wchar_t* text, UINT flags, UINT_PTR id, UINT_PTR bitmapId)
{
    if (!m_hMenu)
        return FALSE;
    if (id != 0 || (flags & MF_POPUP)) {
        flags |= MF_OWNERDRAW;
    } else {
        flags = (flags & MF_BYPOSITION) | MF_SEPARATOR | MF_OWNERDRAW;
    }
    if (flags & MF_POPUP) {
        HMENU popup = reinterpret_cast<HMENU>(id);
        if (!IsMenu(popup))
            OurMenus().push_back(popup);
        if (std::find(m_subMenuHandles.begin(), m_subMenuHandles.end(), popup) == m_subMenuHandles.end())
            m_subMenuHandles.push_back(popup);
    }
    auto record = std::make_unique<ItemRecord>();
    record->text = text ? text : L"";
    record->flags = flags;
    record->id = static_cast<UINT>(id);
    if (bitmapId)
        record->sharedImage = AddSharedImages(bitmapId, id);
    else if (!(flags & (MF_POPUP | MF_SEPARATOR)))
        record->sharedImage = SharedImageFor(id);
    ItemRecord* raw = record.get();
    LiveRecords().insert(reinterpret_cast<ULONG_PTR>(raw));
    m_records.push_back(std::move(record));
    return ::AppendMenuA(m_hMenu, flags, id, reinterpret_cast<const char*>(raw));
}

COLORREF CButtonMenu::ImageMaskColor() const
{
    return m_useBitmapBackground ? m_bitmapBackground : ::GetSysColor(COLOR_BTNFACE);
}

int CButtonMenu::AddOneImage(HBITMAP bitmap, COLORREF maskColor, UINT_PTR commandId, int count)
{
    CImageList& images = SharedImages();
    const int first = images.Add(bitmap, maskColor);
    if (first < 0)
        return -1;
    auto& ids = SharedIds();
    ids.resize(static_cast<size_t>(first), kNoCommand);
    for (int i = 0; i < count; ++i)
        ids.push_back(i == 0 ? commandId : kNoCommand);
    if (CurrentStyle() == kXpLook && g_shadedImages && count == 1) {
        // A lighter copy and a shadow follow each image.
        const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
        const COLORREF shadow =
            IsXpLookInForce() ? ::GetSysColor(COLOR_BTNSHADOW) : Lighten(::GetSysColor(COLOR_BTNSHADOW), kShadowFactor);
        HBITMAP lighter = ShadedCopy(bitmap, face, [](COLORREF c) { return Lighten(c, kLighterFactor); });
        HBITMAP dark = ShadedCopy(bitmap, face, [shadow](COLORREF) { return shadow; });
        for (HBITMAP copy : {lighter, dark}) {
            if (copy && images.Add(copy, maskColor) >= 0)
                ids.push_back(kNoCommand);
            if (copy)
                ::DeleteObject(copy);
        }
    }
    return first;
}

int CButtonMenu::AddSharedImages(UINT_PTR bitmapId, UINT_PTR commandId)
{
    CImageList& images = SharedImages();
    if (!images.m_hImageList && !images.Create(m_imageWidth, m_imageHeight, ILC_COLORDDB | ILC_MASK, 1, 1))
        return -1;
    if (m_iconItems) {
        const int index = images.Add(reinterpret_cast<HICON>(bitmapId));
        if (index >= 0) {
            SharedIds().resize(static_cast<size_t>(index), kNoCommand);
            SharedIds().push_back(commandId);
        }
        return index;
    }
    HINSTANCE module = AfxGetResourceHandle();
    const UINT resourceId = static_cast<UINT>(bitmapId);
    HBITMAP bitmap = static_cast<HBITMAP>(::LoadImageA(module, MAKEINTRESOURCEA(resourceId), IMAGE_BITMAP, 0, 0, 0));
    if (!bitmap)
        return -1;
    int result = -1;
    HRSRC toolbar = ::FindResourceA(module, MAKEINTRESOURCEA(resourceId), kToolbarResourceType);
    HGLOBAL loaded = toolbar ? ::LoadResource(module, toolbar) : nullptr;
    const BYTE* data = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    const DWORD size = toolbar ? ::SizeofResource(module, toolbar) : 0;
    if (data && size >= 4 * sizeof(WORD)) {
        // A toolbar: version, image width and height, count, then the command of each button
        // (0 for a gap). Its bitmap is a strip of the button images in order.
        const BYTE* p = data;
        const WORD version = ReadWord(p);
        ReadWord(p);
        ReadWord(p);
        const WORD count = ReadWord(p);
        if (version == kToolbarResourceVersion && size >= (4u + count) * sizeof(WORD)) {
            std::vector<UINT_PTR> commands;
            for (WORD i = 0; i < count; ++i) {
                const WORD command = ReadWord(p);
                if (command)
                    commands.push_back(command);
            }
            // One image at a time, so each gets its shaded copies as a single bitmap does.
            for (size_t i = 0; i < commands.size(); ++i) {
                HBITMAP single = CopyOfStripImage(bitmap, static_cast<int>(i), m_imageWidth, m_imageHeight);
                if (!single)
                    break;
                const int added = AddOneImage(single, ImageMaskColor(), commands[i], 1);
                ::DeleteObject(single);
                if (commands[i] == commandId && result < 0)
                    result = added;
            }
            if (result < 0)
                result = SharedImageFor(commandId);
        }
    } else {
        result = AddOneImage(bitmap, ImageMaskColor(), commandId, 1);
    }
    ::DeleteObject(bitmap);
    return result;
}

void CButtonMenu::LineUpLabels()
{
    HDC dc = ::GetDC(nullptr);
    HFONT font = CreateMenuFont();
    {
        CSelectGuard select(dc, font);
        int widest = 0;
        for (const auto& record : m_records) {
            std::wstring label, shortcut;
            SplitAtTab(record->text, label, shortcut);
            widest = std::max(widest, TextWidth(dc, label + L" "));
        }
        for (auto& record : m_records) {
            if (record->text.find(L'\t') == std::wstring::npos)
                continue;
            std::wstring label, shortcut;
            SplitAtTab(record->text, label, shortcut);
            while (TextWidth(dc, label) < widest)
                label += L' ';
            record->text = label + L"\t" + shortcut;
        }
    }
    if (font)
        ::DeleteObject(font);
    ::ReleaseDC(nullptr, dc);
}

void CButtonMenu::ReleaseRecords()
{
    for (const auto& record : m_records)
        LiveRecords().erase(reinterpret_cast<ULONG_PTR>(record.get()));
    m_records.clear();
}

BOOL CButtonMenu::DestroyMenu()
{
    if (m_hMenu)
        RemoveOurMenu(m_hMenu);
    for (HMENU sub : m_subMenuHandles)
        RemoveOurMenu(sub);
    m_subMenuHandles.clear();
    // The pop-ups go with this menu's handle: their objects only give up theirs.
    for (auto& sub : m_subMenuObjects) {
        sub->ReleaseRecords();
        sub->m_subMenuHandles.clear();
        sub->Detach();
    }
    m_subMenuObjects.clear();
    ReleaseRecords();
    if (m_ownsCheckMarks && m_checkMarks)
        ImageList_Destroy(m_checkMarks);
    m_checkMarks = nullptr;
    m_ownsCheckMarks = FALSE;
    m_loaded = FALSE;
    return CMenu::DestroyMenu();
}

const CButtonMenu::ItemRecord* CButtonMenu::RecordOf(HMENU menu, UINT item, UINT flags)
{
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA;
    if (!::GetMenuItemInfoA(menu, item, (flags & MF_BYPOSITION) != 0, &info) || !IsRecord(info.dwItemData))
        return nullptr;
    return reinterpret_cast<const ItemRecord*>(info.dwItemData);
}

HMENU CButtonMenu::FindCommand(UINT id, int& position) const
{
    std::vector<HMENU> pending = {m_hMenu};
    while (!pending.empty()) {
        HMENU menu = pending.back();
        pending.pop_back();
        const int count = ::GetMenuItemCount(menu);
        for (int i = 0; i < count; ++i) {
            if (HMENU sub = ::GetSubMenu(menu, i)) {
                pending.push_back(sub);
            } else if (::GetMenuItemID(menu, i) == id) {
                position = i;
                return menu;
            }
        }
    }
    position = -1;
    return nullptr;
}

BOOL CButtonMenu::GetMenuText(UINT item, std::wstring& text, UINT flags) const
{
    HMENU menu = m_hMenu;
    UINT at = item;
    if (!(flags & MF_BYPOSITION)) {
        int position = -1;
        menu = FindCommand(item, position);
        if (!menu)
            return FALSE;
        at = static_cast<UINT>(position);
    }
    const ItemRecord* record = RecordOf(menu, at, MF_BYPOSITION);
    if (!record)
        return FALSE;
    text = record->text;
    return TRUE;
}

LRESULT CButtonMenu::MenuChar(UINT key, UINT flags, HMENU menu) const
{
    if (!(flags & MF_POPUP) || !IsMenu(menu))
        return 0;
    const wchar_t wanted = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(key)));
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        const ItemRecord* record = RecordOf(menu, static_cast<UINT>(i), MF_BYPOSITION);
        if (!record)
            continue;
        std::wstring lower = record->text;
        for (wchar_t& c : lower)
            c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
        const wchar_t mnemonic[3] = {L'&', wanted, 0};
        if (lower.find(mnemonic) != std::wstring::npos)
            return MAKELRESULT(i, MNC_EXECUTE);
    }
    return 0;
}

void CButtonMenu::MeasureItem(LPMEASUREITEMSTRUCT measure)
{
    if (!measure || measure->CtlType != ODT_MENU || !IsRecord(measure->itemData))
        return;
    const ItemRecord& record = *reinterpret_cast<const ItemRecord*>(measure->itemData);
    const int style = CurrentStyle();
    const int gap = GapFor(style, g_shadedImages);
    const int menuHeight = ::GetSystemMetrics(SM_CYMENU);
    if (record.flags & MF_SEPARATOR) {
        measure->itemWidth = 0;
        measure->itemHeight = static_cast<UINT>(std::max(menuHeight / 2, (m_imageHeight + gap) / 2));
        return;
    }
    HDC dc = ::GetDC(nullptr);
    HFONT font = CreateMenuFont();
    int width = 0;
    {
        CSelectGuard select(dc, font);
        width = TextWidth(dc, record.text);
    }
    if (font)
        ::DeleteObject(font);
    ::ReleaseDC(nullptr, dc);
    width += style == kXpLook ? m_imageWidth + gap + kXpTextExtra : 2 * m_imageWidth + 1;
    measure->itemWidth = static_cast<UINT>(width);
    measure->itemHeight = static_cast<UINT>(std::max(menuHeight, m_imageHeight + gap));
}

void CButtonMenu::DrawItem(LPDRAWITEMSTRUCT draw)
{
    if (!draw || draw->CtlType != ODT_MENU || !IsRecord(draw->itemData))
        return;
    const ItemRecord& record = *reinterpret_cast<const ItemRecord*>(draw->itemData);
    const bool palette = (::GetDeviceCaps(draw->hDC, RASTERCAPS) & RC_PALETTE) != 0;
    if (palette || CurrentStyle() != kXpLook)
        DrawClassic(*draw, record);
    else
        DrawXp(*draw, record);
}

void CButtonMenu::DrawCheckMark(HDC dc, const RECT& cell, const ItemRecord& record, COLORREF color) const
{
    const int cx = (cell.left + cell.right) / 2;
    const int cy = (cell.top + cell.bottom) / 2;
    if (m_checkMarks && m_checkedIndex >= 0) {
        int w = 0, h = 0;
        ImageList_GetIconSize(m_checkMarks, &w, &h);
        ImageList_Draw(m_checkMarks, m_checkedIndex, dc, cx - w / 2, cy - h / 2, ILD_TRANSPARENT);
        return;
    }
    HBRUSH brush = ::CreateSolidBrush(color);
    HPEN pen = ::CreatePen(PS_SOLID, 1, color);
    {
        CSelectGuard selectBrush(dc, brush);
        CSelectGuard selectPen(dc, pen);
        if (record.flags & MFT_RADIOCHECK) {
            // A round dot.
            const int r = kRadioDot / 2;
            ::Ellipse(dc, cx - r, cy - r, cx - r + kRadioDot, cy - r + kRadioDot);
        } else {
            // A tick, three pixels thick: down two steps, then up to the right.
            const int left = cx - kTickSize / 2;
            for (int i = 0; i < kTickSize; ++i) {
                const int y = i < 3 ? cy - 1 + i : cy + 1 - (i - 2);
                ::MoveToEx(dc, left + i, y, nullptr);
                ::LineTo(dc, left + i, y + 3);
            }
        }
    }
    ::DeleteObject(pen);
    ::DeleteObject(brush);
}

void CButtonMenu::DrawDisabledImage(HDC dc, HIMAGELIST list, int index, int x, int y) const
{
    if (m_disabledMethod == 0) {
        // The image as an icon, drawn monochrome twice by the system.
        HICON icon = ImageList_GetIcon(list, index, ILD_NORMAL);
        if (!icon)
            return;
        HBRUSH light = ::GetSysColorBrush(COLOR_BTNHIGHLIGHT);
        HBRUSH dark = ::GetSysColorBrush(COLOR_BTNSHADOW);
        ::DrawStateA(dc, light, nullptr, reinterpret_cast<LPARAM>(icon), 0, x + 1, y + 1, 0, 0, DST_ICON | DSS_MONO);
        ::DrawStateA(dc, dark, nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y, 0, 0, DST_ICON | DSS_MONO);
        ::DestroyIcon(icon);
        return;
    }
    // The image's mask as a monochrome bitmap, painted through in the two colours.
    HDC memory = ::CreateCompatibleDC(dc);
    HBITMAP mono = ::CreateBitmap(m_imageWidth, m_imageHeight, 1, 1, nullptr);
    if (memory && mono) {
        CSelectGuard select(memory, mono);
        ::PatBlt(memory, 0, 0, m_imageWidth, m_imageHeight, WHITENESS);
        ImageList_Draw(list, index, memory, 0, 0, ILD_MASK);
        const COLORREF oldText = ::SetTextColor(dc, RGB(0, 0, 0));
        const COLORREF oldBack = ::SetBkColor(dc, RGB(255, 255, 255));
        // Paint the brush where the mask is black (the image), keep the target where it is white.
        constexpr DWORD kPaintThroughMask = 0x00B8074A;
        for (int pass = 0; pass < 2; ++pass) {
            HBRUSH brush = ::GetSysColorBrush(pass == 0 ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
            CSelectGuard selectBrush(dc, brush);
            ::BitBlt(dc, x + (pass == 0 ? 1 : 0), y + (pass == 0 ? 1 : 0), m_imageWidth, m_imageHeight, memory, 0, 0,
                     kPaintThroughMask);
        }
        ::SetTextColor(dc, oldText);
        ::SetBkColor(dc, oldBack);
    }
    if (mono)
        ::DeleteObject(mono);
    if (memory)
        ::DeleteDC(memory);
}

void CButtonMenu::DrawImage(HDC dc, const ItemRecord& record, int x, int y, UINT state, bool xp) const
{
    HIMAGELIST list = SharedImages().m_hImageList;
    int index = record.sharedImage;
    if (record.ownList && record.ownImage >= 0) {
        list = record.ownList->m_hImageList;
        index = record.ownImage;
    }
    if (!list || index < 0)
        return;
    if (state & ODS_GRAYED) {
        DrawDisabledImage(dc, list, index, x, y);
        return;
    }
    const bool shaded = xp && g_shadedImages && list == SharedImages().m_hImageList &&
                        index + 2 < ImageList_GetImageCount(list) &&
                        SharedIds()[static_cast<size_t>(index) + 1] == kNoCommand;
    if (shaded && (state & ODS_SELECTED)) {
        // Raised over its shadow.
        ImageList_Draw(list, index + 2, dc, x + 1, y + 1, ILD_TRANSPARENT);
        ImageList_Draw(list, index, dc, x - 1, y - 1, ILD_TRANSPARENT);
    } else if (shaded) {
        ImageList_Draw(list, index + 1, dc, x, y, ILD_TRANSPARENT);
    } else {
        ImageList_Draw(list, index, dc, x, y, ILD_TRANSPARENT);
    }
}

void CButtonMenu::DrawLabel(HDC dc, const ItemRecord& record, RECT rect, UINT state, COLORREF color,
                            bool embossed) const
{
    std::wstring label, shortcut;
    SplitAtTab(record.text, label, shortcut);
    const UINT flags = DT_SINGLELINE | DT_VCENTER | ((state & ODS_NOACCEL) ? DT_HIDEPREFIX : 0);
    ::SetBkMode(dc, TRANSPARENT);
    auto draw = [&](RECT r, COLORREF c) {
        ::SetTextColor(dc, c);
        ::DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &r, flags | DT_LEFT);
        if (!shortcut.empty()) {
            r.right -= m_imageWidth;
            ::DrawTextW(dc, shortcut.c_str(), static_cast<int>(shortcut.size()), &r, flags | DT_RIGHT);
        }
    };
    if (embossed) {
        RECT shifted = rect;
        ::OffsetRect(&shifted, 1, 1);
        draw(shifted, ::GetSysColor(COLOR_BTNHIGHLIGHT));
        draw(rect, ::GetSysColor(COLOR_BTNSHADOW));
    } else {
        draw(rect, color);
    }
}

void CButtonMenu::DrawClassic(const DRAWITEMSTRUCT& item, const ItemRecord& record)
{
    HDC dc = item.hDC;
    const RECT& rect = item.rcItem;
    if (record.flags & MF_SEPARATOR) {
        FillColor(dc, rect, ::GetSysColor(COLOR_MENU));
        RECT line = rect;
        line.top += (rect.bottom - rect.top) / 2;
        ::DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    const bool disabled = (item.itemState & ODS_GRAYED) != 0;
    const bool selected = (item.itemState & ODS_SELECTED) && (!disabled || kSelectDisabledClassic);
    const bool checked = (item.itemState & ODS_CHECKED) != 0;
    const int column = 2 * m_imageWidth - m_imageWidth / 2;     // the image's cell with its frame
    RECT cell = {rect.left, rect.top, rect.left + column, rect.bottom};
    RECT text = {cell.right + 2, rect.top, rect.right, rect.bottom};

    FillColor(dc, rect, ::GetSysColor(COLOR_MENU));
    const bool hasImage = record.sharedImage >= 0 || (record.ownList && record.ownImage >= 0);
    RECT band = selected && hasImage ? text : rect;
    if (selected)
        FillColor(dc, band, ::GetSysColor(COLOR_HIGHLIGHT));
    const int ix = cell.left + (column - m_imageWidth) / 2;
    const int iy = cell.top + ((cell.bottom - cell.top) - m_imageHeight) / 2;
    if (hasImage) {
        if (checked)
            ::DrawEdge(dc, &cell, BDR_SUNKENOUTER, BF_RECT);
        else if (selected && !disabled)
            ::DrawEdge(dc, &cell, BDR_RAISEDINNER, BF_RECT);
        DrawImage(dc, record, ix, iy, item.itemState, false);
    } else if (checked) {
        DrawCheckMark(dc, cell, record, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    }
    const COLORREF color = ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
    DrawLabel(dc, record, text, item.itemState, color, disabled && !selected);
    if (disabled && selected) {
        // Greyed on the highlight: one plain pass in the grey text colour.
        DrawLabel(dc, record, text, item.itemState, ::GetSysColor(COLOR_GRAYTEXT), false);
    }
}

void CButtonMenu::DrawXp(const DRAWITEMSTRUCT& item, const ItemRecord& record)
{
    const RECT& rect = item.rcItem;
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF back = Lighten(face, 0.8);
    const int gap = GapFor(kXpLook, g_shadedImages);
    const int column = m_imageWidth + gap;
    const bool disabled = (item.itemState & ODS_GRAYED) != 0;
    // A disabled item is painted off-screen: it may be redrawn as the cursor passes over it.
    std::unique_ptr<CButtonMenuMemDC> memory;
    HDC dc = item.hDC;
    if (disabled) {
        memory = std::make_unique<CButtonMenuMemDC>(item.hDC, rect);
        dc = memory->GetSafeHdc();
    }
    RECT bandRect = {rect.left, rect.top, rect.left + column, rect.bottom};
    RECT rest = {bandRect.right, rect.top, rect.right, rect.bottom};
    FillColor(dc, bandRect, face);
    FillColor(dc, rest, back);
    if (record.flags & MF_SEPARATOR) {
        RECT line = {rest.left + gap, rect.top + (rect.bottom - rect.top) / 2, rect.right, 0};
        line.bottom = line.top + 1;
        FillColor(dc, line, ::GetSysColor(COLOR_BTNSHADOW));
        return;
    }
    const bool selected = (item.itemState & ODS_SELECTED) && (!disabled || kSelectDisabledXp);
    const bool checked = (item.itemState & ODS_CHECKED) != 0;
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    if (selected) {
        FillColor(dc, rect, Lighten(highlight, 0.7));
        FrameColor(dc, rect, highlight);
    }
    RECT cell = {rect.left + 1, rect.top + 1, rect.left + column - 1, rect.bottom - 1};
    const bool hasImage = record.sharedImage >= 0 || (record.ownList && record.ownImage >= 0);
    if (checked) {
        FillColor(dc, cell, Lighten(highlight, selected ? 0.5 : 0.8));
        FrameColor(dc, cell, highlight);
    }
    if (hasImage) {
        DrawImage(dc, record, cell.left + ((cell.right - cell.left) - m_imageWidth) / 2,
                  cell.top + ((cell.bottom - cell.top) - m_imageHeight) / 2, item.itemState, true);
    } else if (checked) {
        DrawCheckMark(dc, cell, record, ::GetSysColor(COLOR_MENUTEXT));
    }
    RECT text = {rest.left + gap, rect.top, rect.right - gap, rect.bottom};
    DrawLabel(dc, record, text, item.itemState, ::GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_MENUTEXT), false);
}
