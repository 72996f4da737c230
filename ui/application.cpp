#include "ui/application.h"

#include <new>

#include "core/errors.h"
#include "system/system_services.h"
#include "ui/ui_texts.h"

namespace quorvel::ui {

Application& Application::Instance()
{
    static Application application;
    return application;
}

WindowCreateError::WindowCreateError(std::string_view className) : QuorvelError(text::kWindowCreateError, className)
{
}

HWND CheckCreated(HWND window, const char* className)
{
    if (!window) throw WindowCreateError(className);
    return window;
}

void Application::SetMainWindow(HWND window, HACCEL accelerators)
{
    mainWindow_ = window;
    accelerators_ = accelerators;
}

void Application::Idle()
{
    if (idle_) idle_();
}

int Application::Run()
{
    MSG msg;
    for (;;) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return static_cast<int>(msg.wParam);
            const bool forMain = msg.hwnd == mainWindow_ || IsChild(mainWindow_, msg.hwnd);
            if (forMain && accelerators_ && TranslateAcceleratorA(mainWindow_, accelerators_, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Idle();
        WaitMessage();
    }
}

void Application::RunModal(HWND window, const bool& done, const std::function<bool(const MSG&)>& intercept)
{
    MSG msg;
    while (!done) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            Idle();
            WaitMessage();
            continue;
        }
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the outer loop
            return;
        }
        if (intercept && intercept(msg)) continue;
        if (IsDialogMessageA(window, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void Application::ShowCurrentException()
{
    std::string message;
    try {
        throw;
    } catch (const QuorvelError& e) {
        // The core's paths are UTF-8; the box shows the ANSI code page.
        message = e.Template();
        const size_t slot = message.find("%s");
        if (slot != std::string::npos) message.replace(slot, 2, PathToSystem(e.Path()));
    } catch (const std::bad_alloc&) {
        message = OutOfMemoryError().Message();
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        // Not an error object: shown as an error without a message.
    }
    ShowError(message);
}

void Application::ShowError(const std::string& message)
{
    const std::string text = ErrorBoxText(message, SystemCodePage());
    // Owned by the application: every window of the program is disabled
    // while it shows.
    MessageBoxA(nullptr, text.c_str(), title_.c_str(), MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

}  // namespace quorvel::ui
