// The program's own texts, and the few rules that build them, kept apart
// from the windows so that they can be checked byte for byte anywhere.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/codepage.h"

namespace quorvel::ui {

namespace text {
extern const char* const kAppTitle;
extern const char* const kColumnsLabel;
extern const char* const kColumnsHint;
extern const char* const kOpenHint;
extern const char* const kSortHint;
extern const char* const kSplitHint;
extern const char* const kFileMenu;
extern const char* const kFileHint;
extern const char* const kOpenItem;
extern const char* const kOpenItemHint;
extern const char* const kOpenLinesItem;
extern const char* const kOpenLinesItemHint;
extern const char* const kByLinesMark;
extern const char* const kExitItem;
extern const char* const kExitItemHint;
extern const char* const kRunMenu;
extern const char* const kSplitItem;
extern const char* const kSortItem;
extern const char* const kHelpMenu;
extern const char* const kHelpHint;
extern const char* const kGuideItem;
extern const char* const kGuideItemHint;
extern const char* const kInfoItem;
extern const char* const kInfoItemHint;
extern const char* const kSortCaption;
extern const char* const kSortLabel;
extern const char* const kSplitCaption;
extern const char* const kSplitLabel;
extern const char* const kOk;
extern const char* const kCancel;
extern const char* const kYes;
extern const char* const kNo;
extern const char* const kConfirmCaption;
extern const char* const kSortDone;
extern const char* const kSplitDone;
extern const char* const kOpenTitle;
extern const char* const kOpenFilter;
extern const char* const kDefaultExtension;
extern const char* const kReadmeName;
extern const char* const kInfoPageBase;
extern const char* const kInfoPagePath;
extern const char* const kWindowCreateError;
extern const char* const kChunkItem;
extern const char* const kChunkItemHint;
extern const char* const kChunkCaption;
extern const char* const kChunkRowsLabel;
extern const char* const kChunkHeaderBox;
extern const char* const kChunkDefaultRows;
extern const char* const kChunkRowsInvalid;
extern const char* const kCancelling;
extern const char* const kSplitCancelled;
}  // namespace text

// The status bar of a table that holds only the first rows of its file.
std::string PreviewStatusText();

// The status bar of a table whose rows part from the file's lines from
// `line` on: "2 行目から表の行がファイルの行とずれています: ...".
std::string PartedLinesStatusText(uint64_t line);

// The status bar during a long load: "読み込み中 37%  512,000 行".
std::string LoadProgressText(int percent, uint64_t rows);

// The progress window's line: "37%  893,184 行  47 ファイル".
std::string SplitProgressText(int percent, uint64_t rows, uint64_t pieces);

// The rows per chunk as typed: a whole number from 1 on, digits only, or
// 0 when it is none.
uint64_t ParseChunkRows(std::string_view typed);

// The error box's text for a message: a "." is appended when the last
// character, compared bytewise with ".", is greater.
std::string ErrorBoxText(std::string_view message, const CodePage& codePage);

// The split command's question for the chosen column's header text.
std::string SplitQuestion(std::string_view header);

// A message window as the clipboard takes it on Ctrl+C: dividers, the
// caption, the text, the button captions without their "&".
std::string MessageClipboardText(std::string_view caption, std::string_view text,
                                 const std::vector<std::string>& buttons);

// The filter of the open dialog in the system's form: pairs separated by
// 0x00, the list ended by a second 0x00.
std::string OpenDialogFilter();

}  // namespace quorvel::ui
