#include "ui/clipboard.h"

#include <algorithm>

#include "ui/win32_util.h"

namespace quorvel::ui {

bool PutOnClipboard(HWND owner, std::string_view text, GlobalAllocator allocate)
{
    GlobalMemory memory(allocate(GMEM_MOVEABLE, text.size() + 1));
    {
        const GlobalLockGuard lock(memory.Get());
        if (!lock.Bytes()) return false;
        char* bytes = static_cast<char*>(lock.Bytes());
        std::copy(text.begin(), text.end(), bytes);
        bytes[text.size()] = '\0';
    }
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    // The clipboard owns the memory once it takes it.
    const bool taken = SetClipboardData(CF_TEXT, memory.Get()) != nullptr;
    if (taken) memory.Release();
    CloseClipboard();
    return taken;
}

}  // namespace quorvel::ui
