// The notice box and the confirmation box: the program's own message
// windows, laid out in units of the system's message font.
#pragma once

#include <windows.h>

#include <string>

namespace quorvel::ui {

enum class MessageResult { kNone, kOk, kYes, kNo };

// The notice box: caption "Quorvel", no icon, one "OK" button that is both
// default and cancel.
void ShowNotice(const std::string& text);

// The confirmation box: caption "確認", the question icon, "はい(&Y)" then
// "いいえ(&N)". True only for Yes; Esc, No and the close button say no.
bool ShowConfirmation(const std::string& text);

extern const char* const kMessageWindowClass;

}  // namespace quorvel::ui
