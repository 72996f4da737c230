#include "test_support.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quorvel::test {

std::string Bytes(std::string_view notation)
{
    std::string out;
    for (size_t i = 0; i < notation.size();) {
        if (notation[i] != '[') {
            out.push_back(notation[i++]);
            continue;
        }
        const size_t close = notation.find(']', i);
        if (close == std::string_view::npos) throw std::invalid_argument("unclosed [");
        const std::string_view name = notation.substr(i + 1, close - i - 1);
        if (name == "Q") out.push_back('"');
        else if (name == "SP") out.push_back(' ');
        else if (name == "TAB") out.push_back('\t');
        else if (name == "CR") out.push_back('\r');
        else if (name == "LF") out.push_back('\n');
        else if (name.size() == 2) out.push_back(static_cast<char>(std::stoi(std::string(name), nullptr, 16)));
        else throw std::invalid_argument("unknown byte name");
        i = close + 1;
    }
    return out;
}

std::string Show(std::string_view bytes)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == '"') out += "[Q]";
        else if (b == '\r') out += "[CR]";
        else if (b == '\n') out += "[LF]";
        else if (b == ' ') out += "[SP]";
        else if (b > 0x20 && b < 0x7F && b != '[') out.push_back(c);
        else {
            out.push_back('[');
            out.push_back(kHex[b >> 4]);
            out.push_back(kHex[b & 15]);
            out.push_back(']');
        }
    }
    return out;
}

std::string Show(const std::vector<std::string>& list)
{
    std::string out = "{";
    for (size_t i = 0; i < list.size(); ++i) out += (i ? " | " : "") + Show(list[i]);
    return out + "}";
}

std::string RandomText(std::mt19937& random, size_t length)
{
    static const std::vector<std::string> kBits = {
        "a", "b", "ab", ",", ",", "\"", "\"\"", "\r", "\n", "\r\n", " ", "\t", "\x81", "\x82\xA0", "\x81\r",
        "\x81\n", "\x81,", "\x81\"", "\x93\x8C", "\xE6\x9D\xB1", "\xE4\xBA", "\xF0\x9F\x8D\x8E", "xyz", "", "0123"};
    std::string text;
    std::uniform_int_distribution<size_t> pick(0, kBits.size() - 1);
    std::uniform_int_distribution<int> zero(0, 400);
    while (text.size() < length) {
        const size_t bit = pick(random);
        // The empty entry stands for a 0x00, which ends the text: seldom.
        if (kBits[bit].empty() && zero(random) != 0) continue;
        text += kBits[bit].empty() ? std::string(1, '\0') : kBits[bit];
    }
    return text;
}

#ifdef _WIN32
// Paths here are UTF-8, as in the core: the wide functions take them.
namespace {
std::wstring Wide(const std::string& utf8)
{
    if (utf8.empty()) return {};
    const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), units);
    return wide;
}

std::string Utf8(const wchar_t* wide)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes > 0 ? bytes : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), bytes, nullptr, nullptr);
    utf8.resize(utf8.size() - 1);
    return utf8;
}
}  // namespace

char Separator() { return '\\'; }

ScratchDir::ScratchDir()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    static unsigned counter = 0;
    for (;;) {
        path_ = Utf8(temp) + "quorvel-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++counter);
        if (CreateDirectoryW(Wide(path_).c_str(), nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot make a scratch folder");
    }
}

namespace {
void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(Wide(path + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = Utf8(data.cFileName);
            if (name == "." || name == "..") continue;
            const std::string child = path + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesW(Wide(child).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(Wide(child).c_str());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(Wide(path).c_str());
}
}  // namespace

ScratchDir::~ScratchDir() { RemoveTree(path_); }

std::vector<std::string> ListFolder(const std::string& path)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(Wide(path + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = Utf8(data.cFileName);
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

bool MakeFolder(const std::string& path) { return CreateDirectoryW(Wide(path).c_str(), nullptr) != 0; }

FileHolder::FileHolder(const std::string& path, Mode mode)
{
    HANDLE h = mode == kWriterSharingRead
                   ? CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr)
                   : CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    holding_ = h != INVALID_HANDLE_VALUE;
    handle_ = reinterpret_cast<intptr_t>(h);
}

FileHolder::~FileHolder()
{
    if (holding_) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}
#else
char Separator() { return '/'; }

ScratchDir::ScratchDir()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/quorvel-test-XXXXXX";
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch folder");
    path_ = pattern;
}

namespace {
void RemoveTree(const std::string& path)
{
    chmod(path.c_str(), 0700);
    if (DIR* dir = opendir(path.c_str())) {
        while (dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            const std::string child = path + "/" + name;
            struct stat st;
            if (lstat(child.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) RemoveTree(child);
            else unlink(child.c_str());
        }
        closedir(dir);
    }
    rmdir(path.c_str());
}
}  // namespace

ScratchDir::~ScratchDir() { RemoveTree(path_); }

std::vector<std::string> ListFolder(const std::string& path)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(path.c_str())) {
        while (dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool MakeFolder(const std::string& path) { return mkdir(path.c_str(), 0755) == 0; }

// POSIX knows no sharing modes; programs that care take advisory locks,
// and so does Quorvel.
FileHolder::FileHolder(const std::string& path, Mode mode)
{
    const int fd = mode == kWriterSharingRead ? ::open(path.c_str(), O_WRONLY) : ::open(path.c_str(), O_RDWR | O_CREAT, 0644);
    handle_ = fd;
    holding_ = fd >= 0 && ::flock(fd, LOCK_EX) == 0;
}

FileHolder::~FileHolder()
{
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}
#endif

std::string ScratchDir::File(std::string_view name) const { return path_ + Separator() + std::string(name); }

namespace {
// A path of the tests (UTF-8) for the streams.
std::filesystem::path StreamPath(const std::string& path)
{
#ifdef _WIN32
    return std::filesystem::path(Wide(path));
#else
    return std::filesystem::path(path);
#endif
}
}  // namespace

void WriteFile(const std::string& path, std::string_view bytes)
{
    std::ofstream out(StreamPath(path), std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + path);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(StreamPath(path), std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool FileExists(const std::string& path) { return std::ifstream(StreamPath(path)).good(); }

}  // namespace quorvel::test
