#include "ui/modal.h"

#include "ui/application.h"

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

int ModalWindow::RunModal(HWND focus)
{
    done_ = false;
    result_ = 0;
    const ModalScope modal(Window());
    ShowWindow(Window(), SW_SHOW);
    SetForegroundWindow(Window());
    SetFocus(focus);
    Application::Instance().RunModal(Window(), done_, [this](const MSG& msg) { return InterceptMessage(msg); });
    OnModalEnd();
    return result_;
}

void ModalWindow::EndModal(int result)
{
    result_ = result;
    done_ = true;
}

LRESULT ModalWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == DM_GETDEFID) return MAKELRESULT(defaultId_, DC_HASDEFID);
    return HandleModalMessage(message, wParam, lParam);
}

POINT CentredOnScreen(int width, int height)
{
    return POINT{(GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2};
}

}  // namespace quorvel::ui
