// The application object: its title, the event loop with its top-level
// error catch and idle processing, and the error box.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <string_view>

#include "core/errors.h"

namespace quorvel::ui {

class Application {
public:
    static Application& Instance();

    void SetTitle(std::string title) { title_ = std::move(title); }
    const std::string& Title() const { return title_; }

    void SetMainWindow(HWND window, HACCEL accelerators);
    HWND MainWindow() const { return mainWindow_; }

    // Called each time the program falls idle (its event queue empty).
    void SetIdleHandler(std::function<void()> idle) { idle_ = std::move(idle); }

    // Dispatches events until the main window closes; returns its exit code.
    int Run();

    // Dispatches events for a modal window until `done` is set; the window
    // takes its dialog keys (Tab, Enter, Esc, access letters). `intercept`
    // sees each message first and may keep it.
    void RunModal(HWND window, const bool& done, const std::function<bool(const MSG&)>& intercept = nullptr);

    // The error box for whatever is being thrown: the message of an error
    // object with "." appended by the rule, or no text for anything else.
    void ShowCurrentException();
    void ShowError(const std::string& message);

private:
    Application() = default;
    void Idle();

    std::string title_;
    HWND mainWindow_ = nullptr;
    HACCEL accelerators_ = nullptr;
    std::function<void()> idle_;
};

// A top-level window that the system would not create.
class WindowCreateError : public QuorvelError {
public:
    explicit WindowCreateError(std::string_view className);
};

// The window as CreateWindowEx returned it; raises WindowCreateError for
// none, so that start-up cannot go on into a loop with no window.
HWND CheckCreated(HWND window, const char* className);

// Runs one message handler under the top-level catch: an error ends the
// handler, shows the error box and the program goes on.
template <typename Handler>
LRESULT Guarded(Handler&& handler)
{
    try {
        return handler();
    } catch (...) {
        Application::Instance().ShowCurrentException();
        return 0;
    }
}

}  // namespace quorvel::ui
