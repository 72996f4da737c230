#include "ui/window_base.h"

#include <utility>
#include <vector>

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

WindowBase::~WindowBase()
{
    if (!window_) return;
    const HWND window = std::exchange(window_, nullptr);
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
}

void WindowBase::CreateAs(DWORD exStyle, const char* className, const char* caption, DWORD style, RECT bounds,
                          HWND parent, HMENU menu, HINSTANCE instance)
{
    const HWND window = CreateWindowExA(exStyle, className, caption, style, bounds.left, bounds.top,
                                        bounds.right - bounds.left, bounds.bottom - bounds.top, parent, menu, instance,
                                        this);
    if (!window && createFailure_) std::rethrow_exception(std::exchange(createFailure_, nullptr));
    CheckCreated(window, className);
}

namespace {

// The pop-ups that controls made for themselves (a tool bar's tooltips):
// a window whose creation fails does not always take them with it.
void DestroyOwnedWindows(HWND owner)
{
    std::vector<HWND> owned;
    std::pair<HWND, std::vector<HWND>*> search(owner, &owned);
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) {
            auto& list = *reinterpret_cast<std::pair<HWND, std::vector<HWND>*>*>(found);
            if (GetWindow(window, GW_OWNER) == list.first) list.second->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    for (const HWND window : owned) DestroyWindow(window);
}

}  // namespace

LRESULT CALLBACK WindowBase::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_CREATE) {
        // A control that cannot be created fails the window's creation;
        // CreateAs raises what the handler raised.
        try {
            return self->HandleMessage(message, wParam, lParam);
        } catch (...) {
            self->createFailure_ = std::current_exception();
            DestroyOwnedWindows(window);
            return -1;
        }
    }
    const LRESULT result = Guarded([&] { return self->HandleMessage(message, wParam, lParam); });
    if (message == WM_NCDESTROY) {
        // The object may outlive its window; nothing reaches it after this.
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
    }
    return result;
}

}  // namespace quorvel::ui
