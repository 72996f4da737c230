// The windows' own lifetimes, in the program's process: a start-up whose
// window cannot be created, and the grid's row-height images.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <utility>
#include <vector>

#include "core/table/cell_table.h"
#include "ui/clipboard.h"
#include "ui/grid_view.h"
#include "ui/resource.h"
#include "ui/start_up.h"
#include "ui/window_base.h"

namespace quorvel::ui {
namespace {

// Every window that the thread tries to create, by class; none is let be.
std::vector<std::string> refusedClasses;

LRESULT CALLBACK RefuseEveryWindow(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        const LPCSTR name = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs->lpszClass;
        refusedClasses.push_back(HIWORD(reinterpret_cast<ULONG_PTR>(name)) ? std::string(name)
                                                                           : "#" + std::to_string(LOWORD(name)));
        return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(StartUp, AMainWindowThatCannotBeCreatedShowsTheErrorBoxAndEnds)
{
    // On a thread of its own, so that a start-up that hangs fails the test
    // instead of stopping it.
    auto run = std::async(std::launch::async, [] {
        refusedClasses.clear();
        HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseEveryWindow, nullptr, GetCurrentThreadId());
        const int code = RunQuorvel(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
        UnhookWindowsHookEx(hook);
        return code;
    });
    ASSERT_EQ(run.wait_for(std::chrono::seconds(20)), std::future_status::ready) << "start-up never ended";
    EXPECT_EQ(run.get(), 0);
    ASSERT_FALSE(refusedClasses.empty());
    EXPECT_EQ(refusedClasses.front(), "TMainForm1");
    // Then the error box: the system's message box is a "#32770" dialog.
    EXPECT_EQ(refusedClasses.back(), "#32770");
}

// Refuses the first child window with one control ID, and every message
// box, which would wait for a click: the start-up error box is recorded
// instead.
INT_PTR refusedOnce = 0;
bool refusedAlready = false;
bool errorBoxShown = false;

LRESULT CALLBACK RefuseOneControl(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        const LPCSTR name = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs->lpszClass;
        const std::string cls = HIWORD(reinterpret_cast<ULONG_PTR>(name)) ? std::string(name)
                                                                           : "#" + std::to_string(LOWORD(name));
        if (cls == "#32770") {
            errorBoxShown = true;
            return 1;
        }
        const CREATESTRUCTA* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        if (!refusedAlready && (create->style & WS_CHILD) &&
            reinterpret_cast<INT_PTR>(create->hMenu) == refusedOnce) {
            refusedAlready = true;
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Each control of the main window and the column dialog, refused in turn:
// the error box and a clean end, and no window of the program left.
TEST(StartUp, AControlThatCannotBeCreatedShowsTheErrorBoxAndLeavesNoWindow)
{
    for (const INT_PTR control : {IDC_TOOLBAR, IDC_LABEL1, IDC_EDIT1, IDC_UPDOWN1, IDC_GRID, IDC_STATUSBAR,
                                  IDC_DIALOG_LABEL, IDOK, IDCANCEL, IDC_DIALOG_COMBO}) {
        auto run = std::async(std::launch::async, [control] {
            refusedOnce = control;
            refusedAlready = false;
            errorBoxShown = false;
            HHOOK hook = SetWindowsHookExA(WH_CBT, RefuseOneControl, nullptr, GetCurrentThreadId());
            const int code = RunQuorvel(GetModuleHandleA(nullptr), SW_HIDE);
            UnhookWindowsHookEx(hook);
            // No window of the program is left on this thread.
            std::string windowsLeft;
            EnumThreadWindows(
                GetCurrentThreadId(),
                [](HWND window, LPARAM left) {
                    char name[64] = "";
                    GetClassNameA(window, name, sizeof name);
                    // The input method's window is the system's, one per thread.
                    if (std::string(name) != "IME") *reinterpret_cast<std::string*>(left) += std::string(name) + " ";
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&windowsLeft));
            return std::make_pair(code, windowsLeft);
        });
        ASSERT_EQ(run.wait_for(std::chrono::seconds(20)), std::future_status::ready) << control << ": never ended";
        const auto [code, windowsLeft] = run.get();
        EXPECT_EQ(code, 0) << control;
        EXPECT_TRUE(refusedAlready) << control << " was never created";
        EXPECT_TRUE(errorBoxShown) << control;
        EXPECT_EQ(windowsLeft, "") << control << ": a half-built window was left";
    }
}

// A window whose object goes first: destroyed with it, and its last
// messages reach nothing.
class ProbeWindow : public WindowBase {
public:
    explicit ProbeWindow(int& messages) : messages_(messages) {}
    void Create()
    {
        RegisterWindowClass(GetModuleHandleA(nullptr), "QuorvelProbe");
        CreateAs(0, "QuorvelProbe", "", WS_POPUP, RECT{0, 0, 10, 10}, nullptr, nullptr, GetModuleHandleA(nullptr));
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        ++messages_;
        return DefaultHandling(message, wParam, lParam);
    }

private:
    int& messages_;
};

TEST(WindowBase, AnObjectDestroyedFirstTakesItsWindowWithIt)
{
    int messages = 0;
    HWND window = nullptr;
    {
        ProbeWindow probe(messages);
        probe.Create();
        window = probe.Window();
        ASSERT_TRUE(IsWindow(window));
    }
    const int counted = messages;
    EXPECT_FALSE(IsWindow(window));
    EXPECT_GT(counted, 0);
    SendMessageA(window, WM_NULL, 0, 0);
    EXPECT_EQ(messages, counted);
}

// The caption buttons are drawn with Marlett's symbols; a prefix without
// the font draws the letters "0 1 r" in another font instead.
TEST(CaptionButtons, TheirSymbolFontIsMarlett)
{
    HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SYMBOL_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Marlett");
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    char face[LF_FACESIZE] = "";
    GetTextFaceA(dc, sizeof face, face);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(font);
    EXPECT_STREQ(face, "Marlett");
}

std::string ClipboardText()
{
    std::string text;
    if (!OpenClipboard(nullptr)) return "(not opened)";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            text = bytes;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

HGLOBAL WINAPI NoMemory(UINT, SIZE_T) { return nullptr; }

TEST(Clipboard, AFailedAllocationLeavesTheClipboardAsItWas)
{
    ASSERT_TRUE(PutOnClipboard(nullptr, "before"));
    EXPECT_EQ(ClipboardText(), "before");
    EXPECT_FALSE(PutOnClipboard(nullptr, "after", NoMemory));
    EXPECT_EQ(ClipboardText(), "before");
    EXPECT_TRUE(PutOnClipboard(nullptr, "after"));
    EXPECT_EQ(ClipboardText(), "after");
}

class GridHost : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        parent_ = CreateWindowExA(0, "STATIC", nullptr, WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent_, nullptr);
    }
    void TearDown() override
    {
        if (IsWindow(parent_)) DestroyWindow(parent_);
    }
    HWND parent_ = nullptr;
    CellTable table_;
};

bool ImageListAlive(HIMAGELIST list)
{
    int cx = 0, cy = 0;
    return ImageList_GetIconSize(list, &cx, &cy) != FALSE;
}

TEST_F(GridHost, TheRowHeightImagesOutliveTheViewAndAreDestroyedOnce)
{
    HIMAGELIST images = nullptr;
    {
        GridView grid(table_);
        grid.Create(parent_, GetModuleHandleA(nullptr), static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), Scaler{});
        images = grid.RowHeightImages();
        ASSERT_TRUE(ImageListAlive(images));
        // The view goes first, as at exit: it must leave the images alone.
        DestroyWindow(parent_);
        EXPECT_TRUE(ImageListAlive(images)) << "the list view destroyed images it does not own";
    }
    EXPECT_FALSE(ImageListAlive(images)) << "the grid view did not destroy its images";
}

TEST_F(GridHost, ATypedCharacterFindsNoRow)
{
    GridView grid(table_);
    grid.Create(parent_, GetModuleHandleA(nullptr), static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), Scaler{});
    for (const UINT code : {LVN_ODFINDITEMA, LVN_ODFINDITEMW}) {
        NMLVFINDITEMA find{};
        find.hdr.hwndFrom = grid.Window();
        find.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(grid.Window()));
        find.hdr.code = code;
        find.iStart = 0;
        find.lvfi.flags = LVFI_STRING | LVFI_PARTIAL;
        find.lvfi.psz = "x";
        LRESULT result = 0;
        EXPECT_TRUE(grid.OnNotify(&find.hdr, result));
        EXPECT_EQ(result, -1) << "an unanswered search reads as item 0";
    }
}

}  // namespace
}  // namespace quorvel::ui
