// Small RAII helpers for Win32 handles and GDI objects.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace quorvel::ui {

// Owns a GDI object (font, bitmap, brush) and deletes it once.
template <typename Handle>
class GdiObject {
public:
    explicit GdiObject(Handle handle = nullptr) : handle_(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept
    {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle Get() const { return handle_; }
    void Reset(Handle handle = nullptr)
    {
        if (handle_) DeleteObject(handle_);
        handle_ = handle;
    }

private:
    Handle handle_;
};

// Owns an image list and destroys it once. A control keeps using one only
// when created to share it (LVS_SHAREIMAGELISTS); otherwise the control
// destroys it itself and it must not be held here.
class ImageList {
public:
    explicit ImageList(HIMAGELIST list = nullptr) : list_(list) {}
    ~ImageList()
    {
        if (list_) ImageList_Destroy(list_);
    }
    ImageList(ImageList&& other) noexcept : list_(std::exchange(other.list_, nullptr)) {}
    ImageList& operator=(ImageList&& other) noexcept
    {
        if (this != &other) {
            if (list_) ImageList_Destroy(list_);
            list_ = std::exchange(other.list_, nullptr);
        }
        return *this;
    }
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;
    HIMAGELIST Get() const { return list_; }

private:
    HIMAGELIST list_;
};

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

// A memory device context from CreateCompatibleDC, deleted once.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC()
    {
        if (dc_) DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

// An accelerator table, destroyed once.
class AcceleratorTable {
public:
    explicit AcceleratorTable(HACCEL table = nullptr) : table_(table) {}
    ~AcceleratorTable()
    {
        if (table_) DestroyAcceleratorTable(table_);
    }
    AcceleratorTable(const AcceleratorTable&) = delete;
    AcceleratorTable& operator=(const AcceleratorTable&) = delete;
    HACCEL Get() const { return table_; }

private:
    HACCEL table_;
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
