// Helpers shared by the tests: byte notation, scratch folders, files.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::test {

// Decodes the byte notation of the test tables: printable ASCII stands for
// itself; [Q] is 0x22, [SP] 0x20, [TAB] 0x09, [CR] 0x0D, [LF] 0x0A and
// [hh] any byte by its two hexadecimal digits.
std::string Bytes(std::string_view notation);

// Bytes as the notation above, for readable failure messages.
std::string Show(std::string_view bytes);
std::string Show(const std::vector<std::string>& list);

// A fresh folder, removed with everything in it when the object goes.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& Path() const { return path_; }
    // The path of `name` inside the folder, with the platform's separator.
    std::string File(std::string_view name) const;

private:
    std::string path_;
};

// Holds a file open as another program would, until destroyed: as a
// writer that lets others read (an editor), or with no sharing at all.
class FileHolder {
public:
    enum Mode { kWriterSharingRead, kExclusive };
    FileHolder(const std::string& path, Mode mode);
    ~FileHolder();
    FileHolder(const FileHolder&) = delete;
    FileHolder& operator=(const FileHolder&) = delete;
    bool Holding() const { return holding_; }

private:
    bool holding_ = false;
    intptr_t handle_ = -1;
};

// Texts that put every byte the readers treat apart next to every other:
// separators, quotes, breaks, Shift_JIS lead bytes with every kind of
// second byte, UTF-8 sequences whole and cut, and 0x00 (seldom).
std::string RandomText(std::mt19937& random, size_t length);

char Separator();
// Paths are UTF-8, as the core's are (u8"..." for a literal name).
void WriteFile(const std::string& path, std::string_view bytes);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
std::vector<std::string> ListFolder(const std::string& path);
bool MakeFolder(const std::string& path);

}  // namespace quorvel::test
