// Works the real Quorvel.exe through its windows, as a user would: the
// start state, the spinner, Open through the system's file dialog, Sort
// and Split-save through the column dialog and the message windows, the
// error box, and Exit; checks the files written byte for byte.
//   quorvel_e2e.exe QUORVEL.EXE WORKDIR [--screenshots DIR] [--bench-open FILE]
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ui/resource.h"
#include "window_driver.h"

namespace quorvel::e2e {
namespace {

int failures = 0;
HANDLE program = nullptr;  // ended by Fatal, so that nothing is left running

void Check(bool ok, const std::string& what)
{
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    std::fflush(stdout);
    if (!ok) ++failures;
}

[[noreturn]] void Fatal(const std::string& what)
{
    std::printf("FAIL %s (cannot go on)\n", what.c_str());
    std::fflush(stdout);
    if (program) TerminateProcess(program, 1);
    std::exit(1);
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteAll(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
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

class Session {
public:
    Session(const std::string& exe, const std::string& screenshots) : screenshots_(screenshots)
    {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::string command = "\"" + exe + "\"";
        if (!CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_))
            Fatal("start " + exe);
        program = pi_.hProcess;
        WaitForInputIdle(pi_.hProcess, 10000);
        if (!WaitUntil([&] { return (main_ = FindProcessWindow(pi_.dwProcessId, "TMainForm1")) != nullptr; }, 30))
            Fatal("find the main window TMainForm1");
        WaitIdle(main_);
        list_ = GetDlgItem(main_, IDC_GRID);
        toolBar_ = GetDlgItem(main_, IDC_TOOLBAR);
        edit_ = GetDlgItem(main_, IDC_EDIT1);
        status_ = GetDlgItem(main_, IDC_STATUSBAR);
        if (!list_ || !toolBar_ || !edit_ || !status_) Fatal("find the main window's controls");
    }

    ~Session()
    {
        if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 1);
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }

    HWND Main() const { return main_; }
    HANDLE Process() const { return pi_.hProcess; }

    int ItemCount() const { return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); }
    int ColumnCount() const
    {
        return static_cast<int>(SendMessageA(ListView_GetHeader(list_), HDM_GETITEMCOUNT, 0, 0));
    }
    std::string Cell(int item, int sub) const { return ListViewCell(pi_.hProcess, list_, item, sub); }
    std::string Header(int index) const { return HeaderItemText(pi_.hProcess, ListView_GetHeader(list_), index); }
    bool HeaderHidden() const { return (GetWindowLongA(list_, GWL_STYLE) & LVS_NOCOLUMNHEADER) != 0; }
    std::string Status() const { return StatusBarText(pi_.hProcess, status_); }
    bool ButtonEnabled(int command) const { return SendMessageA(toolBar_, TB_ISBUTTONENABLED, command, 0) != 0; }
    // Opens a menu of the bar by its access letter, as Alt with the letter
    // does; true when its popup appears. `whileOpen` runs with it open.
    // (Menus cannot be read from another process under Wine.)
    bool MenuOpens(char letter, const std::function<void()>& whileOpen = nullptr)
    {
        PostMessageA(main_, WM_SYSCOMMAND, SC_KEYMENU, letter);
        HWND popup = nullptr;
        WaitUntil([&] { return (popup = FindProcessWindow(pi_.dwProcessId, "#32768")) != nullptr; }, 1.5);
        if (popup && whileOpen) {
            Sleep(200);
            whileOpen();
        }
        PostMessageA(main_, WM_CANCELMODE, 0, 0);
        PostMessageA(main_, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(main_, WM_KEYDOWN, VK_ESCAPE, 0);
        WaitUntil([&] { return FindProcessWindow(pi_.dwProcessId, "#32768") == nullptr; }, 3);
        WaitIdle(main_);
        return popup != nullptr;
    }
    bool RunMenuEnabled() { return MenuOpens('r'); }
    std::string EditText() const { return WindowText(edit_); }

    void Command(int id) { PostMessageA(main_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    // A visible window of the program's own class, or a system dialog.
    HWND WaitWindow(const char* cls, double seconds = 10)
    {
        HWND found = nullptr;
        WaitUntil([&] { return (found = FindProcessWindow(pi_.dwProcessId, cls)) != nullptr; }, seconds);
        if (found) WaitIdle(found);
        return found;
    }
    void WaitGone(HWND window)
    {
        WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, 20);
        WaitIdle(main_);
    }

    void Screenshot(const std::string& name)
    {
        if (screenshots_.empty()) return;
        Sleep(300);  // let the windows finish painting
        SaveScreen(screenshots_ + "\\" + name + ".bmp");
    }

    // Shows the open dialog and types a name into it; the dialog is left
    // open for the caller to accept.
    HWND TypeIntoOpenDialog(const std::string& path)
    {
        Command(IDM_OPEN);
        HWND dialog = WaitWindow("#32770");
        if (!dialog) Fatal("the open dialog appears");
        Check(WindowText(dialog) == "開く", "the open dialog's title is 開く");
        // The name box: the edit inside ComboBoxEx32 0x47C (Wine), or edt1.
        HWND name = nullptr;
        if (HWND boxEx = FindDescendant(dialog, 0x47C)) {
            EnumChildWindows(
                boxEx,
                [](HWND w, LPARAM p) -> BOOL {
                    if (ClassOf(w) != "Edit") return TRUE;
                    *reinterpret_cast<HWND*>(p) = w;
                    return FALSE;
                },
                reinterpret_cast<LPARAM>(&name));
        }
        if (!name) name = FindDescendant(dialog, 0x480);
        if (!name) Fatal("the open dialog's file name box");
        SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        return dialog;
    }

    void AcceptOpenDialog(HWND dialog)
    {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    }

    // Open through the system's file dialog with a typed name.
    void Open(const std::string& path, const std::string& shot = "")
    {
        HWND dialog = TypeIntoOpenDialog(path);
        if (!shot.empty()) Screenshot(shot);
        AcceptOpenDialog(dialog);
        WaitGone(dialog);
    }

    // The column choice dialog: checks caption and prompt, picks an entry.
    bool ChooseColumn(const char* caption, const char* label, int entry, int expectedEntries,
                      const std::string& shot = "", bool cancel = false)
    {
        HWND dialog = WaitWindow("TDialogForm1");
        if (!dialog) {
            Check(false, std::string("the column dialog appears for ") + caption);
            return false;
        }
        Check(WindowText(dialog) == caption, std::string("the column dialog's caption is ") + caption);
        Check(WindowText(GetDlgItem(dialog, IDC_DIALOG_LABEL)) == label, std::string("its prompt is ") + label);
        HWND combo = GetDlgItem(dialog, IDC_DIALOG_COMBO);
        Check(SendMessageA(combo, CB_GETCOUNT, 0, 0) == expectedEntries, "its list holds one entry per column");
        Check(SendMessageA(combo, CB_GETCURSEL, 0, 0) == 0, "entry 0 is selected");
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
        if (!shot.empty()) Screenshot(shot);
        PostMessageA(GetDlgItem(dialog, cancel ? IDCANCEL : IDOK), BM_CLICK, 0, 0);
        WaitGone(dialog);
        return true;
    }

    // A message window of the program: checks caption and text, presses a
    // button; with `clipboard`, first presses Ctrl+C and checks what the
    // clipboard then holds.
    bool Answer(const char* caption, const std::string& text, int button, const std::string& shot = "",
                const std::string& clipboard = "", char key = 0)
    {
        HWND box = WaitWindow("TMessageForm", 60);
        if (!box) {
            Check(false, std::string("the message window appears: ") + text);
            return false;
        }
        Check(WindowText(box) == caption, std::string("the message window's caption is ") + caption);
        Check(WindowText(GetDlgItem(box, IDC_MESSAGE_TEXT)) == text, "it says: " + text);
        if (!clipboard.empty()) {
            // Keys go to the foreground window: wait for the box to be it,
            // and try again should the keys land before it was.
            std::string copied;
            for (int attempt = 0; attempt < 3 && copied != clipboard; ++attempt) {
                SetForegroundWindow(box);
                WaitUntil([&] { return GetForegroundWindow() == box; }, 2);
                const WORD keys[] = {VK_CONTROL, 'C'};
                for (int up = 0; up < 2; ++up) {
                    for (int i = 0; i < 2; ++i) {
                        INPUT input{};
                        input.type = INPUT_KEYBOARD;
                        input.ki.wVk = keys[up ? 1 - i : i];
                        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
                        SendInput(1, &input, sizeof input);
                        Sleep(50);
                    }
                }
                WaitIdle(box);
                WaitUntil([&] {
                    if (!OpenClipboard(nullptr)) return false;
                    if (HANDLE data = GetClipboardData(CF_TEXT)) {
                        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
                            copied = bytes;
                            GlobalUnlock(data);
                        }
                    }
                    CloseClipboard();
                    return copied == clipboard;
                }, 2);
            }
            Check(copied == clipboard, "Ctrl+C puts the message on the clipboard");
        }
        if (!shot.empty()) Screenshot(shot);
        if (key) {
            // The access letter alone presses its button.
            SetForegroundWindow(box);
            WaitUntil([&] { return GetForegroundWindow() == box; }, 2);
            for (const DWORD flags : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
                INPUT input{};
                input.type = INPUT_KEYBOARD;
                input.ki.wVk = static_cast<WORD>(key);
                input.ki.dwFlags = flags;
                SendInput(1, &input, sizeof input);
                Sleep(50);
            }
        } else {
            PostMessageA(GetDlgItem(box, button), BM_CLICK, 0, 0);
        }
        WaitGone(box);
        return true;
    }

    // The system message box used as the error box.
    void ExpectErrorBox(const std::string& text)
    {
        HWND box = WaitWindow("#32770", 20);
        if (!box) {
            Check(false, "the error box appears: " + text);
            return;
        }
        Check(WindowText(box) == "Quorvel", "the error box's caption is Quorvel");
        Check(WindowText(GetDlgItem(box, 0xFFFF)) == text, "the error box says: " + text);
        PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        WaitGone(box);
    }

    DWORD WaitExit()
    {
        WaitForSingleObject(pi_.hProcess, 20000);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(pi_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION pi_{};
    HWND main_ = nullptr, list_ = nullptr, toolBar_ = nullptr, edit_ = nullptr, status_ = nullptr;
    std::string screenshots_;
};

void PressDown(HWND edit, int times, int key)
{
    for (int i = 0; i < times; ++i) {
        PostMessageA(edit, WM_KEYDOWN, static_cast<WPARAM>(key), 0);
        PostMessageA(edit, WM_KEYUP, static_cast<WPARAM>(key), 0xC0000000);
    }
}

const std::string kFruit = "no,品名,産地\r\n1,りんご,青森\r\n2,みかん,愛媛\r\n3,ぶどう,愛媛\r\n4,もも,青森\r\n";

int RunScenario(const std::string& exe, const std::string& work, const std::string& screenshots)
{
    const std::string fruit = work + "\\fruit.csv";
    WriteAll(fruit, kFruit);
    Session s(exe, screenshots);
    HWND edit = GetDlgItem(s.Main(), IDC_EDIT1);

    // ---- Start state.
    Check(WindowText(s.Main()) == "Quorvel", "the main window's caption is Quorvel");
    Check(s.EditText() == "5", "Edit1 shows 5");
    Check(!s.RunMenuEnabled(), "the Run menu is disabled before any Open");
    Check(!s.ButtonEnabled(IDM_SORT) && !s.ButtonEnabled(IDM_SPLIT), "the sort and split buttons are disabled");
    Check(s.ButtonEnabled(IDM_OPEN), "the open button is enabled");
    Check(s.ColumnCount() == 5 && s.ItemCount() == 1, "an empty 5 x 2 table with its header row");
    Check(s.Status().empty(), "the status bar is empty");
    s.Command(IDM_SORT);
    Sleep(500);
    Check(FindProcessWindow(GetProcessId(s.Process()), "TDialogForm1") == nullptr, "Sort cannot start before Open");

    // ---- Status bar hints: menu highlight, through the real menu.
    std::string shown;
    Check(s.MenuOpens('f', [&] { shown = s.Status(); }), "Alt+F opens the File menu");
    Check(shown == "開く", "highlighting 開く(&O)... shows 開く, not [" + shown + "]");
    Check(s.MenuOpens('h', [&] { shown = s.Status(); }) && shown == "ユーザーズガイド",
          "highlighting ユーザーズガイド(&G) shows its hint");
    SendMessageA(s.Main(), WM_MENUSELECT, MAKEWPARAM(IDM_SPLIT, MF_HILITE), 0);
    Check(s.Status().empty(), "highlighting 分割保存(&C) empties the status bar");
    SendMessageA(s.Main(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);

    // ---- Status bar hints: the pointer over a disabled button.
    {
        RemoteMemory memory(s.Process(), sizeof(RECT));
        HWND toolBar = GetDlgItem(s.Main(), IDC_TOOLBAR);
        const int index = static_cast<int>(SendMessageA(toolBar, TB_COMMANDTOINDEX, IDM_SORT, 0));
        SendMessageA(toolBar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(memory.Address()));
        RECT r;
        memory.Read(&r, sizeof r);
        POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(toolBar, &centre);
        SetCursorPos(centre.x, centre.y);
        WaitUntil([&] { return s.Status() == "データのソート"; }, 3);
        Check(s.Status() == "データのソート", "resting on the disabled SpeedButton2 shows データのソート");
        POINT grid{0, 0};
        ClientToScreen(GetDlgItem(s.Main(), IDC_GRID), &grid);
        SetCursorPos(grid.x + 40, grid.y + 60);
        WaitUntil([&] { return s.Status().empty(); }, 3);
        Check(s.Status().empty(), "the grid gives no hint");
    }

    // ---- The spinner: 5 down to 3.
    SetForegroundWindow(s.Main());
    PressDown(edit, 2, VK_DOWN);
    WaitUntil([&] { return s.EditText() == "3"; }, 5);
    WaitIdle(s.Main());
    Check(s.EditText() == "3" && s.ColumnCount() == 3, "two Down keys in Edit1 give 3 columns");

    // ---- Open.
    s.Open(fruit, "open_dialog");
    WaitUntil([&] { return s.ItemCount() == 4; }, 10);
    Check(s.ItemCount() == 4, "fruit.csv at 3 columns gives 4 data rows");
    Check(s.Header(0) == "no" && s.Header(1) == "品名" && s.Header(2) == "産地", "the header row is no 品名 産地");
    Check(s.Cell(0, 0) == "1" && s.Cell(0, 1) == "りんご" && s.Cell(3, 2) == "青森", "cells as in the file");
    Check(s.RunMenuEnabled() && s.ButtonEnabled(IDM_SORT) && s.ButtonEnabled(IDM_SPLIT),
          "Open enables the Run menu and the buttons");
    s.Screenshot("main_window");

    // ---- Sort by 品名.
    s.Command(IDM_SORT);
    s.ChooseColumn("ソート", "ソート基準項目(&S):", 1, 3, "column_dialog");
    const std::string divider = "---------------------------\r\n";
    s.Answer("Quorvel", "ソート完了", IDOK, "",
             divider + "Quorvel\r\n" + divider + "ソート完了\r\n" + divider + "OK   \r\n" + divider);
    Check(s.Cell(0, 1) == "ぶどう" && s.Cell(1, 1) == "みかん" && s.Cell(2, 1) == "もも" && s.Cell(3, 1) == "りんご",
          "sorted by 品名: ぶどう みかん もも りんご");
    Check(s.Header(1) == "品名", "the header row stays in place");

    // ---- Split-save answered No: nothing written.
    s.Command(IDM_SPLIT);
    s.ChooseColumn("分割保存", "分割保存対象項目(&C):", 2, 3);
    const std::string question = "産地 を対象にCSVファイルを分割保存します。\n\nよろしいですか？";
    s.Answer("確認", question, IDC_MESSAGE_NO, "confirmation_box", "", 'N');
    Check(Pieces(work, "fruit").empty(), "the N key (No) writes nothing");

    // ---- Cancel in the column dialog: nothing either.
    s.Command(IDM_SPLIT);
    s.ChooseColumn("分割保存", "分割保存対象項目(&C):", 2, 3, "", true);
    Sleep(300);
    Check(FindProcessWindow(GetProcessId(s.Process()), "TMessageForm") == nullptr, "Cancel asks nothing");

    // ---- A piece that cannot be created (a folder holds its name): the
    // error box with the path, no later piece, then a normal split.
    const std::string blocked = work + "\\fruit_愛媛.csv";
    CreateDirectoryA(blocked.c_str(), nullptr);
    s.Command(IDM_SPLIT);
    s.ChooseColumn("分割保存", "分割保存対象項目(&C):", 2, 3);
    s.Answer("確認", question, IDC_MESSAGE_YES);
    s.ExpectErrorBox("ファイル " + blocked + " を作成できません.");
    Check(!Exists(work + "\\fruit_青森.csv"), "no piece after the one that failed");
    Check(FindProcessWindow(GetProcessId(s.Process()), "TMessageForm") == nullptr, "no 分割保存完了 after the error");
    RemoveDirectoryA(blocked.c_str());

    // ---- Split-save answered Yes.
    s.Command(IDM_SPLIT);
    s.ChooseColumn("分割保存", "分割保存対象項目(&C):", 2, 3);
    s.Answer("確認", question, IDC_MESSAGE_YES);
    s.Answer("Quorvel", "分割保存完了", IDOK);
    Check(ReadAll(work + "\\fruit_愛媛.csv") == "3,ぶどう,愛媛\r\n2,みかん,愛媛\r\n", "fruit_愛媛.csv byte for byte");
    Check(ReadAll(work + "\\fruit_青森.csv") == "4,もも,青森\r\n1,りんご,青森\r\n", "fruit_青森.csv byte for byte");
    Check(Pieces(work, "fruit").size() == 2, "two pieces");
    Check(ReadAll(fruit) == kFruit, "the input file is unchanged");

    // ---- A missing file: the error box with its ".", the table as it was.
    const std::string missing = work + "\\missing.csv";
    s.Open(missing);
    s.ExpectErrorBox("ファイル " + missing + " は開けません.");
    Check(s.ItemCount() == 4 && s.Cell(0, 1) == "ぶどう", "the table still holds fruit.csv");
    // Split-save after the failed Open still names pieces after fruit.csv.
    s.Command(IDM_SPLIT);
    s.ChooseColumn("分割保存", "分割保存対象項目(&C):", 0, 3);
    s.Answer("確認", "no を対象にCSVファイルを分割保存します。\n\nよろしいですか？", IDC_MESSAGE_YES);
    s.Answer("Quorvel", "分割保存完了", IDOK);
    Check(Exists(work + "\\fruit_1.csv") && !Exists(work + "\\missing_1.csv"),
          "pieces are named after the file whose data the table holds");

    // ---- A column dragged by its header: the cells move, the width with
    // them. The drop reaches the window as the header's notice.
    {
        HWND list = GetDlgItem(s.Main(), IDC_GRID);
        HWND header = ListView_GetHeader(list);
        ListView_SetColumnWidth(list, 0, 50);  // column "no" narrower than the rest
        WaitIdle(s.Main());
        // Press on the middle of header item 0, move past item 2, release.
        auto itemCentre = [&](int index) {
            RemoteMemory memory(s.Process(), sizeof(RECT));
            SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(memory.Address()));
            RECT r;
            memory.Read(&r, sizeof r);
            POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            ClientToScreen(header, &p);
            return p;
        };
        const POINT from = itemCentre(0), to = itemCentre(2);
        SetForegroundWindow(s.Main());
        auto mouse = [](DWORD flags, POINT at) {
            SetCursorPos(at.x, at.y);
            INPUT input{};
            input.type = INPUT_MOUSE;
            input.mi.dwFlags = flags;
            SendInput(1, &input, sizeof input);
            Sleep(60);
        };
        mouse(MOUSEEVENTF_MOVE, from);
        mouse(MOUSEEVENTF_LEFTDOWN, from);
        for (int step = 1; step <= 8; ++step)
            mouse(MOUSEEVENTF_MOVE, POINT{from.x + (to.x + 20 - from.x) * step / 8, from.y});
        mouse(MOUSEEVENTF_LEFTUP, POINT{to.x + 20, to.y});
        WaitIdle(s.Main());
        Check(s.Header(0) == "品名" && s.Header(1) == "産地" && s.Header(2) == "no", "dragging no to the end: 品名 産地 no");
        Check(s.Cell(0, 0) == "ぶどう" && s.Cell(0, 2) == "3", "the cells moved with the column");
        Check(ListView_GetColumnWidth(list, 2) == 50 && ListView_GetColumnWidth(list, 0) != 50,
              "the width travelled with the column");
    }

    // ---- A one-row table: Sort ends in the error box.
    const std::string one = work + "\\one.csv";
    WriteAll(one, "a,b,c\r\n");
    s.Open(one);
    WaitUntil([&] { return s.HeaderHidden(); }, 5);
    Check(s.ItemCount() == 1 && s.HeaderHidden(), "one row: no fixed header, row 0 is the first line");
    s.Command(IDM_SORT);
    s.ChooseColumn("ソート", "ソート基準項目(&S):", 0, 3);
    s.ExpectErrorBox("グリッドインデックス が範囲を超えています.");
    Check(FindProcessWindow(GetProcessId(s.Process()), "TMessageForm") == nullptr, "no ソート完了 after the error");

    // ---- Exit.
    s.Command(IDM_EXIT);
    Check(s.WaitExit() == 0, "Exit ends the program with exit code 0");
    return failures == 0 ? 0 : 1;
}

// From OK in the open dialog to the grid painted, on a big file copied
// into the work folder; then a sort and a split by its third column.
int BenchOpen(const std::string& exe, const std::string& work, const std::string& original)
{
    const std::string file = work + "\\bench.csv";
    CopyFileA(original.c_str(), file.c_str(), FALSE);
    Session s(exe, "");
    HWND edit = GetDlgItem(s.Main(), IDC_EDIT1);
    SetForegroundWindow(s.Main());
    PressDown(edit, 3, VK_UP);  // 8 columns
    WaitUntil([&] { return s.EditText() == "8"; }, 5);
    WaitIdle(s.Main());
    HWND dialog = s.TypeIntoOpenDialog(file);
    const auto start = std::chrono::steady_clock::now();
    s.AcceptOpenDialog(dialog);
    WaitUntil([&] { return s.ItemCount() > 1; }, 120);
    HWND list = GetDlgItem(s.Main(), IDC_GRID);
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    WaitIdle(s.Main());
    const double opened = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const int items = s.ItemCount();
    const auto scrollStart = std::chrono::steady_clock::now();
    SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(items - 1), FALSE);
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    WaitIdle(s.Main());
    const double scrolled = std::chrono::duration<double>(std::chrono::steady_clock::now() - scrollStart).count();
    std::printf("open: %d rows from OK to the grid painted in %.2f s; to the last row and painted in %.3f s\n", items,
                opened, scrolled);
    std::printf("last row: %s\n", s.Cell(items - 1, 0).c_str());

    auto timed = [&](int command, const char* caption, const char* label, const char* done, bool confirm) {
        s.Command(command);
        // From OK in the column dialog (or Yes in the confirmation) to the
        // completion notice.
        auto begin = std::chrono::steady_clock::now();
        s.ChooseColumn(caption, label, 2, 8);
        if (confirm) {
            begin = std::chrono::steady_clock::now();
            HWND box = s.WaitWindow("TMessageForm", 10);
            PostMessageA(GetDlgItem(box, IDC_MESSAGE_YES), BM_CLICK, 0, 0);
            s.WaitGone(box);
        }
        HWND notice = s.WaitWindow("TMessageForm", 120);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        Check(notice && WindowText(GetDlgItem(notice, IDC_MESSAGE_TEXT)) == done, done);
        if (notice) PostMessageA(GetDlgItem(notice, IDOK), BM_CLICK, 0, 0);
        if (notice) s.WaitGone(notice);
        return seconds;
    };
    std::printf("sort by column 2 through the window: %.2f s\n", timed(IDM_SORT, "ソート", "ソート基準項目(&S):", "ソート完了", false));
    std::printf("split by column 2 through the window: %.2f s\n",
                timed(IDM_SPLIT, "分割保存", "分割保存対象項目(&C):", "分割保存完了", true));
    s.Command(IDM_EXIT);
    s.WaitExit();
    return 0;
}

}  // namespace
}  // namespace quorvel::e2e

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: quorvel_e2e QUORVEL.EXE WORKDIR [--screenshots DIR] [--bench-open FILE]\n");
        return 2;
    }
    std::string screenshots, benchFile;
    for (int i = 3; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--screenshots") screenshots = argv[i + 1];
        if (std::string(argv[i]) == "--bench-open") benchFile = argv[i + 1];
    }
    if (!benchFile.empty()) return quorvel::e2e::BenchOpen(argv[1], argv[2], benchFile);
    return quorvel::e2e::RunScenario(argv[1], argv[2], screenshots);
}
