#include "ui/Mainwindow1.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <type_traits>

#include "system/system_services.h"
#include "ui/app_paths.h"
#include "ui/application.h"
#include "ui/resource.h"
#include "ui/ui_texts.h"

namespace quorvel::ui {

const char* const kMainWindowClass = "TMainForm1";

namespace {

constexpr int kDesignClientWidth = 664;
constexpr int kDesignClientHeight = 341;
constexpr DWORD kMainWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr int kDesignFontHeight = 12;
constexpr int kStatusBarHeight = 16;
constexpr const char* kFontName = "ＭＳ Ｐゴシック";

// The executable's full path, however long.
std::string ModulePath()
{
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

TMainForm1::TMainForm1(HINSTANCE instance) : instance_(instance)
{
    exePath_ = ModulePath();
    AppDir = AppDirOf(exePath_, SystemCodePage());
}

void TMainForm1::Create()
{
    // The font height follows the screen's resolution; when the font's
    // character height then differs from its design height, every size of
    // the window scales with it.
    WindowDC screen(nullptr);
    const int dpi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    font_.Reset(CreateFontA(-MulDiv(kDesignFontHeight, dpi, 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                            SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE, kFontName));
    {
        SelectedObject selected(screen.Get(), font_.Get());
        TEXTMETRICA tm;
        GetTextMetricsA(screen.Get(), &tm);
        const int characterHeight = tm.tmHeight - tm.tmInternalLeading;
        scale_ = characterHeight != kDesignFontHeight ? Scaler{characterHeight, kDesignFontHeight} : Scaler{};
    }

    RegisterWindowClass(instance_, kMainWindowClass, LoadIconA(instance_, MAKEINTRESOURCEA(IDI_APP)));

    Menu menuBar = BuildMenu();
    // The design's client area, 664 x 341, with whatever frame the system
    // draws around it: 680 x 400 with the classic metrics.
    RECT outer{0, 0, scale_(kDesignClientWidth), scale_(kDesignClientHeight)};
    AdjustWindowRectEx(&outer, kMainWindowStyle, TRUE, 0);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    // Centred; a window larger than the desktop keeps its caption and left
    // edge on it.
    const int x = work.left + std::max<int>(0, ((work.right - work.left) - width) / 2);
    const int y = work.top + std::max<int>(0, ((work.bottom - work.top) - height) / 2);
    CreateAs(0, kMainWindowClass, text::kAppTitle, kMainWindowStyle, RECT{x, y, x + width, y + height}, nullptr,
             menuBar.Get(), instance_);
    // The window owns its menu bar from here on.
    menu_ = menuBar.Release();
}

Menu TMainForm1::BuildMenu()
{
    auto item = [](const char* caption, const char* shortcut) {
        return shortcut ? std::string(caption) + "\t" + shortcut : std::string(caption);
    };
    auto checked = [](Menu menu) {
        if (!menu.Valid()) throw WindowCreateError("menu");
        return menu;
    };
    Menu file = checked(Menu(CreatePopupMenu()));
    AppendMenuA(file.Get(), MF_STRING, IDM_OPEN, item(text::kOpenItem, "Ctrl+O").c_str());
    AppendMenuA(file.Get(), MF_STRING, IDM_OPEN_LINES, item(text::kOpenLinesItem, "Ctrl+L").c_str());
    AppendMenuA(file.Get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file.Get(), MF_STRING, IDM_EXIT, item(text::kExitItem, "Ctrl+Q").c_str());
    Menu run = checked(Menu(CreatePopupMenu()));
    AppendMenuA(run.Get(), MF_STRING, IDM_SPLIT, text::kSplitItem);
    AppendMenuA(run.Get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuA(run.Get(), MF_STRING, IDM_SORT, text::kSortItem);
    AppendMenuA(run.Get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuA(run.Get(), MF_STRING, IDM_CHUNK, text::kChunkItem);
    Menu help = checked(Menu(CreatePopupMenu()));
    AppendMenuA(help.Get(), MF_STRING, IDM_GUIDE, item(text::kGuideItem, "F1").c_str());
    AppendMenuA(help.Get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuA(help.Get(), MF_STRING, IDM_INFO, text::kInfoItem);
    Menu bar = checked(Menu(CreateMenu()));
    // A pop-up attached to the bar is the bar's to destroy.
    auto attach = [&](Menu& popup, UINT flags, const char* caption) {
        if (!AppendMenuA(bar.Get(), MF_POPUP | flags, reinterpret_cast<UINT_PTR>(popup.Get()), caption))
            throw WindowCreateError("menu");
        popup.Release();
    };
    attach(file, 0, text::kFileMenu);
    attach(run, MF_GRAYED, text::kRunMenu);
    attach(help, 0, text::kHelpMenu);

    ACCEL keys[] = {
        {FCONTROL | FVIRTKEY, 'O', IDM_OPEN},
        {FCONTROL | FVIRTKEY, 'L', IDM_OPEN_LINES},
        {FCONTROL | FVIRTKEY, 'Q', IDM_EXIT},
        {FVIRTKEY, VK_F1, IDM_GUIDE},
    };
    accelerators_ = AcceleratorTable(CreateAcceleratorTableA(keys, static_cast<int>(std::size(keys))));
    return bar;
}

void TMainForm1::Show(int showCommand)
{
    switch (showCommand) {
    case SW_SHOWMAXIMIZED: ShowWindow(Window(), SW_SHOWMAXIMIZED); break;
    case SW_SHOWMINNOACTIVE: ShowWindow(Window(), SW_SHOWMINNOACTIVE); break;
    default: ShowWindow(Window(), SW_SHOWNORMAL); break;
    }
    UpdateWindow(Window());
    // The first control in the tab order: the arrow keys change the column
    // count at once.
    SetFocus(toolBar1_.Edit());
}

LRESULT TMainForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_SIZE:
        OnSize();
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return 0;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_VSCROLL:
        if (reinterpret_cast<HWND>(lParam) == toolBar1_.UpDown()) UpDown1Click();
        return 0;
    case WM_MENUSELECT:
        OnMenuSelect(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
        return 0;
    case WM_ENTERMENULOOP:
        menuOpen_ = true;
        return 0;
    case WM_EXITMENULOOP:
        menuOpen_ = false;
        return 0;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_SETFOCUS:
        SetFocus(focus_ && IsChild(Window(), focus_) ? focus_ : toolBar1_.Edit());
        return 0;
    case WM_CTLCOLORSTATIC:
        // Label1 and the read-only Edit1 on the button face.
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefaultHandling(message, wParam, lParam);
    }
}

void TMainForm1::OnCreate()
{
    DragAcceptFiles(Window(), TRUE);
    toolBar1_.Create(Window(), instance_, font_.Get(), scale_);
    stringGrid1_.Create(Window(), instance_, font_.Get(), scale_);
    // One undivided field, no size grip, as high as the design says: the
    // window places it, not the control itself.
    statusBar_ = CheckCreated(CreateWindowExA(0, STATUSCLASSNAMEA, nullptr,
                                              WS_CHILD | WS_VISIBLE | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
                                              0, 0, 0, 0, Window(), reinterpret_cast<HMENU>(IDC_STATUSBAR), instance_,
                                              nullptr),
                              STATUSCLASSNAMEA);
    SendMessageA(statusBar_, SB_SIMPLE, TRUE, 0);
    SetHint("");
}

void TMainForm1::OnSize()
{
    RECT client;
    GetClientRect(Window(), &client);
    const int statusHeight = scale_(kStatusBarHeight);
    const int toolHeight = scale_(ToolBar::DesignHeight());
    MoveWindow(statusBar_, 0, client.bottom - statusHeight, client.right, statusHeight, TRUE);
    MoveWindow(toolBar1_.Window(), 0, 0, client.right, toolHeight, TRUE);
    MoveWindow(stringGrid1_.Window(), 0, toolHeight, client.right, client.bottom - toolHeight - statusHeight, TRUE);
}

void TMainForm1::OnDropFiles(HDROP drop)
{
    // The drop handle is given back however this ends.
    const DropHandle finish(drop);
    // While a modal window shows, the main window takes no input.
    if (!IsWindowEnabled(Window())) return;
    const UINT length = DragQueryFileA(drop, 0, nullptr, 0);
    if (length == 0) return;
    std::string path(length + 1, '\0');
    DragQueryFileA(drop, 0, path.data(), length + 1);
    path.resize(length);
    // Several files: the first is opened, the rest left alone.
    OpenDroppedFile(path);
}

void TMainForm1::OnActivate(bool active)
{
    // Remember where the focus was, as a dialog does.
    if (!active) {
        HWND focus = GetFocus();
        if (focus && IsChild(Window(), focus)) focus_ = focus;
    }
}

void TMainForm1::OnCommand(UINT id)
{
    switch (id) {
    case IDM_OPEN: Open1Click(); break;
    case IDM_OPEN_LINES: OpenLines1Click(); break;
    case IDM_EXIT: Exit1Click(); break;
    case IDM_SORT: S1Click(); break;
    case IDM_SPLIT: N2Click(); break;
    case IDM_CHUNK: L1Click(); break;
    case IDM_GUIDE: G2Click(); break;
    case IDM_INFO: A2Click(); break;
    default: break;
    }
}

LRESULT TMainForm1::OnNotify(NMHDR* header)
{
    if (header->code == TTN_GETDISPINFOA) {
        auto* tip = reinterpret_cast<NMTTDISPINFOA*>(header);
        if (const char* hint = ToolBar::HintOfCommand(static_cast<UINT>(header->idFrom)))
            tip->lpszText = const_cast<char*>(hint);
        return 0;
    }
    LRESULT result = 0;
    if (stringGrid1_.OnNotify(header, result)) return result;
    return 0;
}

void TMainForm1::SetHint(const char* hint)
{
    // A hint's long form is the part after its first "|".
    std::string text = hint ? hint : "";
    const size_t bar = text.find('|');
    if (bar != std::string::npos) text = text.substr(bar + 1);
    // With no hint to show, the status bar says how the file was read
    // (UTF-8, by lines), that the grid shows only its first rows, and that
    // its rows no longer follow the file's lines; a Shift_JIS file within
    // the grid's cap whose lines are its rows shows nothing, as ever.
    if (text.empty()) text = ReadingMarks();
    if (hint == nullptr) {
        auto append = [&text](const std::string& note) { text = text.empty() ? note : text + "  " + note; };
        if (table_.IsPreview()) append(PreviewStatusText());
        if (!tableByLines_ && table_.FirstPartedLine() != 0) append(PartedLinesStatusText(table_.FirstPartedLine()));
    }
    if (text == hint_ && IsWindow(statusBar_)) return;
    hint_ = text;
    SendMessageA(statusBar_, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(hint_.c_str()));
}

std::string TMainForm1::ReadingMarks() const
{
    std::string marks = encoding_.IsUtf8() ? "UTF-8" : "";
    if (tableByLines_) marks += marks.empty() ? text::kByLinesMark : std::string(" ") + text::kByLinesMark;
    return marks;
}

void TMainForm1::ShowStatusNow(const std::string& text)
{
    hint_ = text;
    SendMessageA(statusBar_, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(hint_.c_str()));
    UpdateWindow(statusBar_);
}

void TMainForm1::OnMenuSelect(UINT item, UINT flags, HMENU menu)
{
    if (flags == 0xFFFF && menu == nullptr) {
        menuOpen_ = false;
        return;
    }
    menuOpen_ = true;
    if (flags & MF_POPUP) {
        // A menu of the bar, by its position.
        static const char* const kMenuHints[] = {text::kFileHint, nullptr, text::kHelpHint};
        SetHint(menu == menu_ && item < 3 ? kMenuHints[item] : nullptr);
        return;
    }
    switch (item) {
    case IDM_OPEN: SetHint(text::kOpenItemHint); break;
    case IDM_OPEN_LINES: SetHint(text::kOpenLinesItemHint); break;
    case IDM_EXIT: SetHint(text::kExitItemHint); break;
    case IDM_GUIDE: SetHint(text::kGuideItemHint); break;
    case IDM_INFO: SetHint(text::kInfoItemHint); break;
    case IDM_CHUNK: SetHint(text::kChunkItemHint); break;
    default: SetHint(nullptr); break;  // N2, S1 and the separators have none
    }
}

void TMainForm1::OnIdle()
{
    if (!IsWindow(Window())) return;
    stringGrid1_.ShowPendingRow();
    UpdateHintFromPointer();
}

void TMainForm1::UpdateHintFromPointer()
{
    if (menuOpen_) return;
    POINT screen;
    GetCursorPos(&screen);
    const char* hint = nullptr;
    HWND under = WindowFromPoint(screen);
    // Disabled controls hold hints too: look through the main window's own
    // children, enabled or not.
    if (under == Window() || (under && IsChild(Window(), under))) {
        POINT client = screen;
        ScreenToClient(Window(), &client);
        HWND child = ChildWindowFromPointEx(Window(), client, CWP_SKIPINVISIBLE);
        if (child == toolBar1_.Edit() || child == toolBar1_.UpDown()) {
            hint = text::kColumnsHint;
        } else if (child == toolBar1_.Window()) {
            POINT inBar = screen;
            ScreenToClient(toolBar1_.Window(), &inBar);
            hint = toolBar1_.HintAt(inBar);
        }
    }
    SetHint(hint);
}

void TMainForm1::EnableRunCommands()
{
    if (runEnabled_) return;
    runEnabled_ = true;
    EnableMenuItem(menu_, 1, MF_BYPOSITION | MF_ENABLED);
    DrawMenuBar(Window());
    toolBar1_.EnableRunButtons(true);
}

}  // namespace quorvel::ui
