#include "ui/grid_view.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "ui/application.h"
#include "ui/resource.h"

namespace quorvel::ui {

namespace {
constexpr int kDefaultColumnWidth = 80;
constexpr int kDefaultRowHeight = 16;
}  // namespace

void GridView::Create(HWND parent, HINSTANCE instance, HFONT font, const Scaler& scale)
{
    scale_ = scale;
    // No WS_TABSTOP: the view takes the focus only by mouse.
    list_ = CheckCreated(CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, nullptr,
                                         WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | LVS_REPORT | LVS_OWNERDATA |
                                             LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                                         0, 0, 0, 0, parent, reinterpret_cast<HMENU>(IDC_GRID), instance, nullptr),
                         WC_LISTVIEWA);
    SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP |
                                                 LVS_EX_DOUBLEBUFFER);
    // A list view's rows are as high as its small images: an empty image
    // list of the design row height sets it.
    // The view shares it (LVS_SHAREIMAGELISTS): this object destroys it,
    // once, after the view is gone.
    rowHeight_ = ImageList(ImageList_Create(1, scale(kDefaultRowHeight), ILC_COLOR, 0, 0));
    ListView_SetImageList(list_, rowHeight_.Get(), LVSIL_SMALL);
    SetWindowSubclass(list_, ListInput, 0, reinterpret_cast<DWORD_PTR>(this));
    table_.SetObserver(this);
    TableReset();
}

LRESULT CALLBACK GridView::ListInput(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR self)
{
    auto* grid = reinterpret_cast<GridView*>(self);
    switch (message) {
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: {
        // A list view that moves its selection first clears the old one,
        // and clears a selection of an owner-data list by visiting every
        // item (Wine's does, unless nothing is selected): on a million rows
        // most of a second for each key. So the current row gives up its
        // selection for the moment the list handles the input, and takes
        // it back, or the new row takes it, right after.
        grid->ReleaseSelection();
        const LRESULT result = DefSubclassProc(list, message, wParam, lParam);
        grid->ShowCurrentRow();
        return result;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(list, ListInput, 0);
        return DefSubclassProc(list, message, wParam, lParam);
    default:
        return DefSubclassProc(list, message, wParam, lParam);
    }
}

void GridView::ReleaseSelection()
{
    if (shownItem_ < 0 || shownItem_ >= ListView_GetItemCount(list_)) return;
    selecting_ = true;
    ListView_SetItemState(list_, shownItem_, 0, LVIS_SELECTED);
    selecting_ = false;
}

void GridView::SyncColumns()
{
    const int wanted = table_.ColCount();
    if (static_cast<int>(widths_.size()) < wanted) widths_.resize(static_cast<size_t>(wanted), scale_(kDefaultColumnWidth));
    CaptureWidths();
    while (shownColumns_ > wanted) ListView_DeleteColumn(list_, --shownColumns_);
    while (shownColumns_ < wanted) {
        LVCOLUMNA column{};
        column.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_FMT;
        column.fmt = LVCFMT_LEFT;
        column.cx = widths_[static_cast<size_t>(shownColumns_)];
        column.pszText = const_cast<char*>("");
        SendMessageA(list_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(shownColumns_), reinterpret_cast<LPARAM>(&column));
        ++shownColumns_;
    }
    SyncHeaderTexts();
}

void GridView::SyncHeaderTexts()
{
    headerTexts_.resize(static_cast<size_t>(shownColumns_));
    for (int c = 0; c < shownColumns_; ++c) {
        std::string text = table_.FixedRows() > 0 ? std::string(table_.ReadCell(c, 0)) : std::string();
        if (text == headerTexts_[static_cast<size_t>(c)] && !text.empty()) continue;
        headerTexts_[static_cast<size_t>(c)] = text;
        SetHeaderText(c);
    }
}

void GridView::SetHeaderText(int c)
{
    std::string& text = headerTexts_[static_cast<size_t>(c)];
    if (utf8_) {
        std::wstring wide = WideFromUtf8(text);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT;
        column.pszText = wide.data();
        SendMessageW(list_, LVM_SETCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
        return;
    }
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT;
    column.pszText = text.data();
    SendMessageA(list_, LVM_SETCOLUMNA, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
}

void GridView::SetUtf8(bool utf8)
{
    if (utf8 == utf8_) return;
    utf8_ = utf8;
    // The view asks for its text in wide characters from now on.
    SendMessageA(list_, CCM_SETUNICODEFORMAT, utf8 ? TRUE : FALSE, 0);
    for (int c = 0; c < static_cast<int>(headerTexts_.size()); ++c) SetHeaderText(c);
    InvalidateRect(list_, nullptr, TRUE);
}

void GridView::SyncFixedRows()
{
    if (shownFixedRows_ == table_.FixedRows()) return;
    shownFixedRows_ = table_.FixedRows();
    // Without a fixed row there is no header, and so no column sizing or
    // moving either.
    LONG_PTR style = GetWindowLongPtrA(list_, GWL_STYLE);
    style = shownFixedRows_ > 0 ? (style & ~LVS_NOCOLUMNHEADER) : (style | LVS_NOCOLUMNHEADER);
    SetWindowLongPtrA(list_, GWL_STYLE, style);
    SetWindowPos(list_, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
}

void GridView::SyncItemCount()
{
    const int items = table_.RowCount() - table_.FixedRows();
    SendMessageA(list_, LVM_SETITEMCOUNT, static_cast<WPARAM>(items), LVSICF_NOSCROLL);
}

void GridView::ShowCurrentRow()
{
    const int item = ItemOfRow(table_.CurrentRow());
    if (item < 0) return;
    selecting_ = true;
    // The current row is the view's selected and focused item, drawn in
    // the selection colours (NM_CUSTOMDRAW), so that whoever asks the view
    // for its selection (a screen reader, UI automation) finds it. Only the
    // old and the new item change: a list view that clears or sets a range
    // visits every item in it (Wine's does), which on a million rows takes
    // most of a second.
    const int rows = ListView_GetItemCount(list_);
    if (shownItem_ >= 0 && shownItem_ != item && shownItem_ < rows)
        ListView_SetItemState(list_, shownItem_, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemState(list_, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    shownItem_ = item;
    ListView_EnsureVisible(list_, item, FALSE);
    selecting_ = false;
}

void GridView::TableReset()
{
    pendingRow_ = false;
    SyncFixedRows();
    SyncColumns();
    SyncItemCount();
    ShowCurrentRow();
    InvalidateRect(list_, nullptr, TRUE);
}

void GridView::ExtentChanged() { TableReset(); }

void GridView::CellChanged(int32_t col, int32_t row)
{
    if (row < table_.FixedRows()) {
        SyncHeaderTexts();
        return;
    }
    (void)col;
    const int item = ItemOfRow(row);
    ListView_RedrawItems(list_, item, item);
}

void GridView::CaptureWidths()
{
    for (int c = 0; c < shownColumns_ && c < static_cast<int>(widths_.size()); ++c)
        widths_[static_cast<size_t>(c)] = ListView_GetColumnWidth(list_, c);
}

void GridView::ColumnMoved(int32_t from, int32_t to)
{
    // The width travels with the column.
    CaptureWidths();
    if (from < static_cast<int32_t>(widths_.size()) && to < static_cast<int32_t>(widths_.size())) {
        auto at = [this](int32_t i) { return widths_.begin() + i; };
        if (from < to) std::rotate(at(from), at(from + 1), at(to + 1));
        else std::rotate(at(to), at(from), at(from + 1));
    }
    for (int c = 0; c < shownColumns_; ++c) ListView_SetColumnWidth(list_, c, widths_[static_cast<size_t>(c)]);
    SyncHeaderTexts();
    InvalidateRect(list_, nullptr, TRUE);
}

void GridView::CurrentRowChanged(int32_t) { ShowCurrentRowWhenIdle(); }

void GridView::ShowCurrentRowWhenIdle()
{
    // A split makes every data row current in turn; the view shows only
    // where the walk stands when the program next falls idle.
    if (pendingRow_) return;
    pendingRow_ = true;
    PostMessageA(list_, WM_NULL, 0, 0);
}

void GridView::ShowPendingRow()
{
    if (!pendingRow_) return;
    pendingRow_ = false;
    ShowCurrentRow();
}

void GridView::FillCellText(NMLVDISPINFOA* info)
{
    LVITEMA& item = info->item;
    if (!(item.mask & LVIF_TEXT) || item.cchTextMax <= 0) return;
    const std::string_view cell = table_.ReadCell(item.iSubItem, RowOfItem(item.iItem));
    const size_t n = std::min(cell.size(), static_cast<size_t>(item.cchTextMax - 1));
    std::memcpy(item.pszText, cell.data(), n);
    item.pszText[n] = '\0';
}

void GridView::FillCellText(NMLVDISPINFOW* info)
{
    LVITEMW& item = info->item;
    if (!(item.mask & LVIF_TEXT) || item.cchTextMax <= 0) return;
    const std::string_view cell = table_.ReadCell(item.iSubItem, RowOfItem(item.iItem));
    // A byte sequence that is no UTF-8 shows as U+FFFD; the cell keeps it.
    const int units = cell.empty() ? 0
                                   : MultiByteToWideChar(CP_UTF8, 0, cell.data(), static_cast<int>(cell.size()),
                                                         item.pszText, item.cchTextMax - 1);
    item.pszText[units > 0 ? units : 0] = L'\0';
    if (units == 0 && !cell.empty()) {
        // Longer than the view's room: as much as fits.
        const std::wstring wide = WideFromUtf8(cell);
        const size_t n = std::min(wide.size(), static_cast<size_t>(item.cchTextMax - 1));
        std::wmemcpy(item.pszText, wide.data(), n);
        item.pszText[n] = L'\0';
    }
}

bool GridView::OnNotify(NMHDR* header, LRESULT& result)
{
    HWND headerControl = ListView_GetHeader(list_);
    if (header->hwndFrom == headerControl) {
        if (header->code == HDN_ENDDRAG) {
            // The table moves the cells; the header keeps its physical order.
            const auto* drag = reinterpret_cast<const NMHEADERA*>(header);
            if (drag->pitem && drag->iItem >= 0 && drag->pitem->iOrder >= 0 && drag->iItem != drag->pitem->iOrder)
                table_.RelocateColumn(drag->iItem, drag->pitem->iOrder);
            result = TRUE;  // veto the header's own reordering
            return true;
        }
        return false;
    }
    if (header->hwndFrom != list_) return false;
    switch (header->code) {
    case NM_CUSTOMDRAW: {
        // The current row in the selection colours across the whole width,
        // whether or not the view has the focus.
        auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
            result = CDRF_NOTIFYITEMDRAW;
        } else if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            if (static_cast<int>(draw->nmcd.dwItemSpec) == ItemOfRow(table_.CurrentRow())) {
                draw->nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
                draw->clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
                draw->clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
            }
            result = CDRF_DODEFAULT;
        } else {
            result = CDRF_DODEFAULT;
        }
        return true;
    }
    case LVN_GETDISPINFOA:
        FillCellText(reinterpret_cast<NMLVDISPINFOA*>(header));
        return true;
    case LVN_GETDISPINFOW:
        FillCellText(reinterpret_cast<NMLVDISPINFOW*>(header));
        return true;
    case LVN_ITEMCHANGED: {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
        if (!selecting_ && change->iItem >= 0 && (change->uNewState & LVIS_SELECTED) &&
            !(change->uOldState & LVIS_SELECTED)) {
            table_.SelectRow(RowOfItem(change->iItem));
            ShowCurrentRowWhenIdle();  // and the view's selection emptied again
        }
        return true;
    }
    case LVN_ODSTATECHANGED:
        return true;
    case LVN_ODFINDITEMA:
    case LVN_ODFINDITEMW:
        // A typed character searches nothing: the current row stays. An
        // unanswered search would read as "item 0".
        result = -1;
        return true;
    default:
        return false;
    }
}

}  // namespace quorvel::ui
