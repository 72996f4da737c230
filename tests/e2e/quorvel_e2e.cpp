// Works the real Quorvel.exe as a person does, with the keyboard and the
// mouse only (SendInput): the start state and its hints, the spinner, the
// menus and their keys, Open through the system's file dialog, the grid,
// Sort and Split-save through the column dialog and the message windows,
// the error box, the help commands, Exit; the start maximised and
// minimised; the layout at 96, 120 and 144 dots per inch; a file over the
// grid's cap with its progress window and the chunk command. Checks the
// files written byte for byte.
//   quorvel_e2e.exe QUORVEL.EXE WORKDIR RECORDER.EXE [--screenshots DIR]
//   quorvel_e2e.exe QUORVEL.EXE WORKDIR --bench-open FILE
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "big_files.h"
#include "spreadsheet_files.h"
#include "dpi_layout.h"
#include "session.h"
#include "ui/resource.h"
#include "window_driver.h"

namespace quorvel::e2e {
namespace {

const std::string kFruit = "no,品名,産地\r\n1,りんご,青森\r\n2,みかん,愛媛\r\n3,ぶどう,愛媛\r\n4,もも,青森\r\n";
const std::string kDivider = "---------------------------\r\n";
const std::string kQuestion = "産地 を対象にCSVファイルを分割保存します。\n\nよろしいですか？";

POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// ---- The spinner's arrows: the upper and lower half of UpDown1.
POINT UpArrow(const Session& s)
{
    RECT r;
    GetWindowRect(s.UpDown(), &r);
    return POINT{(r.left + r.right) / 2, r.top + (r.bottom - r.top) / 4};
}

POINT DownArrow(const Session& s)
{
    RECT r;
    GetWindowRect(s.UpDown(), &r);
    return POINT{(r.left + r.right) / 2, r.bottom - 1 - (r.bottom - r.top) / 4};
}

int Columns(const Session& s) { return std::atoi(s.EditText().c_str()); }

// Clicks an arrow and waits for the count to show `expected`.
bool ClickArrowTo(Session& s, POINT arrow, int expected)
{
    Click(arrow);
    WaitUntil([&] { return Columns(s) == expected; }, 3);
    WaitIdle(s.Main());
    return Columns(s) == expected && s.ColumnCount() == expected;
}

// Holds an arrow down until the count reaches `until` (or passes it),
// noting every count shown on the way.
std::vector<int> HoldArrow(Session& s, POINT arrow, int until)
{
    std::vector<int> seen{Columns(s)};
    MoveMouse(arrow);
    MouseButton(true);
    // The time limit only ends a hold that never arrives; a busy machine
    // repeats slower, so it is generous.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (std::chrono::steady_clock::now() < end) {
        const int now = Columns(s);
        if (now != seen.back()) seen.push_back(now);
        if ((until > seen.front() && now >= until) || (until < seen.front() && now <= until)) break;
    }
    MouseButton(false);
    WaitIdle(s.Main());
    const int last = Columns(s);
    if (last != seen.back()) seen.push_back(last);
    return seen;
}

bool StepsOfOne(const std::vector<int>& seen)
{
    for (size_t i = 1; i < seen.size(); ++i)
        if (std::abs(seen[i] - seen[i - 1]) != 1) return false;
    return true;
}

// Rests the pointer on a point until the status bar shows `hint`.
// The current row is the grid's one selected item too.
void CheckSelection(const Session& s, const std::string& after)
{
    const int selected = s.ListSelection(), current = s.SelectedItem();
    Check(selected == current && current >= 0, "after " + after + " the grid reports the current row " +
                                                    std::to_string(current) + " as its selected item (" +
                                                    std::to_string(selected) + ")");
}

bool HintShows(Session& s, POINT at, const std::string& hint)
{
    MoveMouse(at);
    WaitUntil([&] { return s.Status() == hint; }, 3);
    return s.Status() == hint;
}

bool TooltipShows(Session& s, POINT at, const std::string& text)
{
    MoveMouse(POINT{at.x + 1, at.y});
    MoveMouse(at);
    WaitUntil([&] { return s.Tooltip() == text; }, 4);
    return s.Tooltip() == text;
}

// ---- The column dialog.
// Opens the list with a click and clicks the entry in it.
bool PickByMouse(Session& s, const ColumnDialog& d, int entry)
{
    ClickWindow(d.combo);
    if (!WaitUntil([&] { return SendMessageA(d.combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }, 3)) {
        std::printf("     (the list did not open)\n");
        return false;
    }
    // The dropped list of this combo box, not some other one's.
    RemoteMemory info(s.Process(), sizeof(COMBOBOXINFO));
    COMBOBOXINFO cbi{};
    cbi.cbSize = sizeof cbi;
    info.Write(&cbi, sizeof cbi);
    SendMessageA(d.combo, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(info.Address()));
    info.Read(&cbi, sizeof cbi);
    HWND list = cbi.hwndList;
    if (!list || !IsWindowVisible(list)) {
        std::printf("     (no open list found)\n");
        return false;
    }
    // Wine carries this message's rectangle between the processes itself.
    RECT r{};
    SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(entry), reinterpret_cast<LPARAM>(&r));
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2);
    Click(Centre(r));
    WaitUntil([&] { return SendMessageA(d.combo, CB_GETDROPPEDSTATE, 0, 0) == 0; }, 3);
    if (d.Selected() != entry)
        std::printf("     (clicked entry %d at %ld,%ld; %d selected)\n", entry, (r.left + r.right) / 2,
                    (r.top + r.bottom) / 2, d.Selected());
    return d.Selected() == entry;
}

void CheckDialog(const ColumnDialog& d, const char* caption, const char* label, int entries)
{
    Check(d.window != nullptr, std::string("the column dialog appears for ") + caption);
    if (!d.window) Fatal("no column dialog");
    Check(WindowText(d.window) == caption, std::string("its caption is ") + caption);
    Check(WindowText(d.label) == label, std::string("its prompt is ") + label);
    Check(d.Count() == entries && d.Selected() == 0, "its list holds one entry per column, entry 0 selected");
}

// ---- The start state, hints and the spinner.
void StartState(Session& s)
{
    Check(WindowText(s.Main()) == "Quorvel", "the main window's caption is Quorvel");
    Check(s.EditText() == "5", "Edit1 shows 5");
    Check(s.Focus() == s.Edit(), "the keyboard focus is in Edit1 at start");
    Check(s.ColumnCount() == 5 && s.ItemCount() == 1, "an empty 5 x 2 table with its header row");
    Check(s.Status().empty(), "the status bar is empty");
    Check(!s.ButtonEnabled(IDM_SORT) && !s.ButtonEnabled(IDM_SPLIT) && s.ButtonEnabled(IDM_OPEN),
          "the sort and split buttons are disabled, the open button enabled");
    RECT window, work;
    GetWindowRect(s.Main(), &window);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int left = window.left - work.left, right = work.right - window.right;
    const int top = window.top - work.top, bottom = work.bottom - window.bottom;
    Check(std::abs(left - right) <= 1 && std::abs(top - bottom) <= 1, "the window is centred on the desktop");

    // Layout: tool bar 28, status bar 16, the grid fills what lies between.
    RECT client, grid, status, tool;
    GetClientRect(s.Main(), &client);
    GetWindowRect(s.Grid(), &grid);
    GetWindowRect(s.StatusBar(), &status);
    GetWindowRect(s.ToolBar(), &tool);
    std::printf("     client area %ld x %ld, grid %ld x %ld\n", client.right, client.bottom, grid.right - grid.left,
                grid.bottom - grid.top);
    Check(client.right == 664 && client.bottom == 341, "the client area is 664 x 341");
    Check(status.bottom - status.top == 16 && status.right - status.left == 664, "the status bar is 664 x 16");
    Check(tool.bottom - tool.top == 28, "the tool bar is 28 high");
    Check(grid.right - grid.left == 664 && grid.bottom - grid.top == 297,
          "the grid is 664 x 297, between tool bar and status bar");
    Check((GetWindowLongA(s.StatusBar(), GWL_STYLE) & SBARS_SIZEGRIP) == 0, "the status bar has no size grip");
}

void UnreachableBeforeOpen(Session& s)
{
    Check(!s.MenuOpens('r'), "Alt+R does not open the disabled Run menu");
    s.ChooseMenuItem('r', 's');
    Check(s.StaysAway("TDialogForm1"), "Alt+R, S starts no sort");
    PressKey(VK_ESCAPE);
    PressKey(VK_ESCAPE);
    s.ClickToolButton(IDM_SORT);
    Check(s.StaysAway("TDialogForm1"), "a click on the disabled SpeedButton2 starts no sort");
    s.ClickToolButton(IDM_SPLIT);
    Check(s.StaysAway("TDialogForm1"), "a click on the disabled SpeedButton3 starts no split");
}

void Hints(Session& s)
{
    Check(HintShows(s, CentreOf(s.Edit()), "CSVの列数(項目数)"), "resting on Edit1 shows CSVの列数(項目数)");
    Check(TooltipShows(s, CentreOf(s.Edit()), "CSVの列数(項目数)"), "Edit1's tooltip shows CSVの列数(項目数)");
    Check(HintShows(s, UpArrow(s), "CSVの列数(項目数)"), "resting on UpDown1 shows CSVの列数(項目数)");
    Check(HintShows(s, Centre(s.ToolButtonRect(IDM_SORT)), "データのソート"),
          "resting on the disabled SpeedButton2 shows データのソート");
    Check(TooltipShows(s, Centre(s.ToolButtonRect(IDM_OPEN)), "CSVファイルを開く"),
          "SpeedButton1's tooltip shows CSVファイルを開く");
    Check(HintShows(s, Centre(s.ItemRect(0)), ""), "the empty grid gives no hint");
    std::string shown;
    Check(s.MenuOpens('f', [&] { shown = s.Status(); }) && shown == "開く",
          "Alt+F opens the File menu; 開く(&O)... highlighted shows 開く, not [" + shown + "]");
    Check(s.MenuOpens('h', [&] { shown = s.Status(); }) && shown == "ユーザーズガイド",
          "Alt+H opens the Help menu; ユーザーズガイド(&G) highlighted shows its hint");
}

void SpinnerByMouse(Session& s)
{
    RemoteMemory memory(s.Process(), 8 * sizeof(UDACCEL));
    const int accelerations = static_cast<int>(
        SendMessageA(s.UpDown(), UDM_GETACCEL, 8, reinterpret_cast<LPARAM>(memory.Address())));
    UDACCEL first{};
    memory.Read(&first, sizeof first);
    Check(accelerations == 1 && first.nInc == 1, "the spinner has a single step of 1");

    bool each = true;
    for (int expected = 4; expected >= 1; --expected) each = ClickArrowTo(s, DownArrow(s), expected) && each;
    Check(each, "four clicks on the down arrow from 5 give 4, 3, 2, 1 columns");
    Click(DownArrow(s));
    Sleep(300);
    WaitIdle(s.Main());
    Check(Columns(s) == 1 && s.ColumnCount() == 1, "a fifth click leaves 1");

    const std::vector<int> up = HoldArrow(s, UpArrow(s), 255);
    Check(StepsOfOne(up) && up.back() == 255, "the held up arrow steps by 1 up to 255 (" +
                                                  std::to_string(up.size()) + " counts seen)");
    Check(ClickArrowTo(s, UpArrow(s), 255), "a click up at 255 leaves 255 columns");
    const std::vector<int> down = HoldArrow(s, DownArrow(s), 12);
    Check(StepsOfOne(down), "the held down arrow steps by 1 too");

    // Once the grid had the focus, a click still puts it into Edit1, and
    // the arrow keys change the count there.
    ClickWindow(s.Grid());
    WaitIdle(s.Main());
    Check(s.Focus() == s.Grid(), "a click in the grid gives it the focus");
    ClickWindow(s.Edit());
    WaitIdle(s.Main());
    Check(s.Focus() == s.Edit(), "a click in Edit1 gives it the focus back");
    while (Columns(s) > 3) {
        const int before = Columns(s);
        PressKey(VK_DOWN);
        if (!WaitUntil([&] { return Columns(s) == before - 1; }, 2)) break;
    }
    WaitIdle(s.Main());
    Check(Columns(s) == 3 && s.ColumnCount() == 3, "Down keys in Edit1 bring the count to 3");
}

// ---- The commands.
void OpenFruit(Session& s, const std::string& fruit)
{
    // Ctrl+O, then Esc: nothing changes.
    s.Keys({VK_CONTROL}, 'O');
    HWND dialog = s.WaitWindow("#32770");
    Check(dialog != nullptr && WindowText(dialog) == "開く", "Ctrl+O shows the open dialog");
    if (dialog) {
        WaitForeground(dialog);
        PressKey(VK_ESCAPE);
        Check(s.WaitGone(dialog), "Esc cancels the open dialog");
    }
    Check(s.ItemCount() == 1, "a cancelled Open changes nothing");

    s.ClickToolButton(IDM_OPEN);
    Screenshot("open_dialog");
    s.TypeIntoOpenDialog(fruit);
    WaitUntil([&] { return s.ItemCount() == 4; }, 10);
    Check(s.ItemCount() == 4, "fruit.csv opened by SpeedButton1 at 3 columns gives 4 data rows");
    Check(s.Header(0) == "no" && s.Header(1) == "品名" && s.Header(2) == "産地", "the header row is no 品名 産地");
    Check(s.Cell(0, 0) == "1" && s.Cell(0, 1) == "りんご" && s.Cell(3, 2) == "青森", "cells as in the file");
    std::string shown = "?";
    Check(s.MenuOpens('r', [&] { shown = s.Status(); }), "Open enables the Run menu");
    Check(shown.empty(), "分割保存(&C) highlighted empties the status bar");
    Check(s.ButtonEnabled(IDM_SORT) && s.ButtonEnabled(IDM_SPLIT), "Open enables the sort and split buttons");
    Screenshot("main_window");
}

void GridByHand(Session& s)
{
    Click(Centre(s.ItemRect(2)));
    WaitIdle(s.Main());
    Check(s.SelectedItem() == 2 && s.Focus() == s.Grid(), "a click on the third data row makes it current");
    CheckSelection(s, "a click");
    PressKey(VK_DOWN);
    WaitIdle(s.Main());
    Check(s.SelectedItem() == 3, "Down moves to the next row");
    CheckSelection(s, "Down");
    PressKey(VK_UP);
    PressKey(VK_UP);
    WaitIdle(s.Main());
    Check(s.SelectedItem() == 1, "Up twice moves back two rows");
    CheckSelection(s, "Up");
    PressKey(VK_HOME);
    WaitIdle(s.Main());
    Check(s.SelectedItem() == 0, "Home goes to the first data row");
    CheckSelection(s, "Home");
    PressKey(VK_END);
    WaitIdle(s.Main());
    Check(s.SelectedItem() == 3, "End goes to the last data row");
    CheckSelection(s, "End");
    PressKey(VK_HOME);
    WaitIdle(s.Main());
    PressKey(VK_NEXT);
    WaitIdle(s.Main());
    Check(s.SelectedItem() == 3, "Page Down goes to the last row in sight");
    CheckSelection(s, "Page Down");
    PressKey('X');
    PressKey('1');
    Sleep(200);
    WaitIdle(s.Main());
    Check(s.SelectedItem() == 3, "typing in the grid leaves the current row alone");
    Click(Centre(s.HeaderItemRect(1)));
    WaitIdle(s.Main());
    Check(s.SelectedItem() == 3, "a click on the fixed header row selects nothing");

    // A column border in the header dragged 30 pixels to the right.
    const RECT first = s.HeaderItemRect(0);
    const int before = s.ColumnWidth(0);
    Drag(POINT{first.right - 1, (first.top + first.bottom) / 2}, POINT{first.right + 29, (first.top + first.bottom) / 2});
    WaitIdle(s.Main());
    Check(s.ColumnWidth(0) == before + 30, "dragging a header border widens that column by 30 (" +
                                               std::to_string(before) + " to " + std::to_string(s.ColumnWidth(0)) + ")");
}

void SortByHand(Session& s)
{
    // The Run menu by its letters; the first showing has the focus on OK.
    s.ChooseMenuItem('r', 's');
    ColumnDialog d = WaitColumnDialog(s);
    CheckDialog(d, "ソート", "ソート基準項目(&S):", 3);
    Check(s.Focus() == d.ok, "the first showing puts the focus on OK");
    PressKey(VK_TAB);
    Check(s.Focus() == d.cancel, "Tab goes to キャンセル");
    PressKey(VK_TAB);
    Check(s.Focus() == d.combo, "then to the list");
    PressKey(VK_TAB);
    Check(s.Focus() == d.ok, "then back to OK");
    PressKeys({VK_SHIFT}, VK_TAB);
    Check(s.Focus() == d.combo, "Shift+Tab goes back to the list");
    PressKey(VK_DOWN);
    Check(d.Selected() == 1, "Down in the list selects the next entry");
    TypeText(L"産");
    Check(d.Selected() == 2, "typing 産 selects 産地");
    Sleep(600);
    TypeText(L"品");
    Check(d.Selected() == 1, "after a pause, typing 品 selects 品名");
    Screenshot("column_dialog");
    PressKey(VK_RETURN);
    Check(s.WaitGone(d.window), "Enter in the list closes the dialog");
    MessageBoxWindow notice = WaitMessageWindow(s);
    Check(notice.caption == "Quorvel" && notice.text == "ソート完了", "the notice says ソート完了");
    // Ctrl+C copies the notice.
    std::string copied;
    const std::string expected =
        kDivider + "Quorvel\r\n" + kDivider + "ソート完了\r\n" + kDivider + "OK   \r\n" + kDivider;
    if (OpenClipboard(nullptr)) {  // nothing left from an earlier run
        EmptyClipboard();
        CloseClipboard();
    }
    PressKeys({VK_CONTROL}, 'C');
    WaitUntil([&] {
        if (!OpenClipboard(nullptr)) return false;
        if (HANDLE data = GetClipboardData(CF_TEXT)) {
            if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
                copied = bytes;
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
        return copied == expected;
    }, 3);
    Check(copied == expected, "Ctrl+C puts the notice on the clipboard");
    PressKey(VK_RETURN);
    Check(s.WaitGone(notice.window), "Enter closes the notice");
    Check(s.Cell(0, 1) == "ぶどう" && s.Cell(1, 1) == "みかん" && s.Cell(2, 1) == "もも" && s.Cell(3, 1) == "りんご",
          "sorted by 品名: ぶどう みかん もも りんご");
    Check(s.Header(1) == "品名" && s.SelectedItem() == 0, "the header row stays; row 1 is current");
    CheckSelection(s, "a sort");

    // The button; the focus comes back to the list; Esc cancels.
    s.ClickToolButton(IDM_SORT);
    d = WaitColumnDialog(s);
    Check(d.window && s.Focus() == d.combo, "the next showing puts the focus back on the list");
    PressKey(VK_ESCAPE);
    Check(s.WaitGone(d.window) && s.StaysAway("TMessageForm"), "Esc cancels: no sort, no notice");

    // キャンセル clicked; the next showing has the focus there, and Enter
    // presses it.
    s.ClickToolButton(IDM_SORT);
    d = WaitColumnDialog(s);
    ClickWindow(d.cancel);
    Check(s.WaitGone(d.window) && s.StaysAway("TMessageForm"), "a click on キャンセル cancels");
    s.ClickToolButton(IDM_SORT);
    d = WaitColumnDialog(s);
    Check(s.Focus() == d.cancel, "after キャンセル, the next showing puts the focus on キャンセル");
    PressKey(VK_RETURN);
    Check(s.WaitGone(d.window) && s.StaysAway("TMessageForm"), "Enter presses the focused キャンセル: no sort");

    // The close button cancels; then OK by Shift+Tab and Enter sorts.
    s.ClickToolButton(IDM_SORT);
    d = WaitColumnDialog(s);
    s.ClickCloseButton(d.window);
    Check(s.WaitGone(d.window) && s.StaysAway("TMessageForm"), "the dialog's close button cancels");
    s.ClickToolButton(IDM_SORT);
    d = WaitColumnDialog(s);
    Check(PickByKeys(s, d, 0), "the list by keys: entry no");
    PressKeys({VK_SHIFT}, VK_TAB);
    PressKeys({VK_SHIFT}, VK_TAB);
    Check(s.Focus() == d.ok, "Shift+Tab twice from the list reaches OK");
    PressKey(VK_RETURN);
    notice = WaitMessageWindow(s);
    Check(notice.text == "ソート完了", "Enter on OK sorts");
    PressKey(VK_ESCAPE);
    Check(s.WaitGone(notice.window), "Esc closes the notice");
    Check(s.Cell(0, 0) == "1" && s.Cell(3, 0) == "4", "sorted by no again");
}

void SplitByHand(Session& s, const std::string& work, const std::string& fruit)
{
    auto startSplit = [&] {
        s.ClickToolButton(IDM_SPLIT);
        ColumnDialog d = WaitColumnDialog(s);
        CheckDialog(d, "分割保存", "分割保存対象項目(&C):", 3);
        Check(PickByMouse(s, d, 2), "the list by mouse: a click opens it, a click chooses 産地");
        ClickWindow(d.ok);
        s.WaitGone(d.window);
        MessageBoxWindow box = WaitMessageWindow(s);
        Check(box.caption == "確認" && box.text == kQuestion, "the confirmation asks about 産地");
        return box;
    };
    MessageBoxWindow box = startSplit();
    Screenshot("confirmation_box");
    PressKey('N');
    Check(s.WaitGone(box.window) && Pieces(work, "fruit").empty(), "the N key answers No: nothing written");
    box = startSplit();
    PressKey(VK_ESCAPE);
    Check(s.WaitGone(box.window) && Pieces(work, "fruit").empty(), "Esc answers No: nothing written");
    box = startSplit();
    s.ClickCloseButton(box.window);
    Check(s.WaitGone(box.window) && Pieces(work, "fruit").empty(), "the close button is no Yes: nothing written");
    box = startSplit();
    ClickWindow(GetDlgItem(box.window, IDC_MESSAGE_NO));
    Check(s.WaitGone(box.window) && Pieces(work, "fruit").empty(), "a click on いいえ: nothing written");

    // A folder holds the first piece's name: the error box, no later piece.
    const std::string blocked = work + "\\fruit_青森.csv";
    CreateDirectoryA(blocked.c_str(), nullptr);
    box = startSplit();
    PressKey(VK_RETURN);
    s.WaitGone(box.window);
    HWND error = s.WaitWindow("#32770", 20);
    Check(error && WindowText(error) == "Quorvel" &&
              WindowText(GetDlgItem(error, 0xFFFF)) == "ファイル " + blocked + " を作成できません.",
          "Enter answers Yes; a folder in the way shows the error box with the path");
    if (error) {
        WaitForeground(error);
        PressKey(VK_RETURN);
        s.WaitGone(error);
    }
    Check(!Exists(work + "\\fruit_愛媛.csv") && s.StaysAway("TMessageForm"),
          "no piece after the one that failed, no 分割保存完了");
    RemoveDirectoryA(blocked.c_str());

    box = startSplit();
    PressKey('Y');
    s.WaitGone(box.window);
    MessageBoxWindow notice = WaitMessageWindow(s);
    Check(notice.text == "分割保存完了", "the Y key answers Yes: 分割保存完了");
    ClickWindow(GetDlgItem(notice.window, IDOK));
    Check(s.WaitGone(notice.window), "a click on OK closes the notice");
    Check(ReadAll(work + "\\fruit_青森.csv") == "1,りんご,青森\r\n4,もも,青森\r\n", "fruit_青森.csv byte for byte");
    Check(ReadAll(work + "\\fruit_愛媛.csv") == "2,みかん,愛媛\r\n3,ぶどう,愛媛\r\n", "fruit_愛媛.csv byte for byte");
    Check(Pieces(work, "fruit").size() == 2 && ReadAll(fruit) == kFruit, "two pieces; the input unchanged");
    Check(s.SelectedItem() == 3, "the last data row is current after the split");
    CheckSelection(s, "a split");
}

void MissingFile(Session& s, const std::string& work)
{
    const std::string missing = work + "\\missing.csv";
    s.ChooseMenuItem('f', 'o');
    s.TypeIntoOpenDialog(missing);
    HWND error = s.WaitWindow("#32770", 20);
    const std::string said = error ? WindowText(GetDlgItem(error, 0xFFFF)) : "(no box)";
    Check(said == "ファイル " + missing + " は開けません.",
          "Alt+F, O and a missing name: the error box with its \".\" (" + said + ")");
    if (error) {
        WaitForeground(error);
        PressKey(VK_RETURN);
        s.WaitGone(error);
    }
    Check(s.ItemCount() == 4 && s.Cell(0, 1) == "りんご", "the table still holds fruit.csv");
}

void ColumnDragged(Session& s)
{
    // Column 0 narrowed by its border first, so that its width is its own.
    const RECT first = s.HeaderItemRect(0);
    Drag(POINT{first.right - 1, (first.top + first.bottom) / 2}, POINT{first.right - 41, (first.top + first.bottom) / 2});
    WaitIdle(s.Main());
    const int width = s.ColumnWidth(0);
    const POINT from = Centre(s.HeaderItemRect(0));
    const RECT last = s.HeaderItemRect(2);
    Drag(from, POINT{last.right - 5, from.y}, 10);
    WaitIdle(s.Main());
    Check(s.Header(0) == "品名" && s.Header(1) == "産地" && s.Header(2) == "no",
          "dragging no by its header to the end: 品名 産地 no");
    Check(s.Cell(0, 0) == "りんご" && s.Cell(0, 2) == "1", "the cells moved with the column");
    Check(s.ColumnWidth(2) == width, "the width travelled with the column");
}

void TypeAheadInTheList(Session& s, const std::string& work)
{
    // Five columns for a header of five names, two of them double-byte.
    Check(ClickArrowTo(s, UpArrow(s), 4) && ClickArrowTo(s, UpArrow(s), 5), "two clicks up give 5 columns");
    const std::string file = work + "\\見出し.csv";
    WriteAll(file, "nb,no,品名,品番,産地\r\n1,2,3,4,5\r\n");
    s.Open(file);
    WaitUntil([&] { return s.Header(3) == "品番"; }, 10);
    Check(s.Header(3) == "品番" && s.ItemCount() == 1,
          "a file with a Japanese name opens (header " + s.Header(0) + " " + s.Header(3) + ")");
    s.ClickToolButton(IDM_SORT);
    ColumnDialog d = WaitColumnDialog(s);
    Check(FocusList(s, d), "the list has the focus");
    TypeText(L"no", 40);
    Check(d.Selected() == 1, "n and o typed quickly select no, not nb");
    Sleep(700);
    TypeText(L"n");
    Check(d.Selected() == 0, "after a pause, n alone selects nb");
    Sleep(700);
    TypeText(L"品番", 40);
    Check(d.Selected() == 3, "品番 typed quickly selects 品番");
    PressKey(VK_BACK);
    WaitIdle(d.window);
    Check(d.Selected() == 2, "Backspace leaves 品, which selects 品名");
    PressKey(VK_ESCAPE);
    s.WaitGone(d.window);
}

void OneRowTable(Session& s, const std::string& work)
{
    const std::string one = work + "\\one.csv";
    WriteAll(one, "a,b,c,d,e\r\n");
    s.Open(one);
    WaitUntil([&] { return s.HeaderHidden(); }, 5);
    Check(s.ItemCount() == 1 && s.HeaderHidden(), "one row: no fixed header, row 0 is the first line");
    Click(Centre(s.ItemRect(0)));
    WaitIdle(s.Main());
    Check(s.SelectedItem() == 0, "row 0 can be chosen once it is no longer fixed");
    s.ClickToolButton(IDM_SORT);
    ColumnDialog d = WaitColumnDialog(s);
    PressKey(VK_RETURN);
    s.WaitGone(d.window);
    HWND error = s.WaitWindow("#32770", 20);
    Check(error && WindowText(GetDlgItem(error, 0xFFFF)) == "グリッドインデックス が範囲を超えています.",
          "Sort on one row: the error box");
    if (error) {
        WaitForeground(error);
        PressKey(VK_ESCAPE);
        s.WaitGone(error);
    }
    Check(s.StaysAway("TMessageForm"), "no ソート完了 after the error");
}

// A file saved as "CSV UTF-8": its characters in the grid (𠮷 and an emoji
// too), "UTF-8" in the status bar, a sort by the readings, and pieces
// named by the characters of their keys, each beginning with the mark.
std::string ReadAllWide(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "(missing)";
    std::string bytes(1 << 16, '\0');
    DWORD got = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    bytes.resize(got);
    return bytes;
}

void Utf8File(Session& s, const std::string& work)
{
    const std::string mark = "\xEF\xBB\xBF";
    const std::string rows[] = {u8"1,東京都,千代田区,ちよだ,a\r\n", u8"2,奈良県,𠮷野町,よしの,🍎\r\n",
                                u8"3,東京都,髙橋,たかはし,b\r\n"};
    const std::string file = work + "\\pref.csv";
    WriteAll(file, mark + u8"id,都道府県,市区町村,読み,備考\r\n" + rows[0] + rows[1] + rows[2]);
    s.Open(file);
    WaitUntil([&] { return s.Header(1) == "都道府県"; }, 10);
    Check(s.Header(0) == "id" && s.Header(1) == "都道府県" && s.ItemCount() == 3,
          "a UTF-8 file with its mark opens: header id 都道府県, 3 data rows (" + s.Header(0) + " " + s.Header(1) +
              ", " + std::to_string(s.ItemCount()) + ")");
    Check(s.CellWide(1, 2) == L"\U00020BB7野町" && s.CellWide(1, 4) == L"\U0001F34E" && s.CellWide(2, 2) == L"髙橋",
          "the grid shows yoshino-cho (U+20BB7), the emoji and 髙橋 (" + std::to_string(s.CellWide(1, 2).size()) +
              " units, " + std::to_string(s.CellWide(2, 2).size()) + " units)");
    Check(s.Cell(0, 1) == "東京都", "and 東京都 as the ANSI code page reads it (" + s.Cell(0, 1) + ")");
    MoveMouse(Centre(s.ItemRect(1)));
    Check(WaitUntil([&] { return s.Status() == "UTF-8"; }, 5), "the status bar says UTF-8 (" + s.Status() + ")");
    Screenshot("utf8_file");

    s.ClickToolButton(IDM_SORT);
    ColumnDialog d = WaitColumnDialog(s);
    Check(PickByKeys(s, d, 3), "the sort dialog lists 読み");
    PressKey(VK_RETURN);
    s.WaitGone(d.window);
    MessageBoxWindow notice = WaitMessageWindow(s);
    PressKey(VK_RETURN);
    s.WaitGone(notice.window);
    Check(s.Cell(0, 0) == "3" && s.Cell(1, 0) == "1" && s.Cell(2, 0) == "2",
          "sorted by the readings: たかはし, ちよだ, よしの (" + s.Cell(0, 0) + s.Cell(1, 0) + s.Cell(2, 0) + ")");

    s.ClickToolButton(IDM_SPLIT);
    d = WaitColumnDialog(s);
    wchar_t entry[64] = {};
    SendMessageW(d.combo, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(entry));  // a local buffer: Wine carries it
    Check(std::wstring(entry) == L"市区町村", "the column list holds 市区町村 in wide text");
    Check(PickByKeys(s, d, 2), "the split dialog lists 市区町村");
    PressKey(VK_RETURN);
    s.WaitGone(d.window);
    MessageBoxWindow box = WaitMessageWindow(s);
    Check(box.text == "市区町村 を対象にCSVファイルを分割保存します。\n\nよろしいですか？",
          "the confirmation names 市区町村");
    PressKey('Y');
    s.WaitGone(box.window);
    notice = WaitMessageWindow(s);
    Check(notice.text == "分割保存完了", "分割保存完了");
    PressKey(VK_RETURN);
    s.WaitGone(notice.window);
    const std::wstring folder = Wide(work) + L"\\pref_";
    Check(ReadAllWide(folder + L"\U00020BB7野町.csv") == mark + rows[1], "pref_(U+20BB7)野町.csv: the mark and its row");
    Check(ReadAllWide(folder + L"髙橋.csv") == mark + rows[2], "pref_髙橋.csv: the mark and its row");
    Check(ReadAllWide(folder + L"千代田区.csv") == mark + rows[0], "pref_千代田区.csv: the mark and its row");
    Check(Pieces(work, "pref").size() == 3, "three pieces");
}

// The shell hands the guide and the information page to the recorder
// registered in this test prefix.
void HelpCommands(Session& s, const std::string& exe, const std::string& log)
{
    DeleteFileA(log.c_str());
    const std::string folder = exe.substr(0, exe.find_last_of('\\'));
    // The program hands the shell AppDir + "/Readme.txt"; Wine's shell
    // makes the slash a backslash before the program it starts sees it.
    const std::string guide = folder + "\\Readme.txt";
    const std::string info = "https://www.quorvel.jp/info.php?pf=w&sn=Quorvel";
    ClickWindow(s.Grid());
    WaitIdle(s.Main());
    PressKey(VK_F1);
    WaitUntil([&] { return ReadAll(log).find('\n') != std::string::npos; }, 10);
    Check(ReadAll(log) == guide + "\n", "F1 with the focus in the grid hands " + guide + " to the shell");
    s.ChooseMenuItem('h', 'i');
    WaitUntil([&] { return ReadAll(log).size() > guide.size() + 1; }, 10);
    Check(ReadAll(log) == guide + "\n" + info + "\n", "Alt+H, I hands " + info + " to the shell");
    s.ChooseMenuItem('h', 'g');
    WaitUntil([&] { return ReadAll(log).size() > guide.size() + info.size() + 2; }, 10);
    const bool third = ReadAll(log) == guide + "\n" + info + "\n" + guide + "\n";
    Check(third, "Alt+H, G hands the guide to the shell" + (third ? std::string() : " (log: " + ReadAll(log) + ")"));
}

// Associates text files and web addresses with the recorder. The test's
// prefix is its own: the program's start script runs in another.
void RegisterRecorder(const std::string& recorder, const std::string& log)
{
    const std::string command = "\"" + recorder + "\" \"" + log + "\" \"%1\"";
    auto set = [](const std::string& key, const std::string& value) {
        HKEY handle;
        if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
            ERROR_SUCCESS)
            Fatal("register the recorder at " + key);
        RegSetValueExA(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
        RegCloseKey(handle);
    };
    set(".txt", "QuorvelTestText");
    set("QuorvelTestText\\shell\\open\\command", command);
    for (const char* scheme : {"http", "https"}) {
        set(std::string(scheme), std::string("URL:") + scheme);
        set(std::string(scheme) + "\\shell\\open\\command", command);
    }
}

int RunScenario(const std::string& exe, const std::string& work, const std::string& recorder)
{
    const std::string fruit = work + "\\fruit.csv";
    WriteAll(fruit, kFruit);
    const std::string log = work + "\\shell.log";
    RegisterRecorder(recorder, log);
    SetDpi(96);
    {
        Session s(exe);
        StartState(s);
        UnreachableBeforeOpen(s);
        Hints(s);
        SpinnerByMouse(s);
        OpenFruit(s, fruit);
        GridByHand(s);
        SortByHand(s);
        SplitByHand(s, work, fruit);
        MissingFile(s, work);
        ColumnDragged(s);
        TypeAheadInTheList(s, work);
        Utf8File(s, work);
        OneRowTable(s, work);
        HelpCommands(s, exe, log);
        WaitForeground(s.Main());
        s.Keys({VK_CONTROL}, 'Q');
        Check(s.WaitExit() == 0, "Ctrl+Q ends the program with exit code 0");
    }
    BigFiles(exe, work);
    SpreadsheetFiles(exe, work);
    {
        Session s(exe, SW_SHOWMAXIMIZED);
        Check(IsZoomed(s.Main()) != FALSE, "started with show command 3, the window is maximised");
        s.ClickCloseButton(s.Main());
        Check(s.WaitExit() == 0, "its close button ends the program with exit code 0");
    }
    {
        Session s(exe, SW_SHOWMINNOACTIVE);
        Check(IsIconic(s.Main()) != FALSE && GetForegroundWindow() != s.Main(),
              "started with show command 7, the window is minimised and not active");
    }
    CheckLayoutAtEachDpi(exe, work);
    return Failures() == 0 ? 0 : 1;
}

// Ctrl+End in the grid of `items` rows: to the last row selected and the
// program idle.
void TimeCtrlEnd(Session& s, int items, double opened)
{
    WaitForeground(s.Main());
    ClickWindow(s.Grid());
    const auto scrollStart = std::chrono::steady_clock::now();
    PressKeys({VK_CONTROL}, VK_END);  // four key events, 25 ms apart
    // Asked from the item before the last: the list view looks through
    // the items after the one given.
    WaitUntil([&] {
        return SendMessageA(s.Grid(), LVM_GETNEXTITEM, static_cast<WPARAM>(items - 2), LVNI_FOCUSED) == items - 1;
    }, 30);
    WaitIdle(s.Main());
    const double scrolled = std::chrono::duration<double>(std::chrono::steady_clock::now() - scrollStart).count();
    CheckSelection(s, "Ctrl+End");
    std::printf("open: %d rows from Enter in the open dialog to the grid painted in %.2f s; Ctrl+End to the last row "
                "in %.3f s (0.1 s of it the keys' own pauses)\n",
                items, opened, scrolled);
}

// From OK in the open dialog to the grid painted, on a big file copied
// into the work folder; then a sort and a split by its third column. A
// file over the grid's cap (`preview`) opens as a preview and is split
// whole, with the progress window; it is not sorted.
int BenchOpen(const std::string& exe, const std::string& work, const std::string& original, bool preview,
              bool byLines = false)
{
    const std::string file = work + "\\bench.csv";
    CopyFileA(original.c_str(), file.c_str(), FALSE);
    Session s(exe);
    WaitForeground(s.Main());
    for (int i = 0; i < 3; ++i) PressKey(VK_UP);  // 8 columns
    WaitUntil([&] { return s.EditText() == "8"; }, 5);
    WaitIdle(s.Main());
    s.Keys({VK_CONTROL}, byLines ? 'L' : 'O');
    HWND dialog = s.WaitWindow("#32770");
    if (!dialog) Fatal("the open dialog appears");
    WaitForeground(dialog);
    PressKey(VK_END);
    PressKeys({VK_SHIFT}, VK_HOME);
    TypeText(Wide(file), 5);
    const auto start = std::chrono::steady_clock::now();
    PressKey(VK_RETURN);
    WaitUntil([&] { return s.ItemCount() > 1; }, 120);
    RedrawWindow(s.Grid(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    WaitIdle(s.Main());
    const double opened = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const int items = s.ItemCount();
    if (byLines) {
        std::printf("open by lines: %d rows from Enter in the open dialog to the grid painted in %.2f s\n", items,
                    opened);
        WaitForeground(s.Main());
        s.Keys({VK_CONTROL}, 'Q');
        s.WaitExit();
        return 0;
    }
    if (preview) {
        std::printf("open of a file over the cap: the first %d rows from Enter in the open dialog to the grid painted "
                    "in %.2f s\n",
                    items, opened);
    } else {
        TimeCtrlEnd(s, items, opened);
    }
    auto timed = [&](int command, const char* done, bool confirm) {
        s.ClickToolButton(command);
        ColumnDialog d = WaitColumnDialog(s);
        PickByKeys(s, d, 2);
        // From Enter in the column dialog (or in the confirmation) to the
        // completion notice.
        auto begin = std::chrono::steady_clock::now();
        PressKey(VK_RETURN);
        if (confirm) {
            MessageBoxWindow box = WaitMessageWindow(s, 10);
            begin = std::chrono::steady_clock::now();
            PressKey(VK_RETURN);
            s.WaitGone(box.window);
        }
        MessageBoxWindow notice = WaitMessageWindow(s, 120);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        Check(notice.text == done, done);
        PressKey(VK_RETURN);
        s.WaitGone(notice.window);
        return seconds;
    };
    if (preview) {
        std::printf("split of the whole file by column 2 through the window, with the progress window: %.2f s\n",
                    timed(IDM_SPLIT, "分割保存完了", true));
    } else {
        std::printf("sort by column 2 through the window: %.2f s\n", timed(IDM_SORT, "ソート完了", false));
        std::printf("split by column 2 through the window: %.2f s\n", timed(IDM_SPLIT, "分割保存完了", true));
    }
    WaitForeground(s.Main());
    s.Keys({VK_CONTROL}, 'Q');
    s.WaitExit();
    return 0;
}

// Starts the program, waits for its window, ends it with Ctrl+Q: the
// unpacked package's window test.
int StartStop(const std::string& exe)
{
    Session s(exe);
    Check(WindowText(s.Main()) == "Quorvel", "the window starts from " + exe);
    WaitForeground(s.Main());
    s.Keys({VK_CONTROL}, 'Q');
    Check(s.WaitExit() == 0, "Ctrl+Q ends it with exit code 0");
    return Failures() == 0 ? 0 : 1;
}

// Prints the product version of a program's version resource.
int PrintVersionOf(const std::string& program)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(program.c_str(), &ignored);
    std::vector<char> info(size ? size : 1);
    if (!size || !GetFileVersionInfoA(program.c_str(), 0, size, info.data())) return 1;
    char* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(info.data(), "\\StringFileInfo\\041103A4\\ProductVersion", reinterpret_cast<void**>(&value),
                        &length))
        return 1;
    std::printf("%s\n", value);
    return 0;
}

}  // namespace
}  // namespace quorvel::e2e

int main(int argc, char** argv)
{
    // Screen coordinates as the screen has them, whatever its dots per inch.
    SetProcessDPIAware();
    if (argc == 3 && std::string(argv[1]) == "--start-stop") return quorvel::e2e::StartStop(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "--version-of") return quorvel::e2e::PrintVersionOf(argv[2]);
    if (argc < 4) {
        std::fprintf(stderr, "usage: quorvel_e2e QUORVEL.EXE WORKDIR RECORDER.EXE [--screenshots DIR] [--xdnd XDND_DROP.PY]\n"
                             "       quorvel_e2e QUORVEL.EXE WORKDIR --bench-open FILE\n"
                             "       quorvel_e2e QUORVEL.EXE WORKDIR --bench-preview FILE\n"
                             "       quorvel_e2e QUORVEL.EXE WORKDIR --bench-open-lines FILE\n"
                             "       quorvel_e2e QUORVEL.EXE WORKDIR --big-files\n"
                             "       quorvel_e2e QUORVEL.EXE WORKDIR --spreadsheet-files [--xdnd XDND_DROP.PY]\n"
                             "       quorvel_e2e --start-stop QUORVEL.EXE\n"
                             "       quorvel_e2e --version-of PROGRAM.EXE\n");
        return 2;
    }
    const std::string exe = argv[1], work = argv[2];
    const std::string mode = argv[3], file = argc > 4 ? argv[4] : "";
    if (mode == "--bench-open") return quorvel::e2e::BenchOpen(exe, work, file, false);
    if (mode == "--bench-preview") return quorvel::e2e::BenchOpen(exe, work, file, true);
    if (mode == "--bench-open-lines") return quorvel::e2e::BenchOpen(exe, work, file, false, true);
    for (int i = 4; i + 1 < argc; i += 2)
        if (std::string(argv[i]) == "--xdnd") quorvel::e2e::SetDropTool(argv[i + 1]);
    if (mode == "--spreadsheet-files") {
        for (int i = 4; i + 1 < argc; i += 2)
            if (std::string(argv[i]) == "--screenshots") quorvel::e2e::SetScreenshotFolder(argv[i + 1]);
        quorvel::e2e::SpreadsheetFiles(exe, work);
        return quorvel::e2e::Failures() == 0 ? 0 : 1;
    }
    if (mode == "--big-files") {
        for (int i = 4; i + 1 < argc; i += 2)
            if (std::string(argv[i]) == "--screenshots") quorvel::e2e::SetScreenshotFolder(argv[i + 1]);
        quorvel::e2e::BigFiles(exe, work);
        return quorvel::e2e::Failures() == 0 ? 0 : 1;
    }
    for (int i = 4; i + 1 < argc; i += 2)
        if (std::string(argv[i]) == "--screenshots") quorvel::e2e::SetScreenshotFolder(argv[i + 1]);
    return quorvel::e2e::RunScenario(exe, work, argv[3]);
}
