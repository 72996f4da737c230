#include "ui/ui_texts.h"

#include "core/table_limits.h"

namespace quorvel::ui {

namespace text {
const char* const kAppTitle = "Quorvel";
const char* const kColumnsLabel = " 列数：";
const char* const kColumnsHint = "CSVの列数(項目数)";
const char* const kOpenHint = "CSVファイルを開く";
const char* const kSortHint = "データのソート";
const char* const kSplitHint = "分割保存";
const char* const kFileMenu = "ファイル(&F)";
const char* const kFileHint = "ファイル";
const char* const kOpenItem = "開く(&O)...";
const char* const kOpenItemHint = "開く";
const char* const kOpenLinesItem = "行単位で開く(&L)...";
const char* const kOpenLinesItemHint = "行単位で開く";
const char* const kByLinesMark = "行単位";
const char* const kExitItem = "終了(&X)";
const char* const kExitItemHint = "終了";
const char* const kRunMenu = "実行(&R)";
const char* const kSplitItem = "分割保存(&C)";
const char* const kSortItem = "ソート(&S)";
const char* const kHelpMenu = "ヘルプ(&H)";
const char* const kHelpHint = "ヘルプ";
const char* const kGuideItem = "ユーザーズガイド(&G)";
const char* const kGuideItemHint = "ユーザーズガイド";
const char* const kInfoItem = "インフォメーション(&I)...";
const char* const kInfoItemHint = "インフォメーション";
const char* const kSortCaption = "ソート";
const char* const kSortLabel = "ソート基準項目(&S):";
const char* const kSplitCaption = "分割保存";
const char* const kSplitLabel = "分割保存対象項目(&C):";
const char* const kOk = "OK";
const char* const kCancel = "キャンセル";
const char* const kYes = "はい(&Y)";
const char* const kNo = "いいえ(&N)";
const char* const kConfirmCaption = "確認";
const char* const kSortDone = "ソート完了";
const char* const kSplitDone = "分割保存完了";
const char* const kOpenTitle = "開く";
const char* const kOpenFilter = "CSVファイル (*.csv)|*.csv|すべてのファイル (*.*)|*.*";
const char* const kDefaultExtension = "csv";
// Not a text of the design: raised only when the system refuses a window.
const char* const kWindowCreateError = "ウィンドウ %s を作成できません";
const char* const kReadmeName = "/Readme.txt";
const char* const kInfoPageBase = "https://www.quorvel.jp/";
const char* const kInfoPagePath = "info.php?pf=w&sn=";
// Texts of the commands for files of any size, beside the design's own.
const char* const kChunkItem = "行数で分割保存(&L)...";
const char* const kChunkItemHint = "指定した行数ごとに分割保存";
const char* const kChunkCaption = "行数で分割保存";
const char* const kChunkRowsLabel = "1 ファイルのデータ行数(&R):";
const char* const kChunkHeaderBox = "各ファイルの先頭に見出し行を付ける(&H)";
const char* const kChunkDefaultRows = "1000000";
const char* const kChunkRowsInvalid = "行数には 1 以上の整数を入力してください";
const char* const kCancelling = "キャンセルしています...";
const char* const kSplitCancelled = "分割保存をキャンセルしました。ファイルは作成も置き換えもされていません";
}  // namespace text

namespace {

// 1048559 as "1,048,559".
std::string WithThousands(uint64_t number)
{
    std::string digits = std::to_string(number);
    for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
    return digits;
}

}  // namespace

std::string PreviewStatusText()
{
    return "先頭 " + WithThousands(MaxTableRows - 1) + " 行を表示中: 分割保存はファイル全体が対象です";
}

std::string PartedLinesStatusText(uint64_t line)
{
    return WithThousands(line) + " 行目から表の行がファイルの行とずれています: 行単位で開く (Ctrl+L) で開き直せます";
}

std::string LoadProgressText(int percent, uint64_t rows)
{
    return "読み込み中 " + std::to_string(percent) + "%  " + WithThousands(rows) + " 行";
}

std::string SplitProgressText(int percent, uint64_t rows, uint64_t pieces)
{
    return std::to_string(percent) + "%  " + WithThousands(rows) + " 行  " + WithThousands(pieces) + " ファイル";
}

uint64_t ParseChunkRows(std::string_view typed)
{
    constexpr uint64_t kMost = uint64_t{1} << 40;  // far more rows than any file holds
    if (typed.empty() || typed.size() > 13) return 0;
    uint64_t rows = 0;
    for (const char c : typed) {
        if (c < '0' || c > '9') return 0;
        rows = rows * 10 + static_cast<uint64_t>(c - '0');
    }
    return rows <= kMost ? rows : 0;
}

std::string ErrorBoxText(std::string_view message, const CodePage& codePage)
{
    if (message.empty()) return {};
    // The last character: two bytes when a lead byte begins it.
    size_t last = 0;
    for (size_t i = 0; i < message.size();) {
        last = i;
        i += (codePage.IsLeadByte(static_cast<uint8_t>(message[i])) && i + 1 < message.size()) ? 2 : 1;
    }
    const std::string_view tail = message.substr(last);
    if (tail.compare(".") > 0) return std::string(message) + ".";
    return std::string(message);
}

std::string SplitQuestion(std::string_view header)
{
    return std::string(header) + " を対象にCSVファイルを分割保存します。\n\nよろしいですか？";
}

std::string MessageClipboardText(std::string_view caption, std::string_view text,
                                 const std::vector<std::string>& buttons)
{
    const std::string divider = std::string(27, '-') + "\r\n";
    std::string out = divider;
    out.append(caption).append("\r\n").append(divider).append(text).append("\r\n").append(divider);
    for (const std::string& button : buttons) {
        for (const char c : button)
            if (c != '&') out.push_back(c);
        out.append("   ");
    }
    out.append("\r\n").append(divider);
    return out;
}

std::string OpenDialogFilter()
{
    std::string filter = text::kOpenFilter;
    for (char& c : filter)
        if (c == '|') c = '\0';
    filter.push_back('\0');
    return filter;
}

}  // namespace quorvel::ui
