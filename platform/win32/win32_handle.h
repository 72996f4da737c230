// The one family of owners for Win32 handles, used on the very line that
// creates the handle: kernel handles, GDI objects and device contexts,
// image lists, menus, accelerator tables, dropped-file handles, global
// memory and views of mapped files. Each gives its handle back to the system once, with the call
// that kind of handle needs, unless it has been released to a new owner
// (a menu attached to a window, memory handed to the clipboard).
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <utility>

namespace quorvel {

// `Traits` gives the handle type, the value that holds nothing and the
// call that closes one.
template <typename Traits>
class OwnedHandle {
public:
    using Handle = typename Traits::Handle;

    explicit OwnedHandle(Handle handle = Traits::None()) : handle_(handle) {}
    ~OwnedHandle() { Reset(); }
    OwnedHandle(OwnedHandle&& other) noexcept : handle_(other.Release()) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;

    Handle Get() const { return handle_; }
    bool Valid() const { return handle_ != Traits::None() && handle_ != Handle(); }
    void Reset(Handle handle = Traits::None())
    {
        if (Valid()) Traits::Close(handle_);
        handle_ = handle;
    }
    // Hands the handle to a new owner; this one then holds nothing.
    Handle Release() { return std::exchange(handle_, Traits::None()); }

private:
    Handle handle_;
};

namespace handle_traits {

template <typename H, typename Closer>
struct Nullable {
    using Handle = H;
    static Handle None() { return nullptr; }
    static void Close(Handle handle) { Closer()(handle); }
};

struct Kernel {
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { CloseHandle(handle); }
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
struct DestroyMenuHandle {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
struct FinishDrop {
    void operator()(HDROP drop) const { DragFinish(drop); }
};
struct FreeGlobal {
    void operator()(HGLOBAL memory) const { GlobalFree(memory); }
};
struct UnmapView {
    void operator()(const void* view) const { UnmapViewOfFile(view); }
};

}  // namespace handle_traits

// A file or other kernel object from CreateFile and its kind
// (INVALID_HANDLE_VALUE holds nothing).
using FileHandle = OwnedHandle<handle_traits::Kernel>;

// A view of a file mapping from MapViewOfFile.
using MappedView = OwnedHandle<handle_traits::Nullable<const void*, handle_traits::UnmapView>>;

// A GDI object (font, bitmap, brush).
template <typename Handle>
using GdiObject = OwnedHandle<handle_traits::Nullable<Handle, handle_traits::DeleteGdiObject>>;

// An image list. A control keeps using one only when created to share it
// (LVS_SHAREIMAGELISTS); otherwise the control destroys it itself and it
// must not be held here.
using ImageList = OwnedHandle<handle_traits::Nullable<HIMAGELIST, handle_traits::DestroyImageList>>;

// A memory device context from CreateCompatibleDC.
using MemoryDC = OwnedHandle<handle_traits::Nullable<HDC, handle_traits::DeleteMemoryDC>>;

using AcceleratorTable = OwnedHandle<handle_traits::Nullable<HACCEL, handle_traits::DestroyAccelerators>>;

// A menu until it is attached to a window or to another menu (Release).
using Menu = OwnedHandle<handle_traits::Nullable<HMENU, handle_traits::DestroyMenuHandle>>;

// The files of a WM_DROPFILES message, finished once.
using DropHandle = OwnedHandle<handle_traits::Nullable<HDROP, handle_traits::FinishDrop>>;

// Global memory until the clipboard takes it (Release).
using GlobalMemory = OwnedHandle<handle_traits::Nullable<HGLOBAL, handle_traits::FreeGlobal>>;

// Global memory locked for a scope; Bytes() is null when the lock failed.
class GlobalLockGuard {
public:
    explicit GlobalLockGuard(HGLOBAL memory) : memory_(memory), bytes_(memory ? GlobalLock(memory) : nullptr) {}
    ~GlobalLockGuard()
    {
        if (bytes_) GlobalUnlock(memory_);
    }
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
    void* Bytes() const { return bytes_; }

private:
    HGLOBAL memory_;
    void* bytes_;
};

}  // namespace quorvel
