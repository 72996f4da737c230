// Finding and working another process's windows: the driver's toolkit.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace quorvel::e2e {

// Polls `ready` every 20 ms until it holds or `seconds` pass.
bool WaitUntil(const std::function<bool()>& ready, double seconds = 10);

std::string WindowText(HWND window);
std::string ClassOf(HWND window);

// A visible top-level window of the process with that class, or null.
HWND FindProcessWindow(DWORD processId, const char* className);
// A descendant with the control ID, searched recursively.
HWND FindDescendant(HWND parent, int id, const char* className = nullptr);

// Waits until the window answers messages again (its thread is idle).
bool WaitIdle(HWND window, double seconds = 20);

// Memory in another process, for messages that carry pointers.
class RemoteMemory {
public:
    RemoteMemory(HANDLE process, size_t size);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    void* Address() const { return address_; }
    void Write(const void* bytes, size_t size, size_t offset = 0);
    void Read(void* bytes, size_t size, size_t offset = 0) const;

private:
    HANDLE process_;
    void* address_;
};

// Texts of list view cells and header items, through remote memory.
std::string ListViewCell(HANDLE process, HWND list, int item, int subItem);
std::string HeaderItemText(HANDLE process, HWND header, int index);
// A cell's text as wide characters, for text beyond the ANSI code page.
std::wstring ListViewCellWide(HANDLE process, HWND list, int item, int subItem);
std::string StatusBarText(HANDLE process, HWND statusBar);

// The screen as a BMP file, for people to look at.
bool SaveScreen(const std::string& path);

// The screen's pixels at one moment, to measure what is drawn.
class ScreenImage {
public:
    ScreenImage();
    // 0x00RRGGBB; black outside the screen.
    unsigned At(int x, int y) const;

private:
    int width_ = 0, height_ = 0;
    std::vector<unsigned> pixels_;
};

// ---- Real input: what a person does, through SendInput only. Keys go to
// the foreground window; the mouse to whatever lies under the pointer.

// Presses and releases one key (arrows, Home/End, Page, Insert/Delete
// are sent as extended keys).
void PressKey(WORD key);
// Holds the modifiers (Ctrl, Alt, Shift) while the key is pressed.
void PressKeys(std::initializer_list<WORD> modifiers, WORD key);
// Types text as characters (UTF-16 units), as an input method would.
void TypeText(const std::wstring& text, DWORD pauseMs = 30);

// The centre of a window, or of a rectangle in a window's client area,
// in screen coordinates.
POINT CentreOf(HWND window);
POINT ClientPointToScreen(HWND window, POINT point);
// Moves the pointer there, checking that it landed on the pixel.
void MoveMouse(POINT screen);
void MouseButton(bool down);
void Click(POINT screen);
void ClickWindow(HWND window);
// Presses at `from`, moves in steps to `to` and releases there.
void Drag(POINT from, POINT to, int steps = 8);

// The window that has the keyboard focus in the program's UI thread.
HWND FocusOf(DWORD threadId);
// Waits until the window is the foreground one; when the system did not
// make it so, a click on its caption does, as a person would.
bool WaitForeground(HWND window, double seconds = 3);

}  // namespace quorvel::e2e
