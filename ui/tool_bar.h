// ToolBar1: the column count (Label1, Edit1, UpDown1) and the picture
// buttons SpeedButton1-3, with their tooltips.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "ui/button_pictures.h"
#include "ui/win32_util.h"

namespace quorvel::ui {

class ToolBar {
public:
    ToolBar() = default;
    ToolBar(const ToolBar&) = delete;
    ToolBar& operator=(const ToolBar&) = delete;

    void Create(HWND parent, HINSTANCE instance, HFONT font, const Scaler& scale);

    HWND Window() const { return toolBar_; }
    HWND Edit() const { return edit_; }
    HWND UpDown() const { return upDown_; }
    // The tool bar's height at the design size.
    static int DesignHeight();

    int Position() const;  // the spinner's column count
    void SetPosition(int position);
    void EnableRunButtons(bool enabled);

    // The hint of what lies under a point of the tool bar (client
    // coordinates), disabled buttons included; nullptr where there is none.
    const char* HintAt(POINT clientPoint) const;
    // The tooltip text of a button command.
    static const char* HintOfCommand(UINT command);

private:
    void CreateBar(HWND parent, HINSTANCE instance, const Scaler& scale);
    void AddButtons(const Scaler& scale);
    void CreateColumnControls(HWND parent, HINSTANCE instance, HFONT font, const Scaler& scale);
    void AddColumnTooltips(HWND parent);

    HWND toolBar_ = nullptr;
    HWND label_ = nullptr;
    HWND edit_ = nullptr;
    HWND upDown_ = nullptr;
    ButtonPictures pictures_;  // the tool bar uses them but does not own them
};

}  // namespace quorvel::ui
