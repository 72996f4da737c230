// MainForm1 (TMainForm1): the main window with its menu bar, tool bar,
// grid and status bar, the table it shows, and its commands.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "core/table/cell_table.h"
#include "core/split/split_writer.h"
#include "core/text/text_encoding.h"
#include "ui/Dialogwindow1.h"
#include "ui/grid_view.h"
#include "ui/open_dialog.h"
#include "ui/tool_bar.h"
#include "ui/win32_util.h"
#include "ui/window_base.h"

namespace quorvel::ui {

class TMainForm1 final : public WindowBase {
public:
    explicit TMainForm1(HINSTANCE instance);

    // Builds the window and its components, hidden.
    void Create();
    void Show(int showCommand);
    HACCEL Accelerators() const { return accelerators_.Get(); }
    HFONT Font() const { return font_.Get(); }
    const Scaler& Scale() const { return scale_; }

    void SetDialog(TDialogForm1* dialog) { dialogForm1_ = dialog; }
    // The recorded input path: the file last accepted in the open dialog or
    // dropped on the window.
    const std::string& InputPath() const { return openDialog1_.FileName(); }

    // Idle processing: the grid catches up with the current row, and the
    // status bar shows the hint of what lies under the pointer.
    void OnIdle();

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCreate();
    void OnSize();
    void OnCommand(UINT id);
    LRESULT OnNotify(NMHDR* header);
    void OnMenuSelect(UINT item, UINT flags, HMENU menu);
    void OnActivate(bool active);
    Menu BuildMenu();
    void SetHint(const char* hint);
    // How the table's file was read, for the status bar: "UTF-8", "行単位".
    std::string ReadingMarks() const;
    // Shows the text in the status bar at once, while the thread is busy.
    void ShowStatusNow(const std::string& text);
    void UpdateHintFromPointer();

    // Commands.
    void Open1Click();
    // Opens a file by its lines: one record a row, its columns the file's.
    void OpenLines1Click();
    void OpenDroppedFile(const std::string& path);
    // Reads the recorded input path into the table, by tokens or by lines.
    void OpenRecordedPath(bool byLines);
    void OnDropFiles(HDROP drop);
    void Exit1Click();
    void S1Click();
    void N2Click();
    void L1Click();
    // Splits the whole file the table was loaded from, as the table shows
    // it, with the progress window.
    void SplitWholeFile(int32_t keyColumn, uint64_t chunkRows, bool headerLine);
    void G2Click();
    void A2Click();
    void UpDown1Click();

    void EnableRunCommands();
    void FillDialog();

    HINSTANCE instance_;
    HWND statusBar_ = nullptr;
    HMENU menu_ = nullptr;
    AcceleratorTable accelerators_;
    GdiObject<HFONT> font_;
    Scaler scale_;

    CellTable table_;
    GridView stringGrid1_{table_};
    ToolBar toolBar1_;
    OpenDialog openDialog1_;
    TDialogForm1* dialogForm1_ = nullptr;

    std::string AppDir;
    std::string exePath_;
    SplitState split_;          // GroupKey and LineText of the last split
    std::string loadedPath_;    // the file whose data the table holds
    FileEncoding encoding_{CodePage()};  // how that file was read
    int32_t sortLayoutColumn_ = -1;      // the last sort's column in the file's layout
    bool tableByLines_ = false;          // the table's file was read by lines
    bool lastOpenByLines_ = false;       // the last open command read by lines: a drop reads so too
    bool runEnabled_ = false;
    int columnCount_ = 5;
    bool menuOpen_ = false;
    std::string hint_;
    HWND focus_ = nullptr;
};

extern const char* const kMainWindowClass;

}  // namespace quorvel::ui
