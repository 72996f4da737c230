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

void ModalWindow::CreateCentred(const char* className, const char* caption, int clientWidth, int clientHeight)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    RegisterWindowClass(instance, className);
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME;
    RECT outer{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    const POINT at = CentredOnScreen(width, height);
    CreateAs(exStyle, className, caption, style, RECT{at.x, at.y, at.x + width, at.y + height},
             Application::Instance().MainWindow(), nullptr, instance);
}

LRESULT ModalWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == DM_GETDEFID) return MAKELRESULT(defaultId_, DC_HASDEFID);
    return HandleModalMessage(message, wParam, lParam);
}

MessageFontUnits::MessageFontUnits()
{
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    font.Reset(CreateFontIndirectA(&metrics.lfMessageFont));
    WindowDC screen(nullptr);
    SelectedObject selected(screen.Get(), font.Get());
    TEXTMETRICA tm;
    GetTextMetricsA(screen.Get(), &tm);
    SIZE alphabet;
    GetTextExtentPoint32A(screen.Get(), "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &alphabet);
    averageWidth = (alphabet.cx / 26 + 1) / 2;
    height = tm.tmHeight;
}

HWND CreateModalChild(HWND parent, HFONT font, const char* className, const char* caption, DWORD style, RECT bounds,
                      int id)
{
    HWND control = CheckCreated(
        CreateWindowExA(0, className, caption, WS_CHILD | WS_VISIBLE | style, bounds.left, bounds.top,
                        bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr),
        className);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

POINT CentredOnScreen(int width, int height)
{
    return POINT{(GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2};
}

}  // namespace quorvel::ui
