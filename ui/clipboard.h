// Text onto the clipboard, as the message windows' Ctrl+C puts it there.
#pragma once

#include <windows.h>

#include <string_view>

namespace quorvel::ui {

using GlobalAllocator = HGLOBAL(WINAPI*)(UINT flags, SIZE_T bytes);

// Puts `text` on the clipboard as CF_TEXT. The memory is made and filled
// first: when it cannot be (or the clipboard cannot be opened), the
// clipboard keeps what it held and false is returned. `allocate` stands
// in for GlobalAlloc in the tests.
bool PutOnClipboard(HWND owner, std::string_view text, GlobalAllocator allocate = GlobalAlloc);

}  // namespace quorvel::ui
