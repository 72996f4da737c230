// The base of the program's windows: one window procedure for them all,
// which finds the object at WM_NCCREATE (so that messages sent during
// creation reach it too) and runs each message under the top-level error
// catch. Each window keeps one HandleMessage that dispatches to small
// named handlers.
#pragma once

#include <windows.h>

namespace quorvel::ui {

class WindowBase {
public:
    WindowBase() = default;
    virtual ~WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    HWND Window() const { return window_; }

protected:
    // Registers a window class of the program with the shared procedure:
    // arrow cursor, button-face background. Registering twice is harmless.
    static void RegisterWindowClass(HINSTANCE instance, const char* className, HICON icon = nullptr);

    // Creates the window for this object; raises WindowCreateError when
    // the system refuses it.
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
};

}  // namespace quorvel::ui
