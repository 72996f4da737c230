#include "spreadsheet_files.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "session.h"
#include "ui/resource.h"
#include "window_driver.h"

namespace quorvel::e2e {
namespace {

// A sheet as a spreadsheet program saves it as "CSV (コンマ区切り)": a
// value is quoted only when it holds a comma, a quote or a line break, so
// names with a half-width blank stand unquoted, and an empty last cell is
// a comma at the end of the line.
const char* const kStaff =
    "社員番号,氏名,部署,所在地,内線,備考\r\n"
    "1001,山田 太郎,営業部,東京都,301,\r\n"
    "1002,John Smith,総務部,大阪府,201,\r\n"
    "1003,佐藤花子,営業部,東京都,302,出張中\r\n"
    "1004,鈴木 一郎,開発部,福岡県,401,\r\n";

// Its pieces by 部署: a cell that would not read back as one is quoted.
const char* const kSalesPiece = "1001,\"山田 太郎\",営業部,東京都,301,\r\n1003,佐藤花子,営業部,東京都,302,出張中\r\n";
const char* const kGeneralPiece = "1002,\"John Smith\",総務部,大阪府,201,\r\n";
const char* const kDevelopmentPiece = "1004,\"鈴木 一郎\",開発部,福岡県,401,\r\n";

const char* const kPartedNote = "2 行目から表の行がファイルの行とずれています: 行単位で開く (Ctrl+L) で開き直せます";

// The UTF-8 sheet ("CSV UTF-8"), with its mark.
const std::string kMark = "\xEF\xBB\xBF";
const std::string kStaffUtf8 = kMark + u8"社員番号,氏名,部署,所在地,内線,備考\r\n"
                                       u8"1001,山田 太郎,営業部,東京都,301,\r\n"
                                       u8"1002,John Smith,総務部,大阪府,201,\r\n";

void OpenByLines(Session& s, const std::string& path)
{
    WaitForeground(s.Main());
    s.Keys({VK_CONTROL}, 'L');
    s.TypeIntoOpenDialog(path);
}

// The status bar with the pointer resting on the grid, where no hint shows.
std::string StatusOverGrid(Session& s, const std::string& expected)
{
    MoveMouse(CentreOf(s.Grid()));
    WaitUntil([&] { return s.Status() == expected; }, 5);
    return s.Status();
}

// The Linux path of a path of the driver's, through Wine's own mapping.
std::string UnixPath(const std::string& windowsPath)
{
    using ToUnix = char* (*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return {};
    char* unix = toUnix(Wide(windowsPath).c_str());
    if (!unix) return {};
    std::string path = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return path;
}

std::string xdndScript;  // the drop tool, when given

// Drops the file on the grid as a file manager does: the pointer moves
// there and the X drag-and-drop protocol hands the file over, which Wine
// turns into the window's WM_DROPFILES (Wine's own OLE drag and drop
// brings no WM_DROPFILES to a window that accepts files).
bool DropOnGrid(Session& s, const std::string& file)
{
    const POINT at = CentreOf(s.Grid());
    const std::string command = "/usr/bin/python3 " + UnixPath(xdndScript) + " " + UnixPath(file) + " " +
                                std::to_string(at.x) + " " + std::to_string(at.y);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string line = command;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    // A Linux program's exit status does not come through: the table tells.
    WaitForSingleObject(process.hProcess, 20000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

void DropBeforeAnyOpen(Session& s, const std::string& work)
{
    const std::string staff = work + "\\dropped.csv";
    WriteAll(staff, kStaff);
    Check(DropOnGrid(s, staff), "the drop tool runs");
    WaitUntil([&] { return s.Header(0) == "社員番号"; }, 10);
    // Five tokens a row: the header's sixth, 備考, begins row 1.
    Check(s.Header(0) == "社員番号" && s.EditText() == "5" && s.Cell(0, 0) == "備考" && s.Cell(0, 2) == "山田",
          "a file dropped before any open is read by tokens at the spinner's 5 (" + s.Cell(0, 0) + "|" +
              s.Cell(0, 2) + ")");
    const std::string note = "1 行目から表の行がファイルの行とずれています: 行単位で開く (Ctrl+L) で開き直せます";
    Check(StatusOverGrid(s, note) == note, "the status bar says so from line 1 (" + s.Status() + ")");
}

void DropAfterOpenByLines(Session& s, const std::string& work)
{
    const std::string memo = work + "\\dropped2.csv";
    WriteAll(memo, "区分,名前\r\nA,John Smith\r\nB,\r\n");
    Check(DropOnGrid(s, memo), "the drop tool runs");
    WaitUntil([&] { return s.Header(1) == "名前"; }, 10);
    Check(s.Header(1) == "名前" && s.EditText() == "2" && s.ItemCount() == 2 && s.Cell(0, 1) == "John Smith" &&
              s.Cell(1, 1).empty(),
          "after 行単位で開く a dropped file is read by lines: its 2 columns, John Smith in one cell (" +
              s.EditText() + ", " + s.Cell(0, 1) + ")");
    Check(StatusOverGrid(s, "行単位") == "行単位", "the status bar marks it read by lines");
}

// Split-save by the column of the entry, answered Yes.
void SplitBy(Session& s, int entry, const std::string& question)
{
    s.ClickToolButton(IDM_SPLIT);
    ColumnDialog d = WaitColumnDialog(s);
    Check(PickByKeys(s, d, entry), "the split dialog: entry " + std::to_string(entry) + " chosen by keys");
    PressKey(VK_RETURN);
    s.WaitGone(d.window);
    MessageBoxWindow box = WaitMessageWindow(s);
    Check(box.caption == "確認" && box.text == question, "the confirmation: " + box.text);
    PressKey('Y');
    s.WaitGone(box.window);
}

void ShiftJisSheetByLines(Session& s, const std::string& work)
{
    const std::string staff = work + "\\staff.csv";
    WriteAll(staff, kStaff);
    // The spinner stands at 5: the file's own 6 columns replace it.
    Check(s.EditText() == "5", "the spinner shows 5 before the open");
    OpenByLines(s, staff);
    WaitUntil([&] { return s.Header(0) == "社員番号"; }, 10);
    Check(s.EditText() == "6" && s.ColumnCount() == 6 && s.ItemCount() == 4,
          "Ctrl+L and a typed name: the spinner's box shows the file's 6 columns, 4 data rows (" + s.EditText() + ", " +
              std::to_string(s.ColumnCount()) + " x " + std::to_string(s.ItemCount()) + ")");
    Check(s.Cell(0, 1) == "山田 太郎" && s.Cell(1, 1) == "John Smith" && s.Cell(3, 1) == "鈴木 一郎",
          "山田 太郎 and John Smith stand each in one cell (" + s.Cell(0, 1) + "|" + s.Cell(1, 1) + ")");
    Check(s.Cell(0, 5).empty() && s.Cell(1, 5).empty() && s.Cell(2, 5) == "出張中" && s.Cell(0, 2) == "営業部",
          "the empty last cells are empty, 出張中 in 備考");
    const std::string status = StatusOverGrid(s, "行単位");
    Check(status == "行単位", "the status bar marks the table read by lines (" + status + ")");
    Screenshot("staff_by_lines");

    SplitBy(s, 2, "部署 を対象にCSVファイルを分割保存します。\n\nよろしいですか？");
    Check(NoticeSays(s, "分割保存完了", 30), "分割保存完了");
    Check(ReadAll(work + "\\staff_営業部.csv") == kSalesPiece, "staff_営業部.csv byte for byte");
    Check(ReadAll(work + "\\staff_総務部.csv") == kGeneralPiece, "staff_総務部.csv byte for byte");
    Check(ReadAll(work + "\\staff_開発部.csv") == kDevelopmentPiece, "staff_開発部.csv byte for byte");
    Check(Pieces(work, "staff").size() == 3, "three pieces, one per 部署");

    // The same file by 開く: the token list as specified, and the note.
    Check(s.EditText() == "6", "the spinner keeps 6");
    s.Open(staff);
    WaitUntil([&] { return s.Cell(0, 2) == "太郎"; }, 10);
    Check(s.Cell(0, 1) == "山田" && s.Cell(0, 2) == "太郎" && s.Cell(0, 3) == "営業部",
          "Ctrl+O reads the token list: 山田 and 太郎 in two cells, the row shifted (" + s.Cell(0, 1) + "|" +
              s.Cell(0, 2) + ")");
    const std::string note = StatusOverGrid(s, kPartedNote);
    Check(note == kPartedNote, "the status bar names line 2 and the way out (" + note + ")");
    Screenshot("staff_by_tokens");
    // A hint still shows over the note, and the note comes back after it.
    Check(s.MenuOpens('f', [&] {}), "the File menu opens");
    Check(StatusOverGrid(s, kPartedNote) == kPartedNote, "the note comes back once no hint shows");
}

void MenuItem(Session& s)
{
    std::string shown;
    const bool opened = s.MenuOpens('f', [&] {
        PressKey(VK_DOWN);  // 開く(&O)... is highlighted first; Down to the next item
        WaitUntil([&] { return s.Status() == "行単位で開く"; }, 3);
        shown = s.Status();
    });
    Check(opened && shown == "行単位で開く", "the item after 開く(&O)... has the hint 行単位で開く (" + shown + ")");
}

void Utf8SheetByLines(Session& s, const std::string& work)
{
    const std::string staff = work + "\\staff8.csv";
    WriteAll(staff, kStaffUtf8);
    OpenByLines(s, staff);
    WaitUntil([&] { return s.ItemCount() == 2 && s.CellWide(0, 1) == L"山田 太郎"; }, 10);
    Check(s.CellWide(0, 1) == L"山田 太郎" && s.CellWide(1, 1) == L"John Smith" && s.EditText() == "6",
          "a UTF-8 sheet with its mark by lines: 山田 太郎 in one cell, 6 columns");
    Check(s.Header(0) == "社員番号", "the mark belongs to no cell (" + s.Header(0) + ")");
    const std::string status = StatusOverGrid(s, "UTF-8 行単位");
    Check(status == "UTF-8 行単位", "the status bar: UTF-8 and the mark beside it (" + status + ")");
}

void QuotedLineBreakByLines(Session& s, const std::string& work)
{
    const std::string memo = work + "\\memo.csv";
    WriteAll(memo, "番号,メモ,担当\r\n1,\"一行目\r\n二行目\",A\r\n2,短い,B\r\n");
    OpenByLines(s, memo);
    WaitUntil([&] { return s.Cell(1, 1) == "短い"; }, 10);
    Check(s.EditText() == "3" && s.ItemCount() == 2 && s.Cell(0, 1) == "一行目\r\n二行目" && s.Cell(0, 2) == "A",
          "a quoted value holding a line break stays one cell of one row (" + s.Cell(0, 1) + ")");
}

// A sheet of more lines than the grid holds: opened by lines as a preview
// of its first records, split whole by lines.
constexpr int kBigRows = 1048565;
constexpr int kShownRows = 1048559;

std::string BigSheetRow(int i)
{
    const std::string n = std::to_string(i);
    return n + ",氏名 " + n + "," + std::string(1, "ABC"[i % 3]) + ",\r\n";
}

void BigSheetByLines(Session& s, const std::string& work)
{
    const std::string big = work + "\\bigsheet.csv";
    std::string text = "番号,氏名,区分,備考\r\n";
    for (int i = 1; i <= kBigRows; ++i) text += BigSheetRow(i);
    WriteAll(big, text);
    OpenByLines(s, big);
    WaitUntil([&] { return s.ItemCount() == kShownRows; }, 120);
    Check(s.ItemCount() == kShownRows && s.EditText() == "4" && s.Cell(kShownRows - 1, 1) == "氏名 1048559",
          "a sheet over the cap by lines: its first " + std::to_string(kShownRows) + " records, 4 columns (" +
              std::to_string(s.ItemCount()) + ")");
    const std::string status = "行単位  先頭 1,048,559 行を表示中: 分割保存はファイル全体が対象です";
    Check(StatusOverGrid(s, status) == status, "the status bar: " + s.Status());
    SplitBy(s, 2, "区分 を対象にCSVファイルを分割保存します。\n\nよろしいですか？");
    Check(s.WaitWindow("TProgressForm", 20) != nullptr, "the progress window shows");
    Check(NoticeSays(s, "分割保存完了", 300), "the split of the whole sheet ends with 分割保存完了");
    std::string a, b, c;
    for (int i = 1; i <= kBigRows; ++i) {
        const std::string n = std::to_string(i);
        (i % 3 == 0 ? a : i % 3 == 1 ? b : c) += n + ",\"氏名 " + n + "\"," + std::string(1, "ABC"[i % 3]) + ",\r\n";
    }
    Check(ReadAll(work + "\\bigsheet_A.csv") == a, "bigsheet_A.csv: every third record of the whole file, byte for byte");
    Check(ReadAll(work + "\\bigsheet_B.csv") == b && ReadAll(work + "\\bigsheet_C.csv") == c,
          "bigsheet_B.csv and bigsheet_C.csv");
}

}  // namespace

void SetDropTool(const std::string& script) { xdndScript = script; }

void SpreadsheetFiles(const std::string& exe, const std::string& work)
{
    Session s(exe);
    MenuItem(s);
    if (!xdndScript.empty()) DropBeforeAnyOpen(s, work);
    ShiftJisSheetByLines(s, work);
    Utf8SheetByLines(s, work);
    QuotedLineBreakByLines(s, work);
    if (!xdndScript.empty()) DropAfterOpenByLines(s, work);
    else std::printf("     (no --xdnd drop tool given: no drop tried)\n");
    BigSheetByLines(s, work);
    WaitForeground(s.Main());
    s.Keys({VK_CONTROL}, 'Q');
    Check(s.WaitExit() == 0, "Ctrl+Q ends the program");
}

}  // namespace quorvel::e2e
