// One run of the real Quorvel.exe, worked as a person works it: every
// action is a key or a mouse click through SendInput, aimed at the
// foreground window or at a point taken from the target's rectangle.
// Messages and remote memory only read what the program shows.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace quorvel::e2e {

// Counts and prints the checks.
void Check(bool ok, const std::string& what);
int Failures();
// Ends the run: a check without which nothing after it means anything.
[[noreturn]] void Fatal(const std::string& what);

// Named screenshots go to the folder, if one is set.
void SetScreenshotFolder(const std::string& folder);
void Screenshot(const std::string& name);

std::string ReadAll(const std::string& path);
void WriteAll(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);
std::wstring Wide(const std::string& ansi);

class Session {
public:
    // Starts the program with the given show command, as a shortcut or the
    // shell would.
    Session(const std::string& exe, int showCommand = SW_SHOWNORMAL);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    HWND Main() const { return main_; }
    HWND Grid() const { return list_; }
    HWND Edit() const { return edit_; }
    HWND UpDown() const { return upDown_; }
    HWND Label() const { return label_; }
    HWND StatusBar() const { return status_; }
    HWND ToolBar() const { return toolBar_; }
    HANDLE Process() const { return pi_.hProcess; }
    DWORD ProcessId() const { return pi_.dwProcessId; }

    // ---- Reading what the program shows.
    int ItemCount() const;
    int ColumnCount() const;
    int ColumnWidth(int column) const;
    int SelectedItem() const;  // the grid's current row (its focused item), -1 for none
    // The one item that the grid reports selected, as assistive technology
    // asks for it; -1 for none, -2 when several are.
    int ListSelection() const;
    std::string Cell(int item, int sub) const;
    std::wstring CellWide(int item, int sub) const;
    std::string Header(int index) const;
    bool HeaderHidden() const;
    std::string Status() const;
    std::string EditText() const;
    bool ButtonEnabled(int command) const;
    HWND Focus() const;
    // A visible window of the program's with that class, or null.
    HWND Find(const char* cls) const;
    HWND WaitWindow(const char* cls, double seconds = 10) const;
    bool WaitGone(HWND window, double seconds = 20) const;
    // Nothing of the class shows up within the time.
    bool StaysAway(const char* cls, double seconds = 0.8) const;
    // The text of the tooltip shown now, or empty.
    std::string Tooltip() const;
    RECT ToolButtonRect(int command) const;  // screen coordinates
    RECT HeaderItemRect(int index) const;    // screen coordinates
    RECT ItemRect(int item) const;           // screen coordinates, whole row

    // ---- Acting as a person does.
    void Keys(std::initializer_list<WORD> modifiers, WORD key);  // to the main window, brought forward
    void ClickToolButton(int command);
    // Alt with the menu's letter; true when its popup opened. `whileOpen`
    // runs while it is open; Esc closes it.
    bool MenuOpens(char letter, const std::function<void()>& whileOpen = nullptr);
    // Alt with the menu's letter, then the item's letter.
    void ChooseMenuItem(char menu, char item);
    // The open dialog: waits for it, types the name over what it offers and
    // presses Enter.
    void TypeIntoOpenDialog(const std::string& path);
    // Open by Ctrl+O and a typed name.
    void Open(const std::string& path);
    // Clicks the close button of a window's caption.
    void ClickCloseButton(HWND window);
    DWORD WaitExit(double seconds = 20);

private:
    PROCESS_INFORMATION pi_{};
    HWND main_ = nullptr, list_ = nullptr, toolBar_ = nullptr, edit_ = nullptr, upDown_ = nullptr,
         label_ = nullptr, status_ = nullptr;
};

// The column choice dialog, as it shows.
struct ColumnDialog {
    HWND window = nullptr;
    HWND ok = nullptr, cancel = nullptr, combo = nullptr, label = nullptr;
    int Selected() const;
    int Count() const;
};
ColumnDialog WaitColumnDialog(const Session& s);
// Tab until the list has the focus.
bool FocusList(Session& s, const ColumnDialog& d);
// Home and Down in the list until the entry is chosen.
bool PickByKeys(Session& s, const ColumnDialog& d, int entry);

// The names of the files STEM_*.csv in the folder.
std::vector<std::string> Pieces(const std::string& folder, const std::string& stem);

// A message window of the program (notice or confirmation).
struct MessageBoxWindow {
    HWND window = nullptr;
    std::string caption, text;
};
MessageBoxWindow WaitMessageWindow(const Session& s, double seconds = 60);
// A notice comes within the time and says the text; Enter closes it.
bool NoticeSays(Session& s, const std::string& text, double seconds);

}  // namespace quorvel::e2e
