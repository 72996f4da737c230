#include "session.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "ui/resource.h"
#include "window_driver.h"

namespace quorvel::e2e {

namespace {
int failures = 0;
HANDLE runningProgram = nullptr;  // ended by Fatal, so that nothing is left running
}  // namespace

void Check(bool ok, const std::string& what)
{
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    std::fflush(stdout);
    if (!ok) ++failures;
}

int Failures() { return failures; }

void Fatal(const std::string& what)
{
    std::printf("FAIL %s (cannot go on)\n", what.c_str());
    std::fflush(stdout);
    if (runningProgram) TerminateProcess(runningProgram, 1);
    std::exit(1);
}

namespace {
std::string screenshots;  // where the named screenshots go, if anywhere
}  // namespace

void SetScreenshotFolder(const std::string& folder) { screenshots = folder; }

void Screenshot(const std::string& name)
{
    if (screenshots.empty()) return;
    Sleep(300);  // let the windows finish painting
    SaveScreen(screenshots + "\\" + name + ".bmp");
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring Wide(const std::string& ansi)
{
    std::wstring wide(ansi.size(), L'\0');
    wide.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

Session::Session(const std::string& exe, int showCommand)
{
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = static_cast<WORD>(showCommand);
    std::string command = "\"" + exe + "\"";
    if (!CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_))
        Fatal("start " + exe);
    runningProgram = pi_.hProcess;
    WaitForInputIdle(pi_.hProcess, 10000);
    if (!WaitUntil([&] { return (main_ = FindProcessWindow(pi_.dwProcessId, "TMainForm1")) != nullptr; }, 30))
        Fatal("find the main window TMainForm1");
    WaitIdle(main_);
    list_ = GetDlgItem(main_, IDC_GRID);
    toolBar_ = GetDlgItem(main_, IDC_TOOLBAR);
    edit_ = GetDlgItem(main_, IDC_EDIT1);
    upDown_ = GetDlgItem(main_, IDC_UPDOWN1);
    label_ = GetDlgItem(main_, IDC_LABEL1);
    status_ = GetDlgItem(main_, IDC_STATUSBAR);
    if (!list_ || !toolBar_ || !edit_ || !upDown_ || !label_ || !status_) Fatal("find the main window's controls");
}

Session::~Session()
{
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 1);
    if (runningProgram == pi_.hProcess) runningProgram = nullptr;
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
}

int Session::ItemCount() const { return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); }

int Session::ColumnCount() const
{
    return static_cast<int>(SendMessageA(ListView_GetHeader(list_), HDM_GETITEMCOUNT, 0, 0));
}

int Session::ColumnWidth(int column) const { return ListView_GetColumnWidth(list_, column); }

int Session::SelectedItem() const
{
    return static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

int Session::ListSelection() const
{
    const int first = static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    const int count = static_cast<int>(SendMessageA(list_, LVM_GETSELECTEDCOUNT, 0, 0));
    if (count > 1) return -2;
    return count == 1 ? first : -1;
}

std::string Session::Cell(int item, int sub) const { return ListViewCell(pi_.hProcess, list_, item, sub); }

std::wstring Session::CellWide(int item, int sub) const { return ListViewCellWide(pi_.hProcess, list_, item, sub); }

std::string Session::Header(int index) const { return HeaderItemText(pi_.hProcess, ListView_GetHeader(list_), index); }

bool Session::HeaderHidden() const { return (GetWindowLongA(list_, GWL_STYLE) & LVS_NOCOLUMNHEADER) != 0; }

std::string Session::Status() const { return StatusBarText(pi_.hProcess, status_); }

std::string Session::EditText() const { return WindowText(edit_); }

bool Session::ButtonEnabled(int command) const { return SendMessageA(toolBar_, TB_ISBUTTONENABLED, command, 0) != 0; }

HWND Session::Focus() const { return FocusOf(pi_.dwThreadId); }

HWND Session::Find(const char* cls) const { return FindProcessWindow(pi_.dwProcessId, cls); }

HWND Session::WaitWindow(const char* cls, double seconds) const
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = Find(cls)) != nullptr; }, seconds);
    if (found) WaitIdle(found);
    return found;
}

bool Session::WaitGone(HWND window, double seconds) const
{
    const bool gone = WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, seconds);
    WaitIdle(main_);
    return gone;
}

bool Session::StaysAway(const char* cls, double seconds) const
{
    return !WaitUntil([&] { return Find(cls) != nullptr; }, seconds);
}

std::string Session::Tooltip() const
{
    HWND tip = Find(TOOLTIPS_CLASSA);
    return tip ? WindowText(tip) : std::string();
}

RECT Session::ToolButtonRect(int command) const
{
    RemoteMemory memory(pi_.hProcess, sizeof(RECT));
    const int index = static_cast<int>(SendMessageA(toolBar_, TB_COMMANDTOINDEX, static_cast<WPARAM>(command), 0));
    SendMessageA(toolBar_, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(memory.Address()));
    RECT r;
    memory.Read(&r, sizeof r);
    MapWindowPoints(toolBar_, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT Session::HeaderItemRect(int index) const
{
    HWND header = ListView_GetHeader(list_);
    RemoteMemory memory(pi_.hProcess, sizeof(RECT));
    SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(memory.Address()));
    RECT r;
    memory.Read(&r, sizeof r);
    MapWindowPoints(header, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT Session::ItemRect(int item) const
{
    RemoteMemory memory(pi_.hProcess, sizeof(RECT));
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    memory.Write(&r, sizeof r);
    SendMessageA(list_, LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(memory.Address()));
    memory.Read(&r, sizeof r);
    MapWindowPoints(list_, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void Session::Keys(std::initializer_list<WORD> modifiers, WORD key)
{
    PressKeys(modifiers, key);
    WaitIdle(main_);
}

void Session::ClickToolButton(int command)
{
    const RECT r = ToolButtonRect(command);
    Click(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    WaitIdle(main_);
}

bool Session::MenuOpens(char letter, const std::function<void()>& whileOpen)
{
    WaitForeground(main_);
    PressKeys({VK_MENU}, static_cast<WORD>(toupper(letter)));
    HWND popup = nullptr;
    WaitUntil([&] { return (popup = Find("#32768")) != nullptr; }, 1.5);
    if (popup && whileOpen) {
        WaitIdle(main_);
        Sleep(150);
        whileOpen();
    }
    // Esc closes the popup, a second Esc leaves the menu bar.
    PressKey(VK_ESCAPE);
    PressKey(VK_ESCAPE);
    WaitUntil([&] { return Find("#32768") == nullptr; }, 3);
    WaitIdle(main_);
    return popup != nullptr;
}

void Session::ChooseMenuItem(char menu, char item)
{
    WaitForeground(main_);
    PressKeys({VK_MENU}, static_cast<WORD>(toupper(menu)));
    WaitUntil([&] { return Find("#32768") != nullptr; }, 1.5);
    PressKey(static_cast<WORD>(toupper(item)));
}

void Session::TypeIntoOpenDialog(const std::string& path)
{
    HWND dialog = WaitWindow("#32770");
    if (!dialog) Fatal("the open dialog appears");
    Check(WindowText(dialog) == "開く", "the open dialog's title is 開く");
    WaitForeground(dialog);
    // The file name box has the focus: take out what it offers, type the
    // name (again, should a key have been lost on the way), press Enter.
    HWND nameBox = nullptr;
    WaitUntil([&] { return (nameBox = Focus()) != nullptr && ClassOf(nameBox) == "Edit"; }, 5);
    for (int attempt = 0; attempt < 3; ++attempt) {
        PressKey(VK_END);
        PressKeys({VK_SHIFT}, VK_HOME);
        PressKey(VK_DELETE);
        TypeText(Wide(path), 10);
        if (WaitUntil([&] { return nameBox && WindowText(nameBox) == path; }, 2)) break;
        std::printf("     (the name box holds [%s]; typing it again)\n", nameBox ? WindowText(nameBox).c_str() : "?");
    }
    PressKey(VK_RETURN);
    if (!WaitGone(dialog)) Fatal("the open dialog closes on Enter");
}

void Session::Open(const std::string& path)
{
    WaitForeground(main_);
    Keys({VK_CONTROL}, 'O');
    TypeIntoOpenDialog(path);
}

void Session::ClickCloseButton(HWND window)
{
    // The close button is the last one of the caption, at its right end.
    RECT r;
    GetWindowRect(window, &r);
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    const bool sizable = (style & WS_THICKFRAME) != 0;
    const int frameX = GetSystemMetrics(sizable ? SM_CXFRAME : SM_CXDLGFRAME);
    const int frameY = GetSystemMetrics(sizable ? SM_CYFRAME : SM_CYDLGFRAME);
    const int button = GetSystemMetrics(SM_CXSIZE);
    Click(POINT{r.right - frameX - button / 2 - 1, r.top + frameY + GetSystemMetrics(SM_CYCAPTION) / 2});
}

DWORD Session::WaitExit(double seconds)
{
    WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(seconds * 1000));
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

int ColumnDialog::Selected() const { return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0)); }

int ColumnDialog::Count() const { return static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0)); }

ColumnDialog WaitColumnDialog(const Session& s)
{
    ColumnDialog d;
    d.window = s.WaitWindow("TDialogForm1");
    if (!d.window) return d;
    d.ok = GetDlgItem(d.window, IDOK);
    d.cancel = GetDlgItem(d.window, IDCANCEL);
    d.combo = GetDlgItem(d.window, IDC_DIALOG_COMBO);
    d.label = GetDlgItem(d.window, IDC_DIALOG_LABEL);
    WaitForeground(d.window);
    return d;
}

bool FocusList(Session& s, const ColumnDialog& d)
{
    for (int i = 0; i < 3 && s.Focus() != d.combo; ++i) {
        PressKey(VK_TAB);
        WaitIdle(d.window);
    }
    return s.Focus() == d.combo;
}

bool PickByKeys(Session& s, const ColumnDialog& d, int entry)
{
    if (!FocusList(s, d)) return false;
    PressKey(VK_HOME);
    for (int i = 0; i < entry; ++i) PressKey(VK_DOWN);
    return WaitUntil([&] { return d.Selected() == entry; }, 2);
}

std::vector<std::string> Pieces(const std::string& folder, const std::string& stem)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\" + stem + "_*.csv").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do names.push_back(data.cFileName);
    while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

MessageBoxWindow WaitMessageWindow(const Session& s, double seconds)
{
    MessageBoxWindow m;
    m.window = s.WaitWindow("TMessageForm", seconds);
    if (!m.window) return m;
    m.caption = WindowText(m.window);
    m.text = WindowText(GetDlgItem(m.window, IDC_MESSAGE_TEXT));
    WaitForeground(m.window);
    return m;
}

bool NoticeSays(Session& s, const std::string& text, double seconds)
{
    MessageBoxWindow notice = WaitMessageWindow(s, seconds);
    const bool said = notice.window && notice.text == text;
    if (!said) std::printf("     (the notice says [%s])\n", notice.text.c_str());
    if (notice.window) {
        PressKey(VK_RETURN);
        s.WaitGone(notice.window);
    }
    return said;
}

}  // namespace quorvel::e2e

