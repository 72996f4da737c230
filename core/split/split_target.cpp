#include "core/split/split_target.h"

#include <cstdio>
#include <random>

#include "core/split/piece_name.h"
#include "core/text/utf8.h"

namespace quorvel {

namespace {

// The code page of the target's paths: UTF-8 has no second bytes to mind.
CodePage PathCodePage(const SplitTarget& target)
{
    return target.namesInUtf8 ? CodePage::Utf8() : target.codePage;
}

// `path`, a piece's path beside the input, moved into the output folder.
std::string InOutputFolder(const SplitTarget& target, std::string path)
{
    if (target.outputFolder.empty()) return path;
    const CodePage pathCodePage = PathCodePage(target);
    const size_t folder = FolderPart(target.inputPath, pathCodePage, target.pathStyle).size();
    std::string moved = target.outputFolder;
    const size_t last = LastSeparator(moved, pathCodePage, target.pathStyle);
    if (last == std::string::npos || last + 1 != moved.size()) moved.push_back(target.pathStyle.slash ? '/' : '\\');
    return moved.append(path, folder, std::string::npos);
}

}  // namespace

std::string PiecePath(const SplitTarget& target, std::string_view key)
{
    return InOutputFolder(target, target.namesInUtf8
                                      ? Utf8PieceFileName(target.inputPath, key, target.codePage, target.pathStyle)
                                      : PieceFileName(target.inputPath, key, target.codePage, target.pathStyle));
}

std::string ChunkPath(const SplitTarget& target, uint64_t number)
{
    // A number is ASCII, the same in every code page and in UTF-8.
    return InOutputFolder(target, PieceFileName(target.inputPath, std::to_string(number), PathCodePage(target),
                                                target.pathStyle));
}

std::string RefusedName(const std::string& path, const SplitTarget& target)
{
    const size_t folder = FolderPart(path, PathCodePage(target), target.pathStyle).size();
    const std::string_view name = std::string_view(path).substr(folder);
    if (!target.pathStyle.backslashAndColon) {
        if (name.size() > 255) return "name too long";
        if (path.size() >= 4096) return "path too long";
        return {};
    }
    // Windows: the refused characters are made "_" already, and a name that
    // ends in ".csv" is never a device's; what is left is the length, in
    // the UTF-16 units that Windows counts when the names are characters.
    const auto length = [&](std::string_view text) { return target.namesInUtf8 ? Utf16Length(text) : text.size(); };
    if (length(path) > 259) return "path too long";
    if (length(name) > 255) return "name too long";
    return {};
}

}  // namespace quorvel

namespace quorvel {

std::string WorkingFilePath(const std::string& beside, const SplitTarget& target, uint64_t tag, uint64_t number)
{
    std::string path(FolderPart(beside, PathCodePage(target), target.pathStyle));
    char name[64];
    std::snprintf(name, sizeof name, "~quorvel-%016llx-%llu.tmp", static_cast<unsigned long long>(tag),
                  static_cast<unsigned long long>(number));
    return path.append(name);
}

uint64_t NewWorkingFileTag()
{
    std::random_device random;
    return (uint64_t{random()} << 32) ^ random();
}

}  // namespace quorvel
