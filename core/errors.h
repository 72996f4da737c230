// The system's typed errors. Each carries its fixed message text in the
// ANSI code page; errors about a file also carry the path byte for byte,
// so that a terminal can show the fixed text and the path separately.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace quorvel {

class QuorvelError : public std::exception {
public:
    // `messageTemplate` may hold one "%s", replaced by `path`.
    QuorvelError(std::string_view messageTemplate, std::string_view path = {});

    const std::string& Message() const { return message_; }
    const std::string& Path() const { return path_; }
    const std::string& Template() const { return template_; }
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string template_;
    std::string path_;
    std::string message_;
};

// An input file that cannot be opened or read.
class FileOpenError : public QuorvelError {
public:
    explicit FileOpenError(std::string_view path);
};

// A piece file that cannot be created.
class FileCreateError : public QuorvelError {
public:
    explicit FileCreateError(std::string_view path);
};

// A piece file that took fewer bytes than were written to it.
class FileWriteError : public QuorvelError {
public:
    FileWriteError();
};

// A row index outside the table.
class TableIndexError : public QuorvelError {
public:
    TableIndexError();
};

// A file whose tokens need more rows than the table can hold.
class RowLimitError : public QuorvelError {
public:
    explicit RowLimitError(std::string_view path);
};

// A piece too long to sort in memory: the split of a file over the
// table's cap sorts each piece, which must fit in a table.
class PieceRowLimitError : public QuorvelError {
public:
    explicit PieceRowLimitError(std::string_view path);
};

// A file in UTF-16 (it begins with FF FE or FE FF), which is not read.
class Utf16FileError : public QuorvelError {
public:
    explicit Utf16FileError(std::string_view path);
};

// A record of a file, read by lines for a split of the whole file, that
// has more fields than the table that the file's first rows were laid
// out in.
class WiderRecordError : public QuorvelError {
public:
    WiderRecordError(std::string_view path, uint64_t line, size_t fields, int32_t columns);
};

// Memory ran out during a command.
class OutOfMemoryError : public QuorvelError {
public:
    OutOfMemoryError();
};

namespace messages {
extern const char* const kFileOpen;
extern const char* const kFileCreate;
extern const char* const kFileWrite;
extern const char* const kTableIndex;
extern const std::string kRowLimit;
extern const std::string kPieceRowLimit;
extern const char* const kUtf16File;
extern const char* const kOutOfMemory;
// Templates whose numbers are the failure's own: "%s" stands for the path.
std::string FieldLimit(uint64_t line, size_t fields);
std::string WiderRecord(uint64_t line, size_t fields, int32_t columns);
}  // namespace messages

}  // namespace quorvel
