#include "ui/Dialogwindow1.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>

#include "core/interface/collation.h"
#include "system/system_services.h"
#include "ui/application.h"
#include "ui/modal.h"
#include "ui/resource.h"
#include "ui/ui_texts.h"

namespace quorvel::ui {

const char* const kDialogWindowClass = "TDialogForm1";

namespace {
constexpr int kClientWidth = 268;
constexpr int kClientHeight = 93;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
constexpr int kMaxVisibleEntries = 20;
}  // namespace

void TDialogForm1::Create(HINSTANCE instance, HWND owner, HFONT font, const Scaler& scale)
{
    font_ = font;
    scale_ = scale;
    RegisterWindowClass(instance, kDialogWindowClass);

    RECT outer{0, 0, scale(kClientWidth), scale(kClientHeight)};
    AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
    CreateAs(kExStyle, kDialogWindowClass, text::kSortCaption, kStyle, RECT{0, 0, outer.right - outer.left, outer.bottom - outer.top},
             owner, nullptr, instance);

    auto child = [&](const char* cls, const char* caption, DWORD style, int x, int y, int w, int h, int id) {
        HWND control = CheckCreated(CreateWindowExA(0, cls, caption, WS_CHILD | WS_VISIBLE | style, scale(x), scale(y),
                                                    scale(w), scale(h), Window(),
                                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr),
                                    cls);
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        return control;
    };
    // Creation order is tab order: OK, Cancel, the list.
    label_ = child("STATIC", text::kSortLabel, SS_LEFT, 12, 10, 95, 12, IDC_DIALOG_LABEL);
    // BS_NOTIFY: a button tells when it takes the focus, and becomes the
    // default button then.
    okButton_ = child("BUTTON", text::kOk, WS_TABSTOP | BS_DEFPUSHBUTTON | BS_NOTIFY, 44, 60, 86, 21, IDOK);
    cancelButton_ = child("BUTTON", text::kCancel, WS_TABSTOP | BS_PUSHBUTTON | BS_NOTIFY, 136, 60, 86, 21, IDCANCEL);
    // A wide window, so that a UTF-8 file's column names show every
    // character; Shift_JIS names reach it through the ANSI messages as ever.
    comboBox_ = CheckCreated(CreateWindowExW(0, WC_COMBOBOXW, nullptr,
                                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                                             scale(10), scale(28), scale(246), scale(20 * 10), Window(),
                                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_DIALOG_COMBO)), instance,
                                             nullptr),
                             "ComboBox");
    SendMessageA(comboBox_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    SizeLabelToText();
}

LRESULT TDialogForm1::HandleModalMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), lParam == 0);
        return 0;
    case WM_CLOSE:
        Close(kCancel);
        return 0;
    default:
        return DefaultHandling(message, wParam, lParam);
    }
}

void TDialogForm1::OnCommand(int id, int code, bool fromKeyboard)
{
    // The focused button is the default one, so that Enter presses it; with
    // the focus in the list, OK is.
    if (code == BN_SETFOCUS && (id == IDOK || id == IDCANCEL)) SetDefaultButton(id);
    else if (id == IDC_DIALOG_COMBO && code == CBN_SETFOCUS) SetDefaultButton(IDOK);
    else if (id == IDOK && (code == BN_CLICKED || fromKeyboard)) Close(kOk);
    else if (id == IDCANCEL && code == BN_CLICKED) Close(kCancel);
}

void TDialogForm1::SetDefaultButton(int id)
{
    SetDefaultId(id);
    SendMessageA(okButton_, BM_SETSTYLE, id == IDOK ? BS_DEFPUSHBUTTON | BS_NOTIFY : BS_PUSHBUTTON | BS_NOTIFY, TRUE);
    SendMessageA(cancelButton_, BM_SETSTYLE, id == IDCANCEL ? BS_DEFPUSHBUTTON | BS_NOTIFY : BS_PUSHBUTTON | BS_NOTIFY,
                 TRUE);
}

bool TDialogForm1::TypeAhead(const MSG& msg)
{
    // Characters typed into the list search it by their beginning, several
    // in a row; the list's own one-letter search never sees them.
    if (msg.message != WM_CHAR || (msg.hwnd != comboBox_ && !IsChild(comboBox_, msg.hwnd))) return false;
    const auto byte = static_cast<uint8_t>(msg.wParam);
    if (byte < 0x20 && byte != ListTypeAhead::kBackspace) return false;
    if (typeAhead_.Type(byte, static_cast<uint32_t>(msg.time))) {
        const int found = FindEntryStartingWith(entries_, typeAhead_.SearchText(), SystemCodePage(), NativeCollation());
        if (found >= 0) SendMessageA(comboBox_, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
    }
    return true;
}

void TDialogForm1::Close(Result result) { EndModal(result); }

void TDialogForm1::SetEntries(const std::vector<std::string>& entries, const std::vector<std::string>* utf8Entries)
{
    entries_ = entries;
    SendMessageA(comboBox_, CB_RESETCONTENT, 0, 0);
    if (utf8Entries) {
        for (const std::string& entry : *utf8Entries)
            SendMessageW(comboBox_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromUtf8(entry).c_str()));
    } else {
        for (const std::string& entry : entries)
            SendMessageA(comboBox_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
    SendMessageA(comboBox_, CB_SETCURSEL, 0, 0);
    const int visible = std::clamp(static_cast<int>(entries.size()), 1, kMaxVisibleEntries);
    SendMessageA(comboBox_, CB_SETMINVISIBLE, static_cast<WPARAM>(visible), 0);
}

void TDialogForm1::SetTexts(const char* caption, const char* label)
{
    SetWindowTextA(Window(), caption);
    SetWindowTextA(label_, label);
    SizeLabelToText();
}

void TDialogForm1::SizeLabelToText()
{
    char text[256];
    GetWindowTextA(label_, text, sizeof text);
    WindowDC dc(label_);
    SelectedObject selected(dc.Get(), font_);
    RECT r{0, 0, 0, 0};
    DrawTextA(dc.Get(), text, -1, &r, DT_CALCRECT | DT_SINGLELINE);
    SetWindowPos(label_, nullptr, 0, 0, r.right, r.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TDialogForm1::Result TDialogForm1::ShowModal()
{
    if (!shownBefore_) {
        RECT r;
        GetWindowRect(Window(), &r);
        const POINT at = CentredOnScreen(r.right - r.left, r.bottom - r.top);
        SetWindowPos(Window(), nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        shownBefore_ = true;
    }
    // Back to the control that had the focus when the dialog last closed;
    // the first time, the first in the tab order.
    typeAhead_.Reset();
    const int result = RunModal(lastFocus_ && IsWindow(lastFocus_) ? lastFocus_ : okButton_);
    ShowWindow(Window(), SW_HIDE);
    return result == kOk ? kOk : kCancel;
}

void TDialogForm1::OnModalEnd()
{
    HWND focus = GetFocus();
    if (focus && IsChild(Window(), focus)) {
        // The open list of the combo box is a child of the combo box.
        lastFocus_ = (focus == comboBox_ || IsChild(comboBox_, focus)) ? comboBox_ : focus;
    }
}

int TDialogForm1::SelectedIndex() const { return static_cast<int>(SendMessageA(comboBox_, CB_GETCURSEL, 0, 0)); }

std::string TDialogForm1::SelectedText() const
{
    const int index = SelectedIndex();
    if (index < 0) return {};
    const LRESULT length = SendMessageA(comboBox_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    std::string text(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, '\0');
    SendMessageA(comboBox_, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::max<LRESULT>(length, 0)));
    return text;
}

}  // namespace quorvel::ui
