// Modal showing of the program's own windows: every other window of the
// program is disabled while one shows, as the system's dialogs do.
#pragma once

#include <windows.h>

#include <vector>

namespace quorvel::ui {

class ModalScope {
public:
    // Disables the thread's enabled top-level windows other than `modal`.
    explicit ModalScope(HWND modal);
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

private:
    std::vector<HWND> disabled_;
    HWND active_;
};

// Centres a window of the given outer size on the screen.
POINT CentredOnScreen(int width, int height);

}  // namespace quorvel::ui
