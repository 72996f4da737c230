#include "big_files.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "session.h"
#include "ui/resource.h"
#include "window_driver.h"

namespace quorvel::e2e {
namespace {

// Data rows past the grid's 1,048,559: the file's rows 1 to kRows.
constexpr int kRows = 1048565;
constexpr int kShownRows = 1048559;
const char* const kPreviewStatus = "先頭 1,048,559 行を表示中: 分割保存はファイル全体が対象です";
const char* const kCancelled = "分割保存をキャンセルしました。ファイルは作成も置き換えもされていません";

std::string Row(int i) { return std::string(1, "ABC"[i % 3]) + "," + std::to_string(i) + ",x\r\n"; }

std::string BigFile()
{
    std::string text = "区分,番号,値\r\n";
    text.reserve(size_t{14} * kRows);
    for (int i = 1; i <= kRows; ++i) text += Row(i);
    return text;
}

bool NoWorkingFiles(const std::string& work)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((work + "\\~quorvel*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return true;
    std::printf("     (left: %s)\n", data.cFileName);
    FindClose(find);
    return false;
}

// The column dialog and the confirmation, answered by keys.
void StartSplit(Session& s, int entry)
{
    s.ClickToolButton(IDM_SPLIT);
    ColumnDialog d = WaitColumnDialog(s);
    Check(PickByKeys(s, d, entry), "the column dialog: entry " + std::to_string(entry) + " chosen by keys");
    PressKey(VK_RETURN);
    s.WaitGone(d.window);
    MessageBoxWindow box = WaitMessageWindow(s);
    Check(box.caption == "確認", "the confirmation as ever");
    PressKey(VK_RETURN);
    s.WaitGone(box.window);
}

std::string ProgressText(HWND progress) { return WindowText(GetDlgItem(progress, IDC_PROGRESS_TEXT)); }

// "37%  893,184 行  47 ファイル"
bool LooksLikeProgress(const std::string& text)
{
    const size_t percent = text.find("%  ");
    return percent != std::string::npos && percent > 0 && text.find(" 行  ") != std::string::npos &&
           text.size() > 10 && text.compare(text.size() - 9, 9, " ファイル") == 0;
}

void OpenPreview(Session& s, const std::string& big)
{
    WaitForeground(s.Main());
    for (int i = 0; i < 2; ++i) PressKey(VK_DOWN);  // 3 columns
    WaitUntil([&] { return s.EditText() == "3"; }, 5);
    s.Open(big);
    WaitUntil([&] { return s.ItemCount() == kShownRows; }, 120);
    Check(s.ItemCount() == kShownRows, "a file of " + std::to_string(kRows) + " data rows shows the first " +
                                           std::to_string(kShownRows) + " (" + std::to_string(s.ItemCount()) + ")");
    WaitUntil([&] { return s.Status() == kPreviewStatus; }, 5);
    Check(s.Status() == kPreviewStatus, "the status bar: " + s.Status());
    ClickWindow(s.Grid());
    PressKeys({VK_CONTROL}, VK_END);
    WaitUntil([&] { return s.SelectedItem() == kShownRows - 1; }, 20);
    Check(s.SelectedItem() == kShownRows - 1 && s.Cell(kShownRows - 1, 1) == std::to_string(kShownRows),
          "Ctrl+End: the last row shown is the file's row " + std::to_string(kShownRows));
    Screenshot("preview");
}

void CancelHalfway(Session& s, const std::string& work)
{
    // By 番号: a piece for every row, so that the split is still running
    // when the click lands.
    StartSplit(s, 1);
    HWND progress = s.WaitWindow("TProgressForm", 20);
    if (!progress) Fatal("the progress window shows");
    WaitUntil([&] { return LooksLikeProgress(ProgressText(progress)); }, 5);
    Check(LooksLikeProgress(ProgressText(progress)), "the progress window says " + ProgressText(progress));
    Check(WindowText(progress) == "分割保存" && WindowText(GetDlgItem(progress, IDCANCEL)) == "キャンセル",
          "its caption 分割保存 and its button キャンセル");
    Check(!IsWindowEnabled(s.Main()) && IsWindowVisible(s.Main()), "the main window shows but takes no command");
    Screenshot("progress_window");
    ClickWindow(GetDlgItem(progress, IDCANCEL));
    Check(NoticeSays(s, kCancelled, 120), "a click on キャンセル: the split stops and says so");
    Check(!IsWindow(progress) || !IsWindowVisible(progress), "the progress window is gone");
    std::vector<std::string> left = Pieces(work, "big");
    std::sort(left.begin(), left.end());
    Check(left == std::vector<std::string>{"big_5.csv", "big_A.csv"}, "no piece written, the old ones there");
    Check(ReadAll(work + "\\big_5.csv") == "keep 5\r\n" && ReadAll(work + "\\big_A.csv") == "keep A\r\n",
          "the files there before are unchanged");
    Check(NoWorkingFiles(work), "no working file left");
}

void SplitWhole(Session& s, const std::string& work, const std::string& big)
{
    StartSplit(s, 0);
    HWND progress = s.WaitWindow("TProgressForm", 20);
    Check(progress != nullptr, "the progress window shows");
    Check(NoticeSays(s, "分割保存完了", 300), "the split of the whole file ends with 分割保存完了");
    std::string a, b, c;
    for (int i = 1; i <= kRows; ++i) (i % 3 == 0 ? a : i % 3 == 1 ? b : c) += Row(i);
    Check(ReadAll(work + "\\big_A.csv") == a, "big_A.csv: every third row of the whole file, byte for byte");
    Check(ReadAll(work + "\\big_B.csv") == b && ReadAll(work + "\\big_C.csv") == c, "big_B.csv and big_C.csv");
    Check(ReadAll(work + "\\big_5.csv") == "keep 5\r\n" && ReadAll(big) == BigFile(),
          "another file and the input unchanged");
    Check(NoWorkingFiles(work), "no working file left");
}

// Alt+R, L: the chunk dialog, in front.
HWND OpenChunkDialog(Session& s)
{
    WaitForeground(s.Main());
    s.ChooseMenuItem('r', 'l');
    HWND dialog = s.WaitWindow("TChunkForm");
    if (!dialog) Fatal("Alt+R, L shows the chunk dialog");
    WaitForeground(dialog);
    return dialog;
}

// Chunks of one row: a piece per row, cancelled by Esc after some seconds
// of work; the many files made by then go again, within seconds.
void CancelLate(Session& s, const std::string& work)
{
    OpenChunkDialog(s);
    TypeText(L"1");
    PressKey(VK_RETURN);
    HWND progress = s.WaitWindow("TProgressForm", 20);
    if (!progress) Fatal("the progress window shows");
    Sleep(5000);
    const std::string before = ProgressText(progress);
    WaitForeground(progress);
    const auto start = GetTickCount64();
    PressKey(VK_ESCAPE);
    const bool cancelled = NoticeSays(s, kCancelled, 60);
    const double seconds = static_cast<double>(GetTickCount64() - start) / 1000;
    Check(cancelled && seconds < 20, "Esc after 5 s of chunks of one row (" + before + "): cancelled in " +
                                         std::to_string(seconds) + " s");
    std::vector<std::string> left = Pieces(work, "big");
    std::sort(left.begin(), left.end());
    Check(left == std::vector<std::string>{"big_5.csv", "big_A.csv", "big_B.csv", "big_C.csv"},
          "no chunk left, the files there before unchanged");
    Check(ReadAll(work + "\\big_5.csv") == "keep 5\r\n" && NoWorkingFiles(work), "big_5.csv as it was, no working file");
}

void Chunks(Session& s, const std::string& work)
{
    HWND dialog = OpenChunkDialog(s);
    HWND rows = GetDlgItem(dialog, IDC_CHUNK_ROWS);
    HWND header = GetDlgItem(dialog, IDC_CHUNK_HEADER);
    Check(WindowText(dialog) == "行数で分割保存" && WindowText(rows) == "1000000" &&
              SendMessageA(header, BM_GETCHECK, 0, 0) == BST_CHECKED,
          "the chunk dialog: 1000000 rows, the header checked");
    Check(s.Focus() == rows, "the row count has the focus");
    Screenshot("chunk_dialog");
    TypeText(L"0");
    PressKey(VK_RETURN);
    Check(NoticeSays(s, "行数には 1 以上の整数を入力してください", 10), "0 rows: a notice, the dialog stays");
    WaitForeground(dialog);
    WaitUntil([&] { return s.Focus() == rows; }, 3);
    PressKey(VK_END);
    PressKeys({VK_SHIFT}, VK_HOME);
    TypeText(L"400000");
    Check(WaitUntil([&] { return WindowText(rows) == "400000"; }, 3), "400000 typed");
    PressKey(VK_RETURN);
    s.WaitGone(dialog);
    Check(NoticeSays(s, "分割保存完了", 300), "the chunks end with 分割保存完了");
    const std::string head = "区分,番号,値\r\n";
    std::string chunk[3] = {head, head, head};
    for (int i = 1; i <= kRows; ++i) chunk[(i - 1) / 400000] += Row(i);
    Check(ReadAll(work + "\\big_1.csv") == chunk[0], "big_1.csv: the header and rows 1 to 400000");
    Check(ReadAll(work + "\\big_2.csv") == chunk[1], "big_2.csv: the header and rows 400001 to 800000");
    Check(ReadAll(work + "\\big_3.csv") == chunk[2], "big_3.csv: the header and the rest");
    Check(!Exists(work + "\\big_4.csv") && NoWorkingFiles(work), "three chunks, no working file");
}

// A spreadsheet's "CSV UTF-8" over the cap: the same preview, and pieces
// named by their keys' characters, each beginning with the byte order mark.
void Utf8Preview(Session& s, const std::string& work)
{
    const std::string bom = "\xEF\xBB\xBF", tokyo = "\xE6\x9D\xB1\xE4\xBA\xAC", osaka = "\xE5\xA4\xA7\xE9\x98\xAA";
    std::string text = bom + "k,n,v\r\n", east = bom, west = bom;
    for (int i = 1; i <= kShownRows + 2; ++i) {
        const std::string line = (i % 2 ? tokyo : osaka) + "," + std::to_string(i) + ",x\r\n";
        text += line;
        (i % 2 ? east : west) += line;
    }
    const std::string file = work + "\\big8.csv";
    WriteAll(file, text);
    s.Open(file);
    MoveMouse(CentreOf(s.Grid()));  // off the tool bar, whose hints the status bar shows
    const std::string status = std::string("UTF-8  ") + kPreviewStatus;
    WaitUntil([&] { return s.Status() == status; }, 120);
    Check(s.Status() == status && s.ItemCount() == kShownRows, "a UTF-8 file over the cap: " + s.Status());
    StartSplit(s, 0);
    Check(NoticeSays(s, "分割保存完了", 300), "its split ends with 分割保存完了");
    Check(ReadAll(work + "\\big8_東京.csv") == east && ReadAll(work + "\\big8_大阪.csv") == west,
          "big8_東京.csv and big8_大阪.csv: the mark, then their rows of the whole file");
}

}  // namespace

void BigFiles(const std::string& exe, const std::string& work)
{
    const std::string big = work + "\\big.csv";
    WriteAll(big, BigFile());
    WriteAll(work + "\\big_5.csv", "keep 5\r\n");
    WriteAll(work + "\\big_A.csv", "keep A\r\n");
    Session s(exe);
    OpenPreview(s, big);
    CancelHalfway(s, work);
    SplitWhole(s, work, big);
    CancelLate(s, work);
    Chunks(s, work);
    Utf8Preview(s, work);
    WaitForeground(s.Main());
    s.Keys({VK_CONTROL}, 'Q');
    Check(s.WaitExit() == 0, "Ctrl+Q ends the program");
}

}  // namespace quorvel::e2e
