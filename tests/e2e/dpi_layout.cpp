#include "dpi_layout.h"

#include <windows.h>

#include <cstdlib>
#include <cstdio>

#include "session.h"
#include "ui/resource.h"
#include "window_driver.h"

namespace quorvel::e2e {

void SetDpi(unsigned long dpi)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        Fatal("set the display's dots per inch");
    const DWORD value = dpi;
    RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

namespace {

// The first and last rows of `r` (screen coordinates) that hold a pixel
// for which `ink` holds; false when none does.
template <typename Ink>
bool InkRows(const ScreenImage& image, const RECT& r, Ink ink, int& first, int& last)
{
    first = -1;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            if (!ink(image.At(x, y))) continue;
            if (first < 0) first = y;
            last = y;
            break;
        }
    }
    return first >= 0;
}

bool Dark(unsigned pixel)
{
    const unsigned r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return r * 30 + g * 59 + b * 11 < 96 * 100;
}

RECT Inset(RECT r, int by)
{
    InflateRect(&r, -by, -by);
    return r;
}

void CheckLayout(Session& s, DWORD dpi, const std::string& work)
{
    const std::string at = " at " + std::to_string(dpi) + " dpi";
    // No caret in Edit1 and no pointer over the tool bar while measuring.
    ClickWindow(s.Grid());
    MoveMouse(CentreOf(s.Grid()));
    WaitIdle(s.Main());
    Sleep(400);
    const ScreenImage image;
    SaveScreen(work + "\\main_window_" + std::to_string(dpi) + ".bmp");

    RECT window;
    GetWindowRect(s.Main(), &window);
    Check(window.left >= 0 && window.top >= 0 && window.right <= GetSystemMetrics(SM_CXSCREEN) &&
              window.bottom <= GetSystemMetrics(SM_CYSCREEN),
          "the window lies on the screen" + at + " (" + std::to_string(window.left) + "," +
              std::to_string(window.top) + " to " + std::to_string(window.right) + "," + std::to_string(window.bottom) +
              ")");

    RECT label, edit;
    GetWindowRect(s.Label(), &label);
    GetWindowRect(s.Edit(), &edit);
    int labelTop = 0, labelBottom = 0, editTop = 0, editBottom = 0;
    const bool inked = InkRows(image, label, Dark, labelTop, labelBottom) &&
                       InkRows(image, Inset(edit, 3), Dark, editTop, editBottom);
    // Kanji and a digit differ in height: the line they stand on tells.
    Check(inked && std::abs(labelBottom - editBottom) <= 1,
          "Edit1's text stands on the line of Label1's" + at + " (label rows " + std::to_string(labelTop) + "-" +
              std::to_string(labelBottom) + ", edit rows " + std::to_string(editTop) + "-" + std::to_string(editBottom) +
              ")");

    for (const int command : {IDM_OPEN, IDM_SORT, IDM_SPLIT}) {
        const RECT button = s.ToolButtonRect(command);
        const unsigned face = image.At(button.left + 1, button.top + 1);
        int top = 0, bottom = 0;
        const bool drawn = InkRows(image, Inset(button, 1), [&](unsigned p) { return p != face; }, top, bottom);
        const int above = top - button.top, below = button.bottom - 1 - bottom;
        // A picture's own margins differ by a design pixel at most, which
        // the scaling widens.
        const int tolerance = dpi >= 144 ? 2 : 1;
        Check(drawn && std::abs(above - below) <= tolerance, "tool button " + std::to_string(command) +
                                                         "'s picture is centred" + at + " (" + std::to_string(above) +
                                                         " above, " + std::to_string(below) + " below)");
    }
}

}  // namespace

void CheckLayoutAtEachDpi(const std::string& exe, const std::string& work)
{
    for (const DWORD dpi : {96u, 120u, 144u}) {
        SetDpi(dpi);
        Session s(exe);
        WaitForeground(s.Main());
        CheckLayout(s, dpi, work);
        s.Keys({VK_CONTROL}, 'Q');
        Check(s.WaitExit() == 0, "Ctrl+Q ends it at " + std::to_string(dpi) + " dpi");
    }
    SetDpi(96);
}

}  // namespace quorvel::e2e
