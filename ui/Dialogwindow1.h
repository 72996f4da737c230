// DialogForm1 (TDialogForm1): the column choice dialog. Created once and
// kept hidden; the sort and split commands fill it, set its caption and
// prompt, show it modally and read the choice.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "system/system_services.h"
#include "ui/list_type_ahead.h"
#include "ui/modal.h"
#include "ui/win32_util.h"
#include "ui/window_base.h"

namespace quorvel::ui {

class TDialogForm1 final : public ModalWindow {
public:
    enum Result { kOk = 1, kCancel = 2 };

    TDialogForm1() = default;

    void Create(HINSTANCE instance, HWND owner, HFONT font, const Scaler& scale);

    // ComboBox1's list: emptied, filled in order, entry 0 selected. The
    // entries are in the ANSI code page (type-ahead searches them); a UTF-8
    // file's names, when given, are what the list shows.
    void SetEntries(const std::vector<std::string>& entries,
                    const std::vector<std::string>* utf8Entries = nullptr);
    void SetTexts(const char* caption, const char* label);
    Result ShowModal();

    int SelectedIndex() const;
    std::string SelectedText() const;

private:
    LRESULT HandleModalMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool InterceptMessage(const MSG& msg) override { return TypeAhead(msg); }
    void OnModalEnd() override;
    void OnCommand(int id, int code, bool fromKeyboard);
    void SetDefaultButton(int id);
    bool TypeAhead(const MSG& msg);
    void Close(Result result);
    void SizeLabelToText();

    HWND label_ = nullptr;
    HWND okButton_ = nullptr;
    HWND cancelButton_ = nullptr;
    HWND comboBox_ = nullptr;
    HFONT font_ = nullptr;
    Scaler scale_;
    HWND lastFocus_ = nullptr;  // restored on the next showing
    std::vector<std::string> entries_;
    ListTypeAhead typeAhead_{SystemCodePage()};
    bool shownBefore_ = false;
};

extern const char* const kDialogWindowClass;

}  // namespace quorvel::ui
