// StringGrid1: the table in a virtual list view. It reads only the cells
// it paints, so a million rows scroll at once. While the table has a fixed
// header row, that row is the list's column header; once FixedRows falls
// to 0, the header is hidden and row 0 is the first line.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "core/table/cell_table.h"
#include "ui/win32_util.h"

namespace quorvel::ui {

class GridView final : public TableObserver {
public:
    GridView(CellTable& table) : table_(table) {}
    GridView(const GridView&) = delete;
    GridView& operator=(const GridView&) = delete;

    void Create(HWND parent, HINSTANCE instance, HFONT font, const Scaler& scale);
    HWND Window() const { return list_; }
    HIMAGELIST RowHeightImages() const { return rowHeight_.Get(); }

    // WM_NOTIFY from the list or its header; true when handled, with the
    // result in `result`.
    bool OnNotify(NMHDR* header, LRESULT& result);

    // TableObserver.
    void TableReset() override;
    void ExtentChanged() override;
    void CellChanged(int32_t col, int32_t row) override;
    void ColumnMoved(int32_t from, int32_t to) override;
    void CurrentRowChanged(int32_t row) override;

    // UTF-8 cells are shown through the wide list view text, so that every
    // character shows, whatever the ANSI code page; other text goes to the
    // view as it is.
    void SetUtf8(bool utf8);

    // Brings the view to the table's current row if it moved since.
    void ShowPendingRow();

    // Item index of a table row and back: row 0 is the header while the
    // table has a fixed row.
    int ItemOfRow(int32_t row) const { return row - table_.FixedRows(); }
    int32_t RowOfItem(int item) const { return item + table_.FixedRows(); }

private:
    void CaptureWidths();
    void SyncColumns();
    void SyncHeaderTexts();
    void SyncItemCount();
    void SyncFixedRows();
    void ShowCurrentRow();
    void ShowCurrentRowWhenIdle();
    void FillCellText(NMLVDISPINFOA* info);
    void FillCellText(NMLVDISPINFOW* info);
    void SetHeaderText(int column);
    // The list's own input, before and after the list handles it.
    static LRESULT CALLBACK ListInput(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR self);
    void ReleaseSelection();

    CellTable& table_;
    HWND list_ = nullptr;
    ImageList rowHeight_;
    Scaler scale_;
    std::vector<int> widths_;  // by column position, in pixels
    int shownColumns_ = 0;
    int shownFixedRows_ = -1;
    int shownItem_ = -1;       // the item last shown as the current row
    bool selecting_ = false;  // the view itself selects: no echo to the table
    bool pendingRow_ = false;  // the current row is to be shown when idle
    std::vector<std::string> headerTexts_;
    bool utf8_ = false;
};

}  // namespace quorvel::ui
