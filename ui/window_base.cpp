#include "ui/window_base.h"

#include "ui/application.h"

namespace quorvel::ui {

void WindowBase::RegisterWindowClass(HINSTANCE instance, const char* className, HICON icon)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
}

void WindowBase::CreateAs(DWORD exStyle, const char* className, const char* caption, DWORD style, RECT bounds,
                          HWND parent, HMENU menu, HINSTANCE instance)
{
    CheckCreated(CreateWindowExA(exStyle, className, caption, style, bounds.left, bounds.top,
                                 bounds.right - bounds.left, bounds.bottom - bounds.top, parent, menu, instance, this),
                 className);
}

LRESULT CALLBACK WindowBase::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    const LRESULT result = Guarded([&] { return self->HandleMessage(message, wParam, lParam); });
    if (message == WM_NCDESTROY) {
        // The object may outlive its window; nothing reaches it after this.
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
    }
    return result;
}

}  // namespace quorvel::ui
