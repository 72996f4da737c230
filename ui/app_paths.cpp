#include "ui/app_paths.h"

#include "ui/ui_texts.h"

namespace quorvel::ui {

namespace {

bool IsWindowsSeparator(char c) { return c == '\\' || c == ':'; }

// The last byte that is wanted and no second byte, or npos.
template <typename Wanted>
size_t FindLast(std::string_view path, const CodePage& codePage, Wanted wanted)
{
    for (size_t i = path.size(); i-- > 0;)
        if (wanted(path[i]) && !codePage.IsSecondByte(path, i)) return i;
    return std::string_view::npos;
}

}  // namespace

std::string AppDirOf(std::string_view exePath, const CodePage& codePage)
{
    const size_t last = FindLast(exePath, codePage, IsWindowsSeparator);
    if (last == std::string_view::npos) return {};
    // A drive root or a doubled separator keeps its separator; the second
    // byte of 表 (0x95 0x5C) before it is no separator.
    const bool separatorBefore =
        last > 0 && IsWindowsSeparator(exePath[last - 1]) && !codePage.IsSecondByte(exePath, last - 1);
    const bool cutBefore = exePath[last] == '\\' && last > 0 && !separatorBefore;
    return std::string(exePath.substr(0, cutBefore ? last : last + 1));
}

std::string ExeBaseNameOf(std::string_view exePath, const CodePage& codePage)
{
    const size_t last = FindLast(exePath, codePage, IsWindowsSeparator);
    const std::string_view name = last == std::string_view::npos ? exePath : exePath.substr(last + 1);
    const size_t dot = FindLast(name, codePage, [](char c) { return c == '.' || IsWindowsSeparator(c); });
    if (dot != std::string_view::npos && name[dot] == '.') return std::string(name.substr(0, dot));
    return std::string(name);
}

std::string GuidePath(std::string_view appDir) { return std::string(appDir) + text::kReadmeName; }

std::string InfoPageAddress(std::string_view baseName)
{
    return std::string(text::kInfoPageBase) + text::kInfoPagePath + std::string(baseName);
}

}  // namespace quorvel::ui
