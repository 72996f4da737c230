#include "ui/message_window.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "ui/application.h"
#include "ui/clipboard.h"
#include "ui/modal.h"
#include "ui/resource.h"
#include "ui/ui_texts.h"
#include "ui/win32_util.h"
#include "ui/window_base.h"

namespace quorvel::ui {

const char* const kMessageWindowClass = "TMessageForm";

namespace {

struct Button {
    const char* caption;
    int id;
};

MessageResult ResultOfButton(int id)
{
    switch (id) {
    case IDYES: return MessageResult::kYes;
    case IDNO: return MessageResult::kNo;
    case IDOK: return MessageResult::kOk;
    default: return MessageResult::kNone;
    }
}

// Sizes of one showing, in pixels, from the units of the message font.
struct MessageLayout {
    RECT text{};           // the word-wrapped text block's size
    int textLeft = 0;
    int blockHeight = 0;   // icon and text
    int buttonWidth = 0;
    int buttonHeight = 0;
    int buttonGap = 0;
    int rowWidth = 0;
    int margin = 0;        // left and right
    int marginTop = 0;     // top and bottom
    int gapAboveButtons = 0;
    int clientWidth = 0;
    int clientHeight = 0;
};

// One showing of a message window.
class MessageForm final : public ModalWindow {
public:
    MessageForm(std::string caption, std::string text, std::vector<Button> buttons, int defaultId, int cancelId)
        : caption_(std::move(caption)), text_(std::move(text)), buttons_(std::move(buttons)), cancelId_(cancelId)
    {
        SetDefaultId(defaultId);
    }

    MessageResult Show(LPCSTR icon);

private:
    LRESULT HandleModalMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool InterceptMessage(const MSG& msg) override { return CopyOnCtrlC(msg); }
    void Finish(MessageResult result);
    MessageLayout Measure(LPCSTR icon);
    void CreateWindowAndControls(const MessageLayout& layout, LPCSTR icon);
    bool CopyOnCtrlC(const MSG& msg);

    std::string caption_;
    std::string text_;
    std::vector<Button> buttons_;
    int cancelId_;
    MessageFontUnits units_;
    HWND focus_ = nullptr;
};

LRESULT MessageForm::HandleModalMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDCANCEL) Finish(ResultOfButton(cancelId_));
        else if (id == IDOK || id == IDYES || id == IDNO) Finish(ResultOfButton(id));
        return 0;
    }
    case WM_CLOSE:
        Finish(MessageResult::kNone);  // the close button is no answer
        return 0;
    default:
        return DefaultHandling(message, wParam, lParam);
    }
}

void MessageForm::Finish(MessageResult result) { EndModal(static_cast<int>(result)); }

// Ctrl alone with C: beep and put the window's text on the clipboard.
bool MessageForm::CopyOnCtrlC(const MSG& msg)
{
    if (msg.message != WM_KEYDOWN || msg.wParam != 'C') return false;
    if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_MENU) < 0) return false;
    if (msg.hwnd != Window() && !IsChild(Window(), msg.hwnd)) return false;
    MessageBeep(0);
    std::vector<std::string> captions;
    for (const Button& b : buttons_) captions.emplace_back(b.caption);
    const std::string text = MessageClipboardText(caption_, text_, captions);
    PutOnClipboard(Window(), text);
    return true;
}

MessageLayout MessageForm::Measure(LPCSTR icon)
{
    const MessageFontUnits& units = units_;
    auto horizontal = [&](int u) { return units.Horizontal(u); };
    auto vertical = [&](int u) { return units.Vertical(u); };
    WindowDC screen(nullptr);
    SelectedObject selected(screen.Get(), units.font.Get());

    MessageLayout l;
    const int iconSize = icon ? 32 : 0;
    l.margin = horizontal(8);
    l.marginTop = vertical(8);
    l.gapAboveButtons = vertical(10);
    l.text = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
    DrawTextA(screen.Get(), text_.c_str(), static_cast<int>(text_.size()), &l.text,
              DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    l.textLeft = l.margin + (icon ? iconSize + horizontal(10) : 0);
    const int blockWidth = (icon ? iconSize + horizontal(10) : 0) + l.text.right;
    l.blockHeight = std::max<int>(l.text.bottom, iconSize);

    l.buttonWidth = horizontal(50);
    for (const Button& b : buttons_) {
        RECT r{0, 0, 0, 0};
        DrawTextA(screen.Get(), b.caption, -1, &r, DT_CALCRECT | DT_SINGLELINE);
        l.buttonWidth = std::max<int>(l.buttonWidth, r.right + 8);
    }
    l.buttonHeight = vertical(14);
    l.buttonGap = horizontal(4);
    const int count = static_cast<int>(buttons_.size());
    l.rowWidth = count * l.buttonWidth + (count - 1) * l.buttonGap;
    l.clientWidth = std::max(blockWidth, l.rowWidth) + 2 * l.margin;
    l.clientHeight = l.blockHeight + l.gapAboveButtons + l.buttonHeight + 2 * l.marginTop;
    return l;
}

void MessageForm::CreateWindowAndControls(const MessageLayout& l, LPCSTR icon)
{
    CreateCentred(kMessageWindowClass, caption_.c_str(), l.clientWidth, l.clientHeight);

    auto child = [&](const char* cls, const char* caption, DWORD childStyle, int x, int y, int w, int h, int id) {
        return CreateModalChild(Window(), units_.font.Get(), cls, caption, childStyle, RECT{x, y, x + w, y + h}, id);
    };
    if (icon) {
        HWND iconControl = child("STATIC", nullptr, SS_ICON, l.margin, l.marginTop, 32, 32, IDC_MESSAGE_ICON);
        SendMessageA(iconControl, STM_SETICON, reinterpret_cast<WPARAM>(LoadIcon(nullptr, icon)), 0);
    }
    // A static control draws "&" as the access-letter mark, wraps words
    // and expands tabs, as the text block should.
    child("STATIC", text_.c_str(), SS_LEFT, l.textLeft, l.marginTop, l.text.right, l.text.bottom, IDC_MESSAGE_TEXT);
    int x = (l.clientWidth - l.rowWidth) / 2;
    const int y = l.marginTop + l.blockHeight + l.gapAboveButtons;
    for (const Button& b : buttons_) {
        const DWORD buttonStyle = WS_TABSTOP | (b.id == DefaultId() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        HWND button = child("BUTTON", b.caption, buttonStyle, x, y, l.buttonWidth, l.buttonHeight, b.id);
        if (b.id == DefaultId()) focus_ = button;
        x += l.buttonWidth + l.buttonGap;
    }
}

MessageResult MessageForm::Show(LPCSTR icon)
{
    CreateWindowAndControls(Measure(icon), icon);
    const auto result = static_cast<MessageResult>(RunModal(focus_));
    DestroyWindow(Window());
    return result;
}

}  // namespace

void ShowNotice(const std::string& text)
{
    MessageForm(Application::Instance().Title(), text, {{text::kOk, IDOK}}, IDOK, IDOK).Show(nullptr);
}

bool ShowConfirmation(const std::string& text)
{
    MessageForm form(text::kConfirmCaption, text, {{text::kYes, IDYES}, {text::kNo, IDNO}}, IDYES, IDNO);
    return form.Show(IDI_QUESTION) == MessageResult::kYes;
}

}  // namespace quorvel::ui
