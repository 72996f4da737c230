// OpenDialog1: the system's file-open dialog, remembering the path last
// accepted in it and the filter last chosen.
#pragma once

#include <windows.h>

#include <string>

namespace quorvel::ui {

class OpenDialog {
public:
    // Shows the dialog; true when the user accepted a file, which is then
    // the recorded path.
    bool Execute(HWND owner);
    const std::string& FileName() const { return fileName_; }
    // Records a path accepted another way (a file dropped on the window):
    // the next showing offers it.
    void SetFileName(std::string path) { fileName_ = std::move(path); }

private:
    std::string fileName_;
    DWORD filterIndex_ = 1;
};

}  // namespace quorvel::ui
