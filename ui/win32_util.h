// Small RAII helpers for Win32 handles and GDI objects.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <string_view>
#include <utility>

#include "platform/win32/win32_wide.h"

namespace quorvel::ui {

// Owns one handle and gives it back to the system once, with `Close`.
template <typename Handle, typename Close>
class OwnedHandle {
public:
    explicit OwnedHandle(Handle handle = nullptr) : handle_(handle) {}
    ~OwnedHandle() { Reset(); }
    OwnedHandle(OwnedHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept
    {
        if (this != &other) Reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;

    Handle Get() const { return handle_; }
    void Reset(Handle handle = nullptr)
    {
        if (handle_) Close()(handle_);
        handle_ = handle;
    }

private:
    Handle handle_;
};

struct DeleteGdiObject {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct DestroyImageList {
    void operator()(HIMAGELIST list) const { ImageList_Destroy(list); }
};
struct DeleteMemoryDC {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct DestroyAccelerators {
    void operator()(HACCEL table) const { DestroyAcceleratorTable(table); }
};

// A GDI object (font, bitmap, brush).
template <typename Handle>
using GdiObject = OwnedHandle<Handle, DeleteGdiObject>;

// An image list. A control keeps using one only when created to share it
// (LVS_SHAREIMAGELISTS); otherwise the control destroys it itself and it
// must not be held here.
using ImageList = OwnedHandle<HIMAGELIST, DestroyImageList>;

// A memory device context from CreateCompatibleDC.
using MemoryDC = OwnedHandle<HDC, DeleteMemoryDC>;

using AcceleratorTable = OwnedHandle<HACCEL, DestroyAccelerators>;

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
