#include "core/errors.h"

#include <string>

#include "core/table_limits.h"

namespace quorvel {

namespace messages {
const char* const kFileOpen = "ファイル %s は開けません";
const char* const kFileCreate = "ファイル %s を作成できません";
const char* const kFileWrite = "ストリームへの書き込みエラー";
const char* const kTableIndex = "グリッドインデックス が範囲を超えています";
// The cap in these messages is the table's, written out as a number.
const std::string kRowLimit = "ファイル %s は行数が上限の " + std::to_string(MaxTableRows) + " 行を超えるため開けません";
const std::string kPieceRowLimit =
    "ファイル %s は行数が上限の " + std::to_string(MaxTableRows - 1) + " 行を超えるため並べ替えられません";
const char* const kUtf16File =
    "ファイル %s は UTF-16 で保存されているため開けません。UTF-8 か Shift_JIS で保存し直してください";
const char* const kOutOfMemory = "メモリが不足しています";

std::string FieldLimit(uint64_t line, size_t fields)
{
    return "ファイル %s の " + std::to_string(line) + " 行目は項目が " + std::to_string(fields) +
           " 個あり、列数の上限 " + std::to_string(MaxTableColumns) + " を超えるため開けません";
}

std::string WiderRecord(uint64_t line, size_t fields, int32_t columns)
{
    return "ファイル %s の " + std::to_string(line) + " 行目は項目が " + std::to_string(fields) + " 個あり、表の列数 " +
           std::to_string(columns) + " を超えるため分割保存できません";
}
}  // namespace messages

QuorvelError::QuorvelError(std::string_view messageTemplate, std::string_view path)
    : template_(messageTemplate), path_(path)
{
    const size_t slot = template_.find("%s");
    if (slot == std::string::npos) {
        message_ = template_;
    } else {
        message_.reserve(template_.size() + path_.size());
        message_.append(template_, 0, slot).append(path_).append(template_, slot + 2);
    }
}

FileOpenError::FileOpenError(std::string_view path) : QuorvelError(messages::kFileOpen, path) {}
FileCreateError::FileCreateError(std::string_view path) : QuorvelError(messages::kFileCreate, path) {}
FileWriteError::FileWriteError() : QuorvelError(messages::kFileWrite) {}
TableIndexError::TableIndexError() : QuorvelError(messages::kTableIndex) {}
RowLimitError::RowLimitError(std::string_view path) : QuorvelError(messages::kRowLimit, path) {}
PieceRowLimitError::PieceRowLimitError(std::string_view path) : QuorvelError(messages::kPieceRowLimit, path) {}
Utf16FileError::Utf16FileError(std::string_view path) : QuorvelError(messages::kUtf16File, path) {}
WiderRecordError::WiderRecordError(std::string_view path, uint64_t line, size_t fields, int32_t columns)
    : QuorvelError(messages::WiderRecord(line, fields, columns), path)
{
}
OutOfMemoryError::OutOfMemoryError() : QuorvelError(messages::kOutOfMemory) {}

}  // namespace quorvel
