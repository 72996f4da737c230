#include "ui/message_window.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "ui/application.h"
#include "ui/modal.h"
#include "ui/resource.h"
#include "ui/ui_texts.h"
#include "ui/win32_util.h"

namespace quorvel::ui {

const char* const kMessageWindowClass = "TMessageForm";

namespace {

struct Button {
    const char* caption;
    int id;
};

// One showing of a message window.
struct MessageWindow {
    std::string caption;
    std::string text;
    std::vector<Button> buttons;
    int defaultId = 0;
    int cancelId = 0;
    MessageResult result = MessageResult::kNone;
    bool done = false;
    GdiObject<HFONT> font;
};

MessageWindow* StateOf(HWND window) { return reinterpret_cast<MessageWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

void Finish(HWND window, MessageResult result)
{
    MessageWindow* state = StateOf(window);
    state->result = result;
    state->done = true;
}

MessageResult ResultOfButton(int id)
{
    switch (id) {
    case IDYES: return MessageResult::kYes;
    case IDNO: return MessageResult::kNo;
    case IDOK: return MessageResult::kOk;
    default: return MessageResult::kNone;
    }
}

LRESULT CALLBACK MessageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return Guarded([&]() -> LRESULT {
        MessageWindow* state = StateOf(window);
        switch (message) {
        case DM_GETDEFID:
            return state ? MAKELRESULT(state->defaultId, DC_HASDEFID) : 0;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id == IDCANCEL) Finish(window, ResultOfButton(state->cancelId));
            else if (id == IDOK || id == IDYES || id == IDNO) Finish(window, ResultOfButton(id));
            return 0;
        }
        case WM_CLOSE:
            Finish(window, MessageResult::kNone);  // the close button is no answer
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
        }
    });
}

// Ctrl alone with C: beep and put the window's text on the clipboard.
bool CopyOnCtrlC(HWND window, const MSG& msg, const MessageWindow& state)
{
    if (msg.message != WM_KEYDOWN || msg.wParam != 'C') return false;
    if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_MENU) < 0) return false;
    if (msg.hwnd != window && !IsChild(window, msg.hwnd)) return false;
    MessageBeep(0);
    std::vector<std::string> captions;
    for (const Button& b : state.buttons) captions.emplace_back(b.caption);
    const std::string text = MessageClipboardText(state.caption, state.text, captions);
    if (OpenClipboard(window)) {
        EmptyClipboard();
        if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
            char* bytes = static_cast<char*>(GlobalLock(memory));
            std::copy(text.begin(), text.end(), bytes);
            bytes[text.size()] = '\0';
            GlobalUnlock(memory);
            if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
        }
        CloseClipboard();
    }
    return true;
}

MessageResult ShowMessageWindow(MessageWindow& state, LPCSTR icon)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    RegisterWindowClass(instance, kMessageWindowClass, MessageProc);

    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    state.font.Reset(CreateFontIndirectA(&metrics.lfMessageFont));

    // Units of the message font: a quarter of its average character width
    // across, an eighth of its height down.
    WindowDC screen(nullptr);
    SelectedObject selected(screen.Get(), state.font.Get());
    TEXTMETRICA tm;
    GetTextMetricsA(screen.Get(), &tm);
    SIZE alphabet;
    GetTextExtentPoint32A(screen.Get(), "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &alphabet);
    const int averageWidth = (alphabet.cx / 26 + 1) / 2;
    auto horizontal = [&](int units) { return MulDiv(units, averageWidth, 4); };
    auto vertical = [&](int units) { return MulDiv(units, tm.tmHeight, 8); };

    const int iconSize = icon ? 32 : 0;
    RECT textRect{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
    DrawTextA(screen.Get(), state.text.c_str(), static_cast<int>(state.text.size()), &textRect,
              DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    const int textLeft = horizontal(8) + (icon ? iconSize + horizontal(10) : 0);
    const int blockWidth = (icon ? iconSize + horizontal(10) : 0) + textRect.right;
    const int blockHeight = std::max<int>(textRect.bottom, iconSize);

    int buttonWidth = horizontal(50);
    for (const Button& b : state.buttons) {
        RECT r{0, 0, 0, 0};
        DrawTextA(screen.Get(), b.caption, -1, &r, DT_CALCRECT | DT_SINGLELINE);
        buttonWidth = std::max<int>(buttonWidth, r.right + 8);
    }
    const int buttonHeight = vertical(14);
    const int buttonGap = horizontal(4);
    const int rowWidth = static_cast<int>(state.buttons.size()) * buttonWidth +
                         (static_cast<int>(state.buttons.size()) - 1) * buttonGap;
    const int clientWidth = std::max(blockWidth, rowWidth) + 2 * horizontal(8);
    const int clientHeight = blockHeight + vertical(10) + buttonHeight + 2 * vertical(8);

    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD exStyle = WS_EX_DLGMODALFRAME;
    RECT outer{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    const POINT at = CentredOnScreen(width, height);
    HWND owner = Application::Instance().MainWindow();
    HWND window = CheckCreated(CreateWindowExA(exStyle, kMessageWindowClass, state.caption.c_str(), style, at.x, at.y,
                                               width, height, owner, nullptr, instance, nullptr),
                               kMessageWindowClass);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));

    auto child = [&](const char* cls, const char* caption, DWORD childStyle, int x, int y, int w, int h, int id) {
        HWND control = CreateWindowExA(0, cls, caption, WS_CHILD | WS_VISIBLE | childStyle, x, y, w, h, window,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(state.font.Get()), FALSE);
        return control;
    };
    if (icon) {
        HWND iconControl = child("STATIC", nullptr, SS_ICON, horizontal(8), vertical(8), iconSize, iconSize, IDC_MESSAGE_ICON);
        SendMessageA(iconControl, STM_SETICON, reinterpret_cast<WPARAM>(LoadIcon(nullptr, icon)), 0);
    }
    // A static control draws "&" as the access-letter mark, wraps words
    // and expands tabs, as the text block should.
    child("STATIC", state.text.c_str(), SS_LEFT, textLeft, vertical(8), textRect.right, textRect.bottom, IDC_MESSAGE_TEXT);
    int x = (clientWidth - rowWidth) / 2;
    const int y = vertical(8) + blockHeight + vertical(10);
    HWND focus = nullptr;
    for (const Button& b : state.buttons) {
        const DWORD buttonStyle = WS_TABSTOP | (b.id == state.defaultId ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        HWND button = child("BUTTON", b.caption, buttonStyle, x, y, buttonWidth, buttonHeight, b.id);
        if (b.id == state.defaultId) focus = button;
        x += buttonWidth + buttonGap;
    }

    std::optional<ModalScope> modal(window);
    ShowWindow(window, SW_SHOW);
    SetFocus(focus);
    Application::Instance().RunModal(window, state.done, [&](const MSG& msg) { return CopyOnCtrlC(window, msg, state); });
    modal.reset();
    DestroyWindow(window);
    return state.result;
}

}  // namespace

void ShowNotice(const std::string& text)
{
    MessageWindow state;
    state.caption = Application::Instance().Title();
    state.text = text;
    state.buttons = {{text::kOk, IDOK}};
    state.defaultId = IDOK;
    state.cancelId = IDOK;
    ShowMessageWindow(state, nullptr);
}

bool ShowConfirmation(const std::string& text)
{
    MessageWindow state;
    state.caption = text::kConfirmCaption;
    state.text = text;
    state.buttons = {{text::kYes, IDYES}, {text::kNo, IDNO}};
    state.defaultId = IDYES;
    state.cancelId = IDNO;
    return ShowMessageWindow(state, IDI_QUESTION) == MessageResult::kYes;
}

}  // namespace quorvel::ui
