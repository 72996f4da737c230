#include "ui/open_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <cstring>

#include "ui/ui_texts.h"

namespace quorvel::ui {

namespace {

// Centred across the monitor of the program's active window, a third of
// the free height above it and two thirds below.
void PlaceDialog(HWND dialog)
{
    HWND active = GetActiveWindow();
    HMONITOR monitor = MonitorFromWindow(active ? active : dialog, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoA(monitor, &info);
    RECT r;
    GetWindowRect(dialog, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    const RECT& area = info.rcWork;
    const int x = area.left + ((area.right - area.left) - width) / 2;
    const int y = area.top + std::max<LONG>(0, ((area.bottom - area.top) - height) / 3);
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

UINT_PTR CALLBACK PlacementHook(HWND child, UINT message, WPARAM, LPARAM lParam)
{
    // With the explorer style the hook sees a child of the real dialog.
    if (message == WM_NOTIFY && reinterpret_cast<const OFNOTIFYA*>(lParam)->hdr.code == CDN_INITDONE)
        PlaceDialog(GetParent(child));
    return 0;
}

}  // namespace

bool OpenDialog::Execute(HWND owner)
{
    // The path may be at most 259 bytes.
    char file[MAX_PATH] = {};
    std::strncpy(file, fileName_.c_str(), MAX_PATH - 1);
    const std::string filter = OpenDialogFilter();

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = filterIndex_;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = text::kOpenTitle;
    ofn.lpstrDefExt = text::kDefaultExtension;
    // No check that the file or its folder exists: a typed name of a
    // missing file is accepted and fails only when it is read.
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_ENABLEHOOK;
    ofn.lpfnHook = PlacementHook;

    const bool accepted = GetOpenFileNameA(&ofn) != 0;
    if (!accepted) return false;
    fileName_ = file;
    filterIndex_ = ofn.nFilterIndex;
    return true;
}

}  // namespace quorvel::ui
