// Finding and working another process's windows: the driver's toolkit.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
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
std::string StatusBarText(HANDLE process, HWND statusBar);

// The screen as a BMP file, for people to look at.
bool SaveScreen(const std::string& path);

}  // namespace quorvel::e2e
