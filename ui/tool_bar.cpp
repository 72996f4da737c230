#include "ui/tool_bar.h"

#include <algorithm>

#include "core/table_limits.h"
#include "ui/application.h"
#include "ui/button_pictures.h"
#include "ui/resource.h"
#include "ui/ui_texts.h"

namespace quorvel::ui {

namespace {

// The tool bar's design sizes, in pixels at 96 dots per inch.
struct ToolBarLayout {
    int height = 28;
    int indent = 4;
    int labelWidth = 34;     // Label1
    int editWidth = 40;      // Edit1
    int upDownWidth = 16;    // UpDown1
    int separatorWidth = 8;  // ToolButton1, ToolButton2
    int controlHeight = 22;  // Label1, Edit1, UpDown1 and the buttons
    int buttonWidth = 23;
    int pictureSize = 16;
};
constexpr ToolBarLayout kLayout;

// Places for the child controls are separators of the controls' width.
enum Slot { kLabelSlot, kEditSlot, kUpDownSlot, kSeparator1, kOpenButton, kSeparator2, kSortButton, kSplitButton };

// Moves the edit's text down to the middle of its client area, where the
// label beside it draws its own.
void CentreEditText(HWND edit, HFONT font)
{
    WindowDC dc(edit);
    SelectedObject selected(dc.Get(), font);
    TEXTMETRICA tm;
    GetTextMetricsA(dc.Get(), &tm);
    RECT client;
    GetClientRect(edit, &client);
    RECT text = client;
    text.top = std::max<LONG>(0, (client.bottom - tm.tmHeight) / 2);
    text.left += 1;
    SendMessageA(edit, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&text));
}

}  // namespace

int ToolBar::DesignHeight() { return kLayout.height; }

void ToolBar::Create(HWND parent, HINSTANCE instance, HFONT font, const Scaler& scale)
{
    CreateBar(parent, instance, scale);
    AddButtons(scale);
    CreateColumnControls(parent, instance, font, scale);
    AddColumnTooltips(parent);
}

void ToolBar::CreateBar(HWND parent, HINSTANCE instance, const Scaler& scale)
{
    toolBar_ = CheckCreated(CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                                            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                                                CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
                                            0, 0, 0, scale(kLayout.height), parent,
                                            reinterpret_cast<HMENU>(IDC_TOOLBAR), instance, nullptr),
                            TOOLBARCLASSNAMEA);
    SendMessageA(toolBar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(toolBar_, TB_SETINDENT, scale(kLayout.indent), 0);
    // Each picture fills a canvas as large as its button, and the tool bar
    // adds no padding and no text rows: tool bars differ in where they put
    // a smaller picture (Wine at the top), none in where one that fills.
    const SIZE canvas{scale(kLayout.buttonWidth), scale(kLayout.controlHeight)};
    SendMessageA(toolBar_, TB_SETMAXTEXTROWS, 0, 0);
    SendMessageA(toolBar_, TB_SETPADDING, 0, MAKELPARAM(0, 0));
    SendMessageA(toolBar_, TB_SETBITMAPSIZE, 0, MAKELONG(canvas.cx, canvas.cy));
    SendMessageA(toolBar_, TB_SETBUTTONSIZE, 0, MAKELONG(canvas.cx, canvas.cy));
    // SpeedButton1 and 3 carry a normal and a disabled image side by side;
    // SpeedButton2 one image, greyed for its disabled look.
    pictures_ = LoadButtonPictures(instance, {IDB_OPEN, IDB_SORT, IDB_SPLIT}, scale(kLayout.pictureSize), canvas);
    SendMessageA(toolBar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pictures_.normal.Get()));
    SendMessageA(toolBar_, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(pictures_.disabled.Get()));
}

void ToolBar::AddButtons(const Scaler& scale)
{
    TBBUTTON buttons[8] = {};
    const int slotWidths[] = {kLayout.labelWidth, kLayout.editWidth, kLayout.upDownWidth, kLayout.separatorWidth};
    for (int i = kLabelSlot; i <= kSeparator1; ++i) {
        buttons[i].iBitmap = scale(slotWidths[i]);
        buttons[i].fsStyle = BTNS_SEP;
    }
    buttons[kSeparator2].iBitmap = scale(kLayout.separatorWidth);
    buttons[kSeparator2].fsStyle = BTNS_SEP;
    const struct {
        Slot slot;
        int image;
        UINT command;
        BYTE state;
    } pictureButtons[] = {
        {kOpenButton, 0, IDM_OPEN, TBSTATE_ENABLED},
        {kSortButton, 1, IDM_SORT, 0},
        {kSplitButton, 2, IDM_SPLIT, 0},
    };
    for (const auto& b : pictureButtons) {
        buttons[b.slot].iBitmap = b.image;
        buttons[b.slot].idCommand = static_cast<int>(b.command);
        buttons[b.slot].fsState = b.state;
        buttons[b.slot].fsStyle = BTNS_BUTTON;
    }
    SendMessageA(toolBar_, TB_ADDBUTTONS, 8, reinterpret_cast<LPARAM>(buttons));
}

void ToolBar::CreateColumnControls(HWND parent, HINSTANCE instance, HFONT font, const Scaler& scale)
{
    auto slotLeft = [&](Slot slot) {
        RECT r{};
        SendMessageA(toolBar_, TB_GETITEMRECT, slot, reinterpret_cast<LPARAM>(&r));
        return r.left;
    };
    // The column controls are children of the main window laid over the
    // tool bar's placeholders, so that their notices reach the window.
    const int top = (scale(kLayout.height) - scale(kLayout.controlHeight)) / 2;
    const int height = scale(kLayout.controlHeight);
    label_ = CheckCreated(CreateWindowExA(0, "STATIC", text::kColumnsLabel,
                                          WS_CHILD | WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE, slotLeft(kLabelSlot), top,
                                          scale(kLayout.labelWidth), height, parent,
                                          reinterpret_cast<HMENU>(IDC_LABEL1), instance, nullptr),
                          "STATIC");
    // Multi-line only so that its text can be centred vertically, as the
    // label's is; it never holds more than one line.
    edit_ = CheckCreated(CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "5",
                                         WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_READONLY | ES_LEFT | ES_MULTILINE,
                                         slotLeft(kEditSlot), top, scale(kLayout.editWidth), height, parent,
                                         reinterpret_cast<HMENU>(IDC_EDIT1), instance, nullptr),
                         "EDIT");
    upDown_ = CheckCreated(CreateWindowExA(0, UPDOWN_CLASSA, nullptr,
                                           WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                                           slotLeft(kUpDownSlot), top, scale(kLayout.upDownWidth), height, parent,
                                           reinterpret_cast<HMENU>(IDC_UPDOWN1), instance, nullptr),
                           UPDOWN_CLASSA);
    SendMessageA(upDown_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit_), 0);
    SendMessageA(upDown_, UDM_SETRANGE32, 1, MaxTableColumns);
    SendMessageA(upDown_, UDM_SETPOS32, 0, 5);
    // One step per click or key, however long an arrow is held.
    UDACCEL oneStep{0, 1};
    SendMessageA(upDown_, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&oneStep));
    for (HWND control : {label_, edit_}) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    CentreEditText(edit_, font);
    // Children created later lie under earlier ones: lift the column
    // controls above the tool bar, or it takes their clicks, hover and
    // tooltips.
    for (HWND control : {upDown_, edit_, label_})
        SetWindowPos(control, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void ToolBar::AddColumnTooltips(HWND parent)
{
    // Edit1 and UpDown1 show their hint as a tooltip too.
    HWND tips = reinterpret_cast<HWND>(SendMessageA(toolBar_, TB_GETTOOLTIPS, 0, 0));
    if (!tips) return;
    for (HWND control : {edit_, upDown_}) {
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = parent;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = const_cast<char*>(text::kColumnsHint);
        SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

int ToolBar::Position() const { return static_cast<int>(SendMessageA(upDown_, UDM_GETPOS32, 0, 0)); }

void ToolBar::SetPosition(int position)
{
    SendMessageA(upDown_, UDM_SETPOS32, 0, position);
    // The buddy shows it whatever the control does on a set position.
    SetWindowTextA(edit_, std::to_string(position).c_str());
}

void ToolBar::EnableRunButtons(bool enabled)
{
    SendMessageA(toolBar_, TB_ENABLEBUTTON, IDM_SORT, MAKELONG(enabled, 0));
    SendMessageA(toolBar_, TB_ENABLEBUTTON, IDM_SPLIT, MAKELONG(enabled, 0));
}

const char* ToolBar::HintOfCommand(UINT command)
{
    switch (command) {
    case IDM_OPEN: return text::kOpenHint;
    case IDM_SORT: return text::kSortHint;
    case IDM_SPLIT: return text::kSplitHint;
    default: return nullptr;
    }
}

const char* ToolBar::HintAt(POINT clientPoint) const
{
    // The buttons are no windows of their own; a hit test finds them
    // whether they are enabled or not.
    const int index = static_cast<int>(SendMessageA(toolBar_, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&clientPoint)));
    if (index < 0) return nullptr;
    TBBUTTON button{};
    SendMessageA(toolBar_, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button));
    return (button.fsStyle & BTNS_SEP) ? nullptr : HintOfCommand(static_cast<UINT>(button.idCommand));
}

}  // namespace quorvel::ui
