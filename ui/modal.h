// Modal showing of the program's own windows: every other window of the
// program is disabled while one shows, as the system's dialogs do.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/win32_util.h"
#include "ui/window_base.h"

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

// The base of the program's modal windows (the column dialog, the message
// windows): one loop runs them, with the dialog manager's keys (Tab, Enter
// for the default button, Esc) and DM_GETDEFID answered from one place.
class ModalWindow : public WindowBase {
protected:
    // Shows the window modally with the focus on `focus`, every other
    // window of the program disabled, until EndModal; returns its result.
    int RunModal(HWND focus);
    void EndModal(int result);

    // Creates the window (class registered here) with a dialog frame around
    // a client area of the given size, centred on the screen and owned by
    // the main window.
    void CreateCentred(const char* className, const char* caption, int clientWidth, int clientHeight);

    int DefaultId() const { return defaultId_; }
    void SetDefaultId(int id) { defaultId_ = id; }

    // A message the window takes before the dialog manager does; true when
    // taken.
    virtual bool InterceptMessage(const MSG& /*msg*/) { return false; }
    // Told while the window still shows and has the focus, just before it
    // closes.
    virtual void OnModalEnd() {}
    // The window's own messages; DM_GETDEFID is answered before them.
    virtual LRESULT HandleModalMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) final;

    int defaultId_ = IDOK;
    bool done_ = false;
    int result_ = 0;
};

// Centres a window of the given outer size on the screen.
POINT CentredOnScreen(int width, int height);

// The system's message font and its units, in which the program's own
// modal windows are laid out: a quarter of the average character width
// across, an eighth of the font's height down.
struct MessageFontUnits {
    GdiObject<HFONT> font;
    int averageWidth = 1;
    int height = 1;

    MessageFontUnits();
    int Horizontal(int units) const { return MulDiv(units, averageWidth, 4); }
    int Vertical(int units) const { return MulDiv(units, height, 8); }
};

// A child control of a modal window in its font; raises WindowCreateError
// when the system refuses it.
HWND CreateModalChild(HWND parent, HFONT font, const char* className, const char* caption, DWORD style, RECT bounds,
                      int id);

}  // namespace quorvel::ui
