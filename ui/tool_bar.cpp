#include "ui/tool_bar.h"

#include <algorithm>

#include "ui/resource.h"
#include "ui/ui_texts.h"

namespace quorvel::ui {

namespace {

constexpr int kButtonWidth = 23;
constexpr int kButtonHeight = 22;
constexpr int kImageSize = 16;

// Places for the child controls are separators of the controls' width.
enum Slot { kLabelSlot, kEditSlot, kUpDownSlot, kSeparator1, kOpenButton, kSeparator2, kSortButton, kSplitButton };

// The colour of a picture's bottom-left pixel, its transparent colour.
COLORREF BottomLeftColour(HBITMAP bitmap)
{
    BITMAP info;
    GetObject(bitmap, sizeof info, &info);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const COLORREF colour = GetPixel(dc, 0, info.bmHeight - 1);
    SelectObject(dc, old);
    DeleteDC(dc);
    return colour;
}

// The 16 x 16 picture at column `index` of a bitmap, drawn `size` pixels
// square in the middle of a canvas of the transparent colour: pixel for
// pixel, so that the transparent colour stays unmixed.
HBITMAP CutImage(HBITMAP source, int index, int size, SIZE canvas, COLORREF transparent)
{
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    HBITMAP image = CreateCompatibleBitmap(screen, canvas.cx, canvas.cy);
    HGDIOBJ oldFrom = SelectObject(from, source);
    HGDIOBJ oldTo = SelectObject(to, image);
    const RECT whole{0, 0, canvas.cx, canvas.cy};
    GdiObject<HBRUSH> background(CreateSolidBrush(transparent));
    FillRect(to, &whole, background.Get());
    SetStretchBltMode(to, COLORONCOLOR);
    StretchBlt(to, (canvas.cx - size) / 2, (canvas.cy - size) / 2, size, size, from, index * kImageSize, 0, kImageSize,
               kImageSize, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    ReleaseDC(nullptr, screen);
    return image;
}

// The disabled look of a picture that has none of its own: its grey
// levels, lightened, the transparent colour kept.
HBITMAP GreyedImage(HBITMAP source, COLORREF transparent, int size, SIZE canvas)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP image = CutImage(source, 0, size, canvas, transparent);
    HGDIOBJ old = SelectObject(dc, image);
    for (int y = 0; y < canvas.cy; ++y) {
        for (int x = 0; x < canvas.cx; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            if (c == transparent) continue;
            const int grey = (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
            const int light = 128 + grey / 2;
            SetPixel(dc, x, y, RGB(light, light, light));
        }
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return image;
}

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

void AddMasked(HIMAGELIST list, HBITMAP image, COLORREF transparent)
{
    ImageList_AddMasked(list, image, transparent);
    DeleteObject(image);
}

}  // namespace

ToolBar::~ToolBar()
{
    if (images_) ImageList_Destroy(images_);
    if (disabledImages_) ImageList_Destroy(disabledImages_);
}

void ToolBar::Create(HWND parent, HINSTANCE instance, HFONT font, const Scaler& scale)
{
    toolBar_ = CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr,
                               WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                                   CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
                               0, 0, 0, scale(28), parent, reinterpret_cast<HMENU>(IDC_TOOLBAR), instance, nullptr);
    SendMessageA(toolBar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(toolBar_, TB_SETINDENT, scale(4), 0);
    // The pictures grow with the window; with no text rows the tool bar
    // centres them in their buttons instead of leaving room for a caption.
    const int imageSize = scale(kImageSize);
    // Each picture is drawn centred on a transparent canvas as large as its
    // button, and the tool bar adds no padding: tool bars differ in where
    // they put a smaller picture (Wine at the top), none in where it fills.
    const SIZE canvas{scale(kButtonWidth), scale(kButtonHeight)};
    SendMessageA(toolBar_, TB_SETMAXTEXTROWS, 0, 0);
    SendMessageA(toolBar_, TB_SETPADDING, 0, MAKELPARAM(0, 0));
    SendMessageA(toolBar_, TB_SETBITMAPSIZE, 0, MAKELONG(canvas.cx, canvas.cy));
    SendMessageA(toolBar_, TB_SETBUTTONSIZE, 0, MAKELONG(scale(kButtonWidth), scale(kButtonHeight)));

    // Pictures: SpeedButton1 and 3 carry a normal and a disabled image side
    // by side; SpeedButton2 one image, greyed here for its disabled look.
    images_ = ImageList_Create(canvas.cx, canvas.cy, ILC_COLOR32 | ILC_MASK, 3, 0);
    disabledImages_ = ImageList_Create(canvas.cx, canvas.cy, ILC_COLOR32 | ILC_MASK, 3, 0);
    const int pictures[] = {IDB_OPEN, IDB_SORT, IDB_SPLIT};
    for (const int id : pictures) {
        HBITMAP picture = static_cast<HBITMAP>(
            LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        const COLORREF transparent = BottomLeftColour(picture);
        BITMAP info;
        GetObject(picture, sizeof info, &info);
        AddMasked(images_, CutImage(picture, 0, imageSize, canvas, transparent), transparent);
        AddMasked(disabledImages_,
                  info.bmWidth >= 2 * kImageSize ? CutImage(picture, 1, imageSize, canvas, transparent)
                                                 : GreyedImage(picture, transparent, imageSize, canvas),
                  transparent);
        DeleteObject(picture);
    }
    SendMessageA(toolBar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_));
    SendMessageA(toolBar_, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(disabledImages_));

    TBBUTTON buttons[8] = {};
    const int slotWidths[] = {34, 40, 16, 8};
    for (int i = kLabelSlot; i <= kSeparator1; ++i) {
        buttons[i].iBitmap = scale(slotWidths[i]);
        buttons[i].fsStyle = BTNS_SEP;
    }
    buttons[kSeparator2].iBitmap = scale(8);
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

    auto slotRect = [&](Slot slot) {
        RECT r{};
        SendMessageA(toolBar_, TB_GETITEMRECT, slot, reinterpret_cast<LPARAM>(&r));
        return r;
    };
    // The column controls are children of the main window laid over the
    // tool bar's placeholders, so that their notices reach the window.
    const int top = (scale(28) - scale(22)) / 2;
    const RECT labelRect = slotRect(kLabelSlot), editRect = slotRect(kEditSlot), upDownRect = slotRect(kUpDownSlot);
    label_ = CreateWindowExA(0, "STATIC", text::kColumnsLabel, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE,
                             labelRect.left, top, scale(34), scale(22), parent,
                             reinterpret_cast<HMENU>(IDC_LABEL1), instance, nullptr);
    // Multi-line only so that its text can be centred vertically, as the
    // label's is; it never holds more than one line.
    edit_ = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "5",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_READONLY | ES_LEFT | ES_MULTILINE,
                            editRect.left, top, scale(40), scale(22), parent, reinterpret_cast<HMENU>(IDC_EDIT1),
                            instance, nullptr);
    upDown_ = CreateWindowExA(0, UPDOWN_CLASSA, nullptr,
                              WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                              upDownRect.left, top, scale(16), scale(22), parent,
                              reinterpret_cast<HMENU>(IDC_UPDOWN1), instance, nullptr);
    SendMessageA(upDown_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit_), 0);
    SendMessageA(upDown_, UDM_SETRANGE32, 1, 255);
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

    // Edit1 and UpDown1 show their hint as a tooltip too.
    HWND tips = reinterpret_cast<HWND>(SendMessageA(toolBar_, TB_GETTOOLTIPS, 0, 0));
    for (HWND control : {edit_, upDown_}) {
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = parent;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = const_cast<char*>(text::kColumnsHint);
        if (tips) SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

int ToolBar::Height() const
{
    RECT r;
    GetWindowRect(toolBar_, &r);
    return r.bottom - r.top;
}

int ToolBar::Position() const { return static_cast<int>(SendMessageA(upDown_, UDM_GETPOS32, 0, 0)); }

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
