#include "WindowDriver.h"

#include <algorithm>
#include <cstdint>

#include "GdiObject.h"
#include "HandleOwner.h"
#include "MemoryDC.h"
#include "Paths.h"
#include "SelectGuard.h"
#include "WindowDC.h"

namespace harness {

namespace {

constexpr int kMessageBoxTextId = 0xFFFF;

struct WindowSearch {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == search->pid)
        search->found.push_back(hwnd);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM param)
{
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs, DWORD stepMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(stepMs);
    }
}

std::vector<HWND> TopLevelWindows(DWORD pid)
{
    WindowSearch search{pid, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> ChildWindows(HWND parent)
{
    std::vector<HWND> found;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND WaitForWindow(DWORD pid, const char* className, const char* text, DWORD timeoutMs)
{
    HWND match = nullptr;
    WaitUntil([&] {
        for (HWND hwnd : TopLevelWindows(pid)) {
            if (!IsWindowVisible(hwnd))
                continue;
            if (className && ClassNameOf(hwnd) != className)
                continue;
            if (text && WindowText(hwnd) != text)
                continue;
            match = hwnd;
            return true;
        }
        return false;
    }, timeoutMs);
    return match;
}

HWND FindMessageBox(DWORD pid)
{
    for (HWND hwnd : TopLevelWindows(pid))
        if (IsWindowVisible(hwnd) && ClassNameOf(hwnd) == "#32770" && GetDlgItem(hwnd, kMessageBoxTextId))
            return hwnd;
    return nullptr;
}

HWND WaitForMessageBox(DWORD pid, DWORD timeoutMs)
{
    HWND box = nullptr;
    WaitUntil([&] { return (box = FindMessageBox(pid)) != nullptr; }, timeoutMs);
    return box;
}

std::string MessageBoxText(HWND box) { return WindowText(GetDlgItem(box, kMessageBoxTextId)); }

std::string WindowText(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
        return std::string();
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG,
                        5000, &copied);
    text.resize(copied);
    return text;
}

std::string ClassNameOf(HWND window)
{
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

RECT WindowRectOf(HWND window)
{
    RECT rc = {};
    GetWindowRect(window, &rc);
    return rc;
}

RECT ChildRectInParent(HWND child)
{
    RECT rc = WindowRectOf(child);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

bool ClickButton(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    if (!button)
        return false;
    return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button)) != 0;
}

bool IsChecked(HWND button)
{
    DWORD_PTR state = 0;
    SendMessageTimeoutA(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
    return state == BST_CHECKED;
}

bool CaptureWindow(HWND window, std::vector<DWORD>& pixels, int& width, int& height, bool clientOnly)
{
    RECT rc = WindowRectOf(window);
    if (clientOnly) {
        GetClientRect(window, &rc);
        MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&rc), 2);
    }
    return CaptureScreenArea(rc, pixels, width, height);
}

bool CaptureScreenArea(const RECT& rc, std::vector<DWORD>& pixels, int& width, int& height)
{
    width = rc.right - rc.left;
    height = rc.bottom - rc.top;
    if (width <= 0 || height <= 0)
        return false;
    const WindowDC screen(nullptr);
    const MemoryDC memory(screen.Get());
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const GdiBitmap dib(CreateDIBSection(screen.Get(), &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
    bool ok = false;
    if (dib) {
        const SelectGuard select(memory.Get(), dib.Get());
        ok = BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), rc.left, rc.top, SRCCOPY) != 0;
        GdiFlush();
        const DWORD* p = static_cast<const DWORD*>(bits);
        pixels.assign(p, p + static_cast<size_t>(width) * height);
        for (DWORD& px : pixels)
            px &= 0x00FFFFFF;
    }
    return ok;
}

HBITMAP SolidBitmap(int width, int height, COLORREF color)
{
    const WindowDC screen(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen.Get(), width, height);
    const MemoryDC dc(screen.Get());
    const SelectGuard select(dc.Get(), bitmap);
    RECT all = {0, 0, width, height};
    const GdiBrush brush(CreateSolidBrush(color));
    FillRect(dc.Get(), &all, brush.Get());
    return bitmap;
}

bool SaveBitmapFile(const std::string& path, const std::vector<DWORD>& pixels, int width, int height)
{
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = -height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    DWORD dataSize = static_cast<DWORD>(pixels.size() * sizeof(DWORD));
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + dataSize;
    const KernelHandle output(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!output)
        return false;
    const HANDLE h = output.Get();
    DWORD put = 0;
    bool ok = WriteFile(h, &file, sizeof file, &put, nullptr) && WriteFile(h, &info, sizeof info, &put, nullptr) &&
              WriteFile(h, pixels.data(), dataSize, &put, nullptr);
    return ok;
}

namespace {

uint32_t Crc32(const unsigned char* data, size_t size, uint32_t crc = 0)
{
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBigEndian(std::string& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

void PutChunk(std::string& out, const char* type, const std::string& data)
{
    PutBigEndian(out, static_cast<uint32_t>(data.size()));
    const std::string body = std::string(type, 4) + data;
    out += body;
    PutBigEndian(out, Crc32(reinterpret_cast<const unsigned char*>(body.data()), body.size()));
}

}  // namespace

bool SavePngFile(const std::string& path, const std::vector<DWORD>& pixels, int width, int height)
{
    if (width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(width) * height)
        return false;
    // Rows of filter byte 0 and RGB, kept in stored (uncompressed) deflate blocks.
    std::string raw;
    raw.reserve(static_cast<size_t>(height) * (1 + 3 * width));
    for (int y = 0; y < height; ++y) {
        raw += '\0';
        for (int x = 0; x < width; ++x) {
            const DWORD px = pixels[static_cast<size_t>(y) * width + x];
            raw += static_cast<char>((px >> 16) & 0xFF);
            raw += static_cast<char>((px >> 8) & 0xFF);
            raw += static_cast<char>(px & 0xFF);
        }
    }
    std::string zlib = "\x78\x01";
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const size_t size = std::min<size_t>(65535, raw.size() - at);
        zlib += static_cast<char>(at + size >= raw.size() ? 1 : 0);
        zlib += static_cast<char>(size & 0xFF);
        zlib += static_cast<char>(size >> 8);
        zlib += static_cast<char>(~size & 0xFF);
        zlib += static_cast<char>((~size >> 8) & 0xFF);
        zlib.append(raw, at, size);
        if (raw.empty())
            break;
    }
    PutBigEndian(zlib, (b << 16) | a);
    std::string header;
    PutBigEndian(header, static_cast<uint32_t>(width));
    PutBigEndian(header, static_cast<uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5);
    std::string png = "\x89PNG\r\n\x1a\n";
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", zlib);
    PutChunk(png, "IEND", std::string());
    return WriteFileBytes(path, png);
}

std::string AnswerMessageBox(DWORD pid, int button, DWORD timeoutMs)
{
    HWND box = WaitForMessageBox(pid, timeoutMs);
    if (!box)
        return std::string();
    const std::string text = MessageBoxText(box);
    ClickButton(box, button);
    WaitUntil([&] { return !IsWindow(box); }, 10000);
    return text;
}

namespace {

// The file-name box of the common file dialogs: an edit of its own in the old style, a combo box
// holding an edit in the explorer style.
constexpr int kFileNameEdit = 0x480;
constexpr int kFileNameCombo = 0x47C;

}  // namespace

HWND WaitForFileDialog(DWORD pid, DWORD timeoutMs)
{
    HWND dialog = nullptr;
    WaitUntil([&] {
        for (HWND w : TopLevelWindows(pid)) {
            if (IsWindowVisible(w) && (GetDlgItem(w, kFileNameCombo) || GetDlgItem(w, kFileNameEdit)) &&
                GetDlgItem(w, IDOK))
                dialog = w;
        }
        return dialog != nullptr;
    }, timeoutMs);
    return dialog;
}

bool ChooseFileInDialog(HWND dialog, const std::string& path)
{
    HWND nameEdit = GetDlgItem(dialog, kFileNameEdit);
    for (HWND child : ChildWindows(GetDlgItem(dialog, kFileNameCombo))) {
        if (!nameEdit && ClassNameOf(child) == "Edit")
            nameEdit = child;
    }
    if (!nameEdit)
        return false;
    SendMessageA(nameEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    return ClickButton(dialog, IDOK);
}

}  // namespace harness
