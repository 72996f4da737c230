// The main window's commands: Open, Exit, Sort, Split-save, the spinner
// and the two help commands.
#include <windows.h>
#include <shellapi.h>

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include "core/read/csv_open.h"
#include "core/read/record_reader.h"
#include "core/split/file_split.h"
#include "core/table/row_sort.h"
#include "core/text/text_encoding.h"
#include "core/interface/collation.h"
#include "system/system_services.h"
#include "ui/Mainwindow1.h"
#include "ui/app_paths.h"
#include "ui/chunk_dialog.h"
#include "ui/message_window.h"
#include "ui/progress_window.h"
#include "ui/ui_texts.h"

namespace quorvel::ui {

namespace {

// What the file's text sorts by: the system's collation for its own code
// page, the portable one for a UTF-8 file (held by the caller).
const Collation& CollationOfFile(const FileEncoding& encoding, std::unique_ptr<Collation>& held)
{
    if (!encoding.IsUtf8()) return NativeCollation();
    held = CollationFor(encoding.codePage);
    return *held;
}

}  // namespace

void TMainForm1::Open1Click()
{
    if (!openDialog1_.Execute(Window())) return;
    lastOpenByLines_ = false;
    OpenRecordedPath(false);
}

void TMainForm1::OpenLines1Click()
{
    // The same dialog, with the same filter, folder and last name.
    if (!openDialog1_.Execute(Window())) return;
    lastOpenByLines_ = true;
    OpenRecordedPath(true);
}

void TMainForm1::OpenDroppedFile(const std::string& path)
{
    // As the last open command does with the file accepted in its dialog.
    openDialog1_.SetFileName(path);
    OpenRecordedPath(lastOpenByLines_);
}

void TMainForm1::OpenRecordedPath(bool byLines)
{
    const std::string path = openDialog1_.FileName();
    try {
        WaitCursor wait;
        // The table is untouched unless the whole read succeeds. The core's
        // paths are UTF-8. A file longer than the grid holds opens as a
        // preview of its first rows; the split then reads the whole file.
        const auto started = std::chrono::steady_clock::now();
        auto shown = started;
        const int32_t columns = table_.ColCount();
        const ReadProgressFunction progress = [&](const ReadProgress& read) {
            // A load that takes more than a second tells how far it is.
            const auto now = std::chrono::steady_clock::now();
            if (now - started < std::chrono::seconds(1) || now - shown < std::chrono::milliseconds(100)) return;
            shown = now;
            const int percent = read.fileSize ? static_cast<int>(read.bytesDone * 100 / read.fileSize) : 0;
            ShowStatusNow(LoadProgressText(percent, byLines ? read.records : read.tokens / static_cast<size_t>(columns)));
        };
        const EncodingChoice choice = EncodingChoice::Detect(SystemCodePage());
        // By lines the column count is the file's: the widest record's.
        encoding_ = byLines ? OpenCsvRecords(table_, PathFromSystem(path), choice, NativeFileSystem(), std::nullopt,
                                             OverCap::kPreview, progress)
                            : OpenCsvFile(table_, PathFromSystem(path), choice, NativeFileSystem(), OverCap::kPreview,
                                          progress);
    } catch (...) {
        SetHint(nullptr);
        throw;
    }
    tableByLines_ = byLines;
    if (byLines) {
        columnCount_ = table_.ColCount();
        toolBar1_.SetPosition(columnCount_);
    }
    sortLayoutColumn_ = -1;
    // Pieces are named after the file whose data the table holds: a
    // failed open leaves this as it was.
    loadedPath_ = path;
    stringGrid1_.SetUtf8(encoding_.IsUtf8());
    SetHint(nullptr);  // the status bar tells a UTF-8 file and a preview
    EnableRunCommands();
}

void TMainForm1::Exit1Click() { DestroyWindow(Window()); }

void TMainForm1::FillDialog()
{
    std::vector<std::string> names, utf8Names;
    for (int32_t c = 0; c < table_.ColCount(); ++c) {
        const std::string_view name = table_.ReadCell(c, 0);
        if (!encoding_.IsUtf8()) {
            names.emplace_back(name);
            continue;
        }
        // The list shows a UTF-8 name whole; type-ahead and the
        // confirmation read it in the ANSI code page ("?" for what it lacks).
        utf8Names.push_back(TextToUtf8(name, encoding_.codePage, Unconvertible::kReplacement));
        names.push_back(Utf8ToText(utf8Names.back(), SystemCodePage(), '?'));
    }
    dialogForm1_->SetEntries(names, encoding_.IsUtf8() ? &utf8Names : nullptr);
}

void TMainForm1::S1Click()
{
    if (!runEnabled_) return;
    FillDialog();
    dialogForm1_->SetTexts(text::kSortCaption, text::kSortLabel);
    if (dialogForm1_->ShowModal() != TDialogForm1::kOk) return;
    const int key = dialogForm1_->SelectedIndex();
    {
        WaitCursor wait;
        std::unique_ptr<Collation> held;
        SortDataRows(table_, key, CollationOfFile(encoding_, held));
    }
    // A split of the whole file sorts each piece as the table is sorted.
    sortLayoutColumn_ = table_.LayoutColumnOf(key);
    MessageBeep(0);
    ShowNotice(text::kSortDone);
}

void TMainForm1::N2Click()
{
    if (!runEnabled_) return;
    FillDialog();
    dialogForm1_->SetTexts(text::kSplitCaption, text::kSplitLabel);
    if (dialogForm1_->ShowModal() != TDialogForm1::kOk) return;
    if (!ShowConfirmation(SplitQuestion(dialogForm1_->SelectedText()))) return;
    const int key = dialogForm1_->SelectedIndex();
    if (table_.IsPreview()) {
        SplitWholeFile(key, 0, false);
        return;
    }
    {
        WaitCursor wait;
        // Pieces are named by the characters of their keys, through the
        // wide file functions; a UTF-8 file's pieces begin as it did.
        SplitTarget target{PathFromSystem(loadedPath_), encoding_.codePage, PathStyle::Windows(), NativeFileSystem()};
        target.namesInUtf8 = true;
        SplitOptions options;
        options.byteOrderMark = encoding_.byteOrderMark;
        WriteSplitPieces(table_, key, target, [this](int32_t row) { table_.SelectRow(row); }, split_, options);
    }
    MessageBeep(0);
    ShowNotice(text::kSplitDone);
}

void TMainForm1::L1Click()
{
    if (!runEnabled_) return;
    const std::optional<ChunkChoice> choice = AskChunkRows();
    if (!choice) return;
    SplitWholeFile(0, choice->rows, choice->headerLine);
}

void TMainForm1::SplitWholeFile(int32_t keyColumn, uint64_t chunkRows, bool headerLine)
{
    FileSplitRequest request;
    request.inputPath = PathFromSystem(loadedPath_);
    request.choice = EncodingChoice::Detect(SystemCodePage());
    request.byLines = tableByLines_;
    request.columns = ShownColumns::Of(table_);
    request.keyColumn = keyColumn;
    request.chunkRows = chunkRows;
    request.headerLine = headerLine;
    // Chunks keep the file's order; a split sorts each piece by the
    // table's last sort, as the table's own split would write it.
    std::unique_ptr<Collation> held;
    if (chunkRows == 0) {
        request.sortLayoutColumn = sortLayoutColumn_;
        request.collation = &CollationOfFile(encoding_, held);
    }
    request.pathStyle = PathStyle::Windows();
    request.namesInUtf8 = true;
    const StreamSplitResult result = RunWithProgress(
        [&request](SplitObserver& observer) { return SplitFileAsShown(request, NativeFileSystem(), &observer); });
    if (result.stopped) {
        ShowNotice(text::kSplitCancelled);
        return;
    }
    MessageBeep(0);
    ShowNotice(text::kSplitDone);
}

void TMainForm1::UpDown1Click()
{
    // Called only when the position has really changed.
    const int position = toolBar1_.Position();
    if (position == columnCount_) return;
    columnCount_ = position;
    table_.ChangeColCount(position);
}

void TMainForm1::G2Click()
{
    const std::string guide = GuidePath(AppDir);
    ShellExecuteA(Window(), "OPEN", guide.c_str(), "", "", SW_SHOW);
}

void TMainForm1::A2Click()
{
    const std::string address = InfoPageAddress(ExeBaseNameOf(exePath_, SystemCodePage()));
    ShellExecuteA(Window(), "OPEN", address.c_str(), "", "", SW_SHOW);
}

}  // namespace quorvel::ui
