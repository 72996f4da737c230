#include "ui/app_paths.h"

#include "core/text/path_parts.h"
#include "ui/ui_texts.h"

namespace quorvel::ui {

std::string AppDirOf(std::string_view exePath, const CodePage& codePage)
{
    constexpr PathStyle windows = PathStyle::Windows();
    const size_t last = LastSeparator(exePath, codePage, windows);
    if (last == std::string_view::npos) return {};
    // A drive root or a doubled separator keeps its separator; the second
    // byte of 表 (0x95 0x5C) before it is no separator.
    const bool separatorBefore =
        last > 0 && windows.IsSeparator(exePath[last - 1]) && !codePage.IsSecondByte(exePath, last - 1);
    const bool cutBefore = exePath[last] == '\\' && last > 0 && !separatorBefore;
    return std::string(exePath.substr(0, cutBefore ? last : last + 1));
}

std::string ExeBaseNameOf(std::string_view exePath, const CodePage& codePage)
{
    const size_t last = LastSeparator(exePath, codePage, PathStyle::Windows());
    const std::string_view name = last == std::string_view::npos ? exePath : exePath.substr(last + 1);
    return std::string(StemPart(name, codePage, PathStyle::Windows()));
}

std::string GuidePath(std::string_view appDir) { return std::string(appDir) + text::kReadmeName; }

std::string InfoPageAddress(std::string_view baseName)
{
    return std::string(text::kInfoPageBase) + text::kInfoPagePath + std::string(baseName);
}

}  // namespace quorvel::ui
