#include "window_driver.h"

#include <chrono>
#include <fstream>
#include <thread>

namespace quorvel::e2e {

bool WaitUntil(const std::function<bool()>& ready, double seconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (ready()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return ready();
}

std::string WindowText(HWND window)
{
    char buffer[4096] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000,
                        &length);
    return std::string(buffer, length);
}

std::string ClassOf(HWND window)
{
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

HWND FindProcessWindow(DWORD processId, const char* className)
{
    struct Search {
        DWORD pid;
        const char* cls;
        HWND found;
    } search{processId, className, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid == s->pid && IsWindowVisible(window) && ClassOf(window) == s->cls) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindDescendant(HWND parent, int id, const char* className)
{
    struct Search {
        int id;
        const char* cls;
        HWND found;
    } search{id, className, nullptr};
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (GetDlgCtrlID(window) == s->id && (!s->cls || ClassOf(window) == s->cls)) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool WaitIdle(HWND window, double seconds)
{
    DWORD_PTR result;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, static_cast<UINT>(seconds * 1000), &result) != 0;
}

RemoteMemory::RemoteMemory(HANDLE process, size_t size)
    : process_(process), address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))
{
}

RemoteMemory::~RemoteMemory()
{
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
}

void RemoteMemory::Write(const void* bytes, size_t size, size_t offset)
{
    WriteProcessMemory(process_, static_cast<char*>(address_) + offset, bytes, size, nullptr);
}

void RemoteMemory::Read(void* bytes, size_t size, size_t offset) const
{
    ReadProcessMemory(process_, static_cast<char*>(address_) + offset, bytes, size, nullptr);
}

namespace {
constexpr size_t kTextRoom = 1024;
}

std::string ListViewCell(HANDLE process, HWND list, int item, int subItem)
{
    RemoteMemory memory(process, sizeof(LVITEMA) + kTextRoom);
    LVITEMA lvi{};
    lvi.iSubItem = subItem;
    lvi.pszText = static_cast<char*>(memory.Address()) + sizeof(LVITEMA);
    lvi.cchTextMax = static_cast<int>(kTextRoom);
    memory.Write(&lvi, sizeof lvi);
    const LRESULT length = SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(item),
                                        reinterpret_cast<LPARAM>(memory.Address()));
    std::string text(static_cast<size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) memory.Read(text.data(), text.size(), sizeof(LVITEMA));
    return text;
}

std::wstring ListViewCellWide(HANDLE process, HWND list, int item, int subItem)
{
    RemoteMemory memory(process, sizeof(LVITEMW) + kTextRoom * sizeof(wchar_t));
    LVITEMW lvi{};
    lvi.iSubItem = subItem;
    lvi.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(memory.Address()) + sizeof(LVITEMW));
    lvi.cchTextMax = static_cast<int>(kTextRoom);
    memory.Write(&lvi, sizeof lvi);
    const LRESULT length = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item),
                                        reinterpret_cast<LPARAM>(memory.Address()));
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) memory.Read(text.data(), text.size() * sizeof(wchar_t), sizeof(LVITEMW));
    return text;
}

std::string HeaderItemText(HANDLE process, HWND header, int index)
{
    RemoteMemory memory(process, sizeof(HDITEMA) + kTextRoom);
    HDITEMA hdi{};
    hdi.mask = HDI_TEXT;
    hdi.pszText = static_cast<char*>(memory.Address()) + sizeof(HDITEMA);
    hdi.cchTextMax = static_cast<int>(kTextRoom);
    memory.Write(&hdi, sizeof hdi);
    SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(memory.Address()));
    char text[kTextRoom] = {};
    memory.Read(text, kTextRoom - 1, sizeof(HDITEMA));
    return text;
}

std::string StatusBarText(HANDLE process, HWND statusBar)
{
    // The simple text is part 255 on Windows; Wine keeps it as part 0.
    for (const WPARAM part : {WPARAM{SB_SIMPLEID}, WPARAM{0}}) {
        RemoteMemory memory(process, kTextRoom);
        const char zeros[kTextRoom] = {};
        memory.Write(zeros, kTextRoom);
        SendMessageA(statusBar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(memory.Address()));
        char text[kTextRoom] = {};
        memory.Read(text, kTextRoom - 1);
        if (text[0]) return text;
    }
    return {};
}

bool SaveScreen(const std::string& path)
{
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD rowBytes = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    const DWORD imageBytes = rowBytes * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + imageBytes;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), imageBytes);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return out.good();
}

ScreenImage::ScreenImage()
    : width_(GetSystemMetrics(SM_CXSCREEN)), height_(GetSystemMetrics(SM_CYSCREEN)),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_))
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width_, height_);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width_, height_, screen, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height_), pixels_.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

unsigned ScreenImage::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] & 0xFFFFFF;
}

namespace {

bool IsExtendedKey(WORD key)
{
    switch (key) {
    case VK_UP: case VK_DOWN: case VK_LEFT: case VK_RIGHT:
    case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
    case VK_INSERT: case VK_DELETE:
        return true;
    default:
        return false;
    }
}

void SendKey(WORD key, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0);
    SendInput(1, &input, sizeof input);
    Sleep(25);
}

void SendMouse(DWORD flags, POINT at = {})
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        input.mi.dx = (at.x * 65536 + width - 1) / width;
        input.mi.dy = (at.y * 65536 + height - 1) / height;
    }
    SendInput(1, &input, sizeof input);
}

}  // namespace

void PressKey(WORD key)
{
    SendKey(key, false);
    SendKey(key, true);
}

void PressKeys(std::initializer_list<WORD> modifiers, WORD key)
{
    for (WORD m : modifiers) SendKey(m, false);
    PressKey(key);
    for (auto m = modifiers.end(); m != modifiers.begin();) SendKey(*--m, true);
}

void TypeText(const std::wstring& text, DWORD pauseMs)
{
    for (const wchar_t unit : text) {
        for (const DWORD flags : {DWORD{KEYEVENTF_UNICODE}, DWORD{KEYEVENTF_UNICODE | KEYEVENTF_KEYUP}}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = static_cast<WORD>(unit);
            input.ki.dwFlags = flags;
            SendInput(1, &input, sizeof input);
        }
        Sleep(pauseMs);
    }
}

POINT CentreOf(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT ClientPointToScreen(HWND window, POINT point)
{
    ClientToScreen(window, &point);
    return point;
}

void MoveMouse(POINT screen)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, screen);
        Sleep(30);
        POINT now;
        GetCursorPos(&now);
        if (now.x == screen.x && now.y == screen.y) return;
        // A pixel off: nudge by what is missing.
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = MOUSEEVENTF_MOVE;
        input.mi.dx = screen.x - now.x;
        input.mi.dy = screen.y - now.y;
        SendInput(1, &input, sizeof input);
        Sleep(30);
        GetCursorPos(&now);
        if (now.x == screen.x && now.y == screen.y) return;
    }
}

void MouseButton(bool down)
{
    SendMouse(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
    Sleep(40);
}

void Click(POINT screen)
{
    MoveMouse(screen);
    MouseButton(true);
    MouseButton(false);
}

void ClickWindow(HWND window) { Click(CentreOf(window)); }

void Drag(POINT from, POINT to, int steps)
{
    MoveMouse(from);
    MouseButton(true);
    for (int step = 1; step <= steps; ++step) {
        MoveMouse(POINT{from.x + (to.x - from.x) * step / steps, from.y + (to.y - from.y) * step / steps});
        Sleep(20);
    }
    MouseButton(false);
}

HWND FocusOf(DWORD threadId)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(threadId, &info)) return nullptr;
    return info.hwndFocus;
}

bool WaitForeground(HWND window, double seconds)
{
    if (WaitUntil([&] { return GetForegroundWindow() == window; }, seconds)) return true;
    RECT r;
    GetWindowRect(window, &r);
    Click(POINT{(r.left + r.right) / 2, r.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2});
    return WaitUntil([&] { return GetForegroundWindow() == window; }, seconds);
}

}  // namespace quorvel::e2e
