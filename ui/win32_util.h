// Small RAII helpers of the windows: device contexts, selections, the wait
// cursor, and the handle owners of platform/win32/win32_handle.h.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <string_view>
#include <utility>

#include "platform/win32/win32_handle.h"
#include "platform/win32/win32_wide.h"

namespace quorvel::ui {

// The handle owners are the platform's one family of them.
using quorvel::AcceleratorTable;
using quorvel::DropHandle;
using quorvel::GdiObject;
using quorvel::GlobalLockGuard;
using quorvel::GlobalMemory;
using quorvel::ImageList;
using quorvel::MemoryDC;
using quorvel::Menu;

// A device context from GetDC, released once.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() { ReleaseDC(window_, dc_); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC for a scope.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(dc_, old_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// The hourglass while a long read, sort or split holds the thread.
class WaitCursor {
public:
    WaitCursor() : old_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(old_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR old_;
};

// Design sizes are pixels at 96 dots per inch with a 12-pixel font; this
// scales them to the screen.
struct Scaler {
    int numerator = 1;
    int denominator = 1;
    int operator()(int designPixels) const { return MulDiv(designPixels, numerator, denominator); }
};

}  // namespace quorvel::ui
