// The base of the program's windows: one window procedure for them all,
// which finds the object at WM_NCCREATE (so that messages sent during
// creation reach it too) and runs each message under the top-level error
// catch. Each window keeps one HandleMessage that dispatches to small
// named handlers.
#pragma once

#include <windows.h>

#include <exception>

namespace quorvel::ui {

class WindowBase {
public:
    WindowBase() = default;
    // A window that outlives its object (an exception after Create) is
    // detached first, so that no message of its own destruction or later
    // reaches the object, and then destroyed.
    virtual ~WindowBase();
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    HWND Window() const { return window_; }

protected:
    // Registers a window class of the program with the shared procedure:
    // arrow cursor, button-face background. Registering twice is harmless.
    static void RegisterWindowClass(HINSTANCE instance, const char* className, HICON icon = nullptr);

    // Creates the window for this object; raises WindowCreateError when
    // the system refuses it, or what the WM_CREATE handler raised (the
    // window then is not created: never half built).
    void CreateAs(DWORD exStyle, const char* className, const char* caption, DWORD style, RECT bounds, HWND parent,
                  HMENU menu, HINSTANCE instance);

    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam)
    {
        return DefWindowProcA(window_, message, wParam, lParam);
    }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    std::exception_ptr createFailure_;
};

}  // namespace quorvel::ui
