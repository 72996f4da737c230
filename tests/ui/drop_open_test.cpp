// A file dropped on the main window opens as Open opens the file accepted
// in its dialog. The drop handle is a real one, built in the program's own
// process as the shell builds it; the error box is answered by a hook.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "system/system_services.h"
#include "test_support.h"
#include "ui/Dialogwindow1.h"
#include "ui/Mainwindow1.h"
#include "ui/application.h"
#include "ui/resource.h"

namespace quorvel::ui {
namespace {

std::vector<std::string> errorBoxes;  // the texts of the error boxes shown

// Reads each error box as it comes up and presses its OK.
LRESULT CALLBACK AnswerErrorBoxes(int code, WPARAM wParam, LPARAM lParam)
{
    HWND box = reinterpret_cast<HWND>(wParam);
    HWND label = code == HCBT_ACTIVATE || code == HCBT_DESTROYWND ? GetDlgItem(box, 0xFFFF) : nullptr;
    if (label && code == HCBT_ACTIVATE) PostMessageA(box, WM_COMMAND, IDOK, 0);
    if (label && code == HCBT_DESTROYWND) {  // its text is all there by now
        char text[1024] = {};
        GetWindowTextA(label, text, sizeof text);
        errorBoxes.push_back(text);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A drop handle as the shell hands one over: DROPFILES, then the paths,
// each ended by 0x00, and a last 0x00.
HGLOBAL MakeDrop(const std::vector<std::string>& paths)
{
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& p : paths) size += p.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, size);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    char* at = reinterpret_cast<char*>(drop) + sizeof(DROPFILES);
    for (const std::string& p : paths) {
        std::memcpy(at, p.c_str(), p.size() + 1);
        at += p.size() + 1;
    }
    GlobalUnlock(memory);
    return memory;
}

class DroppedFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS};
        InitCommonControlsEx(&controls);
        Application::Instance().SetTitle("Quorvel");
        form_.Create();
        dialog_.Create(GetModuleHandleA(nullptr), form_.Window(), form_.Font(), form_.Scale());
        form_.SetDialog(&dialog_);
        Application::Instance().SetMainWindow(form_.Window(), nullptr);
        errorBoxes.clear();
        hook_ = SetWindowsHookExA(WH_CBT, AnswerErrorBoxes, nullptr, GetCurrentThreadId());
        fruit_ = dir_.File("fruit.csv");
        test::WriteFile(fruit_, "no,name,area\r\n1,apple,a\r\n2,orange,b\r\n");
    }

    void TearDown() override
    {
        UnhookWindowsHookEx(hook_);
        DestroyWindow(dialog_.Window());
        DestroyWindow(form_.Window());
        Application::Instance().SetMainWindow(nullptr, nullptr);
        // The main window's end posts WM_QUIT: take it, so that no later
        // message loop of this thread ends at once.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    void Drop(const std::vector<std::string>& paths)
    {
        SendMessageA(form_.Window(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
    }

    HWND Grid() const { return GetDlgItem(form_.Window(), IDC_GRID); }
    int Items() const { return static_cast<int>(SendMessageA(Grid(), LVM_GETITEMCOUNT, 0, 0)); }
    std::string Cell(int item, int sub) const
    {
        char text[256] = {};
        LVITEMA lvi{};
        lvi.iSubItem = sub;
        lvi.pszText = text;
        lvi.cchTextMax = sizeof text;
        SendMessageA(Grid(), LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lvi));
        return text;
    }
    bool RunEnabled() const
    {
        return SendMessageA(GetDlgItem(form_.Window(), IDC_TOOLBAR), TB_ISBUTTONENABLED, IDM_SORT, 0) != 0;
    }

    test::ScratchDir dir_;
    std::string fruit_;
    TMainForm1 form_{GetModuleHandleA(nullptr)};
    TDialogForm1 dialog_;
    HHOOK hook_ = nullptr;
};

TEST_F(DroppedFiles, ADroppedFileOpensAsOpenOpensIt)
{
    ASSERT_FALSE(RunEnabled());
    Drop({fruit_});
    EXPECT_TRUE(errorBoxes.empty());
    // Laid out at the column count of the moment, 5: nine tokens, two rows.
    EXPECT_EQ(Items(), 1);
    EXPECT_EQ(Cell(0, 0), "a");
    EXPECT_EQ(Cell(0, 2), "orange");
    EXPECT_EQ(form_.InputPath(), fruit_) << "the next open dialog offers it";
    EXPECT_TRUE(RunEnabled()) << "the Run commands are enabled";
}

TEST_F(DroppedFiles, OfSeveralFilesTheFirstIsOpened)
{
    const std::string other = dir_.File("other.csv");
    test::WriteFile(other, "x");
    Drop({fruit_, other});
    EXPECT_EQ(form_.InputPath(), fruit_);
    EXPECT_EQ(Cell(0, 2), "orange");
}

TEST_F(DroppedFiles, AJapaneseNameOpens)
{
    // The drop hands over the name in the ANSI code page; the test's own
    // paths are UTF-8.
    const std::string named = dir_.File(u8"表.csv");
    test::WriteFile(named, "a,b,c,d,e,1,2,3,4,5");
    Drop({PathToSystem(named)});
    EXPECT_TRUE(errorBoxes.empty());
    EXPECT_EQ(form_.InputPath(), PathToSystem(named));
    EXPECT_EQ(Items(), 1);
    EXPECT_EQ(Cell(0, 4), "5");
}

TEST_F(DroppedFiles, AMissingFileOrAFolderShowsTheErrorBoxAndLeavesTheTable)
{
    Drop({fruit_});
    for (const std::string& bad : {dir_.File("missing.csv"), dir_.Path()}) {
        errorBoxes.clear();
        Drop({bad});
        ASSERT_EQ(errorBoxes.size(), 1u) << bad;
        EXPECT_EQ(errorBoxes[0], "ファイル " + bad + " は開けません.");
        EXPECT_EQ(Items(), 1);
        EXPECT_EQ(Cell(0, 2), "orange") << "the table as it was";
        EXPECT_EQ(form_.InputPath(), bad) << "as after a failed Open, the path is recorded";
    }
}

TEST_F(DroppedFiles, ADropWhileAModalWindowShowsIsNotTaken)
{
    EnableWindow(form_.Window(), FALSE);  // as every modal window of the program does
    Drop({fruit_});
    EnableWindow(form_.Window(), TRUE);
    EXPECT_EQ(form_.InputPath(), "");
    EXPECT_FALSE(RunEnabled());
    EXPECT_EQ(Items(), 1);
}

}  // namespace
}  // namespace quorvel::ui
