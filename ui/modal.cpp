#include "ui/modal.h"

namespace quorvel::ui {

namespace {
struct Collect {
    HWND modal;
    std::vector<HWND>* windows;
};
}  // namespace

ModalScope::ModalScope(HWND modal) : active_(GetActiveWindow())
{
    Collect collect{modal, &disabled_};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            auto* c = reinterpret_cast<Collect*>(param);
            if (window != c->modal && IsWindowVisible(window) && IsWindowEnabled(window)) {
                c->windows->push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&collect));
    for (HWND window : disabled_) EnableWindow(window, FALSE);
}

ModalScope::~ModalScope()
{
    for (HWND window : disabled_)
        if (IsWindow(window)) EnableWindow(window, TRUE);
    if (active_ && IsWindow(active_)) SetActiveWindow(active_);
}

POINT CentredOnScreen(int width, int height)
{
    return POINT{(GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2};
}

}  // namespace quorvel::ui
