#include "ui/chunk_dialog.h"

#include <windows.h>

#include <string>

#include "ui/message_window.h"
#include "ui/modal.h"
#include "ui/resource.h"
#include "ui/ui_texts.h"

namespace quorvel::ui {

const char* const kChunkDialogClass = "TChunkForm";

namespace {

class ChunkForm final : public ModalWindow {
public:
    std::optional<ChunkChoice> Show();

private:
    LRESULT HandleModalMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void CreateWindowAndControls();
    void Accept();

    MessageFontUnits units_;
    HWND rows_ = nullptr;
    HWND header_ = nullptr;
    std::optional<ChunkChoice> choice_;
};

LRESULT ChunkForm::HandleModalMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) Accept();
        else if (LOWORD(wParam) == IDCANCEL) EndModal(IDCANCEL);
        return 0;
    case WM_CLOSE:
        EndModal(IDCANCEL);
        return 0;
    default:
        return DefaultHandling(message, wParam, lParam);
    }
}

void ChunkForm::Accept()
{
    char typed[32] = {};
    GetWindowTextA(rows_, typed, sizeof typed);
    const uint64_t rows = ParseChunkRows(typed);
    if (rows == 0) {
        ShowNotice(text::kChunkRowsInvalid);
        SetFocus(rows_);
        SendMessageA(rows_, EM_SETSEL, 0, -1);
        return;
    }
    choice_ = ChunkChoice{rows, SendMessageA(header_, BM_GETCHECK, 0, 0) == BST_CHECKED};
    EndModal(IDOK);
}

void ChunkForm::CreateWindowAndControls()
{
    const MessageFontUnits& u = units_;
    const int margin = u.Horizontal(8), top = u.Vertical(8);
    const int labelWidth = u.Horizontal(110), editWidth = u.Horizontal(60), lineHeight = u.Vertical(12);
    const int buttonWidth = u.Horizontal(50), buttonHeight = u.Vertical(14), buttonGap = u.Horizontal(4);
    const int clientWidth = labelWidth + editWidth + 3 * margin;
    const int boxTop = top + lineHeight + u.Vertical(6);
    const int buttonTop = boxTop + lineHeight + u.Vertical(10);
    const int clientHeight = buttonTop + buttonHeight + top;

    CreateCentred(kChunkDialogClass, text::kChunkCaption, clientWidth, clientHeight);

    HFONT font = units_.font.Get();
    const int labelTop = top + u.Vertical(2);
    CreateModalChild(Window(), font, "STATIC", text::kChunkRowsLabel, SS_LEFT,
                     RECT{margin, labelTop, margin + labelWidth, labelTop + lineHeight}, IDC_CHUNK_LABEL);
    const int editLeft = 2 * margin + labelWidth;
    rows_ = CreateModalChild(Window(), font, "EDIT", text::kChunkDefaultRows,
                             WS_TABSTOP | WS_BORDER | ES_NUMBER | ES_AUTOHSCROLL | ES_RIGHT,
                             RECT{editLeft, top, editLeft + editWidth, top + lineHeight}, IDC_CHUNK_ROWS);
    SendMessageA(rows_, EM_LIMITTEXT, 13, 0);
    header_ = CreateModalChild(Window(), font, "BUTTON", text::kChunkHeaderBox, WS_TABSTOP | BS_AUTOCHECKBOX,
                               RECT{margin, boxTop, clientWidth - margin, boxTop + lineHeight}, IDC_CHUNK_HEADER);
    SendMessageA(header_, BM_SETCHECK, BST_CHECKED, 0);
    const int rowWidth = 2 * buttonWidth + buttonGap;
    int x = (clientWidth - rowWidth) / 2;
    CreateModalChild(Window(), font, "BUTTON", text::kOk, WS_TABSTOP | BS_DEFPUSHBUTTON,
                     RECT{x, buttonTop, x + buttonWidth, buttonTop + buttonHeight}, IDOK);
    x += buttonWidth + buttonGap;
    CreateModalChild(Window(), font, "BUTTON", text::kCancel, WS_TABSTOP | BS_PUSHBUTTON,
                     RECT{x, buttonTop, x + buttonWidth, buttonTop + buttonHeight}, IDCANCEL);
    SetDefaultId(IDOK);
}

std::optional<ChunkChoice> ChunkForm::Show()
{
    CreateWindowAndControls();
    SendMessageA(rows_, EM_SETSEL, 0, -1);
    RunModal(rows_);
    DestroyWindow(Window());
    return choice_;
}

}  // namespace

std::optional<ChunkChoice> AskChunkRows()
{
    ChunkForm form;
    return form.Show();
}

}  // namespace quorvel::ui
