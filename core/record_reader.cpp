#include "core/record_reader.h"

#include "core/utf8.h"

#include <algorithm>
#include <new>
#include <string_view>
#include <vector>

namespace quorvel {

namespace {

// One pass over the text: fields appended to `fields`, the number of
// fields of each record and the line on which it began.
class RecordScanner {
public:
    RecordScanner(const char* text, const CodePage& codePage) : p_(text), codePage_(codePage) {}

    void Run(TokenList& fields, std::vector<size_t>& widths, std::vector<uint64_t>& lines)
    {
        while (*p_ != 0) {
            if (IsLineBreak(*p_)) {  // an empty line is no record
                StepOverLineBreak();
                continue;
            }
            lines.push_back(line_);
            size_t width = 0;
            for (;;) {
                ReadField();
                fields.Append(std::string_view(field_));
                ++width;
                if (*p_ == ',') {
                    ++p_;
                    continue;
                }
                break;  // a line break or the end
            }
            widths.push_back(width);
            if (IsLineBreak(*p_)) StepOverLineBreak();
        }
    }

private:
    static bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

    void StepOverLineBreak()
    {
        if (*p_ == '\r' && p_[1] == '\n') ++p_;
        ++p_;
        ++line_;
    }

    // One character into the field: a lead byte takes the byte after it,
    // whatever that is, unless it is the end.
    void TakeCharacter()
    {
        if (codePage_.IsLeadByte(static_cast<uint8_t>(*p_)) && p_[1] != 0) field_.push_back(*p_++);
        field_.push_back(*p_++);
    }

    // A field up to the next comma or line break outside quotes. A quote
    // opens a quoted part only at the field's start; text after the
    // closing quote belongs to the field, as in common CSV readers.
    void ReadField()
    {
        field_.clear();
        if (*p_ == '"') {
            ++p_;
            for (;;) {
                if (*p_ == 0) return;  // unterminated: the field runs to the end
                if (*p_ == '"') {
                    if (p_[1] == '"') {
                        field_.push_back('"');
                        p_ += 2;
                        continue;
                    }
                    ++p_;
                    break;
                }
                if (*p_ == '\n' || (*p_ == '\r' && p_[1] != '\n')) ++line_;
                TakeCharacter();
            }
        }
        while (*p_ != 0 && *p_ != ',' && !IsLineBreak(*p_)) TakeCharacter();
    }

    const char* p_;
    const CodePage& codePage_;
    std::string field_;
    uint64_t line_ = 1;
};

std::string WidthMessage(uint64_t line, size_t fields, int32_t columns)
{
    return "line " + std::to_string(line) + ": a record of " + std::to_string(fields) + " fields, more than the " +
           std::to_string(columns) + " columns";
}

}  // namespace

RecordWidthError::RecordWidthError(uint64_t line, size_t fields, int32_t columns)
    : QuorvelError(WidthMessage(line, fields, columns))
{
}

RecordTokens SplitCsvRecords(const LoadedFile& text, const CodePage& codePage, std::optional<int32_t> columns,
                             size_t start)
{
    TokenList fields;
    std::vector<size_t> widths;
    std::vector<uint64_t> lines;
    RecordScanner(text.bytes.get() + std::min(start, text.size), codePage).Run(fields, widths, lines);

    RecordTokens records;
    const size_t widest = widths.empty() ? 1 : *std::max_element(widths.begin(), widths.end());
    records.columns = columns ? *columns : static_cast<int32_t>(std::min<size_t>(widest, 255));
    if (!columns && widest > 255) {
        const size_t at = static_cast<size_t>(std::find_if(widths.begin(), widths.end(), [](size_t w) { return w > 255; }) -
                                              widths.begin());
        throw RecordWidthError(lines[at], widths[at], 255);
    }
    size_t next = 0;
    for (size_t r = 0; r < widths.size(); ++r) {
        if (widths[r] > static_cast<size_t>(records.columns)) throw RecordWidthError(lines[r], widths[r], records.columns);
        for (size_t f = 0; f < widths[r]; ++f) records.tokens.Append(fields[next++]);
        for (size_t f = widths[r]; f < static_cast<size_t>(records.columns); ++f) records.tokens.Append(std::string_view());
    }
    return records;
}

FileEncoding OpenCsvRecords(CellTable& table, const std::string& path, const EncodingChoice& choice,
                            FileSystem& files, std::optional<int32_t> columns)
{
    RecordTokens records;
    FileEncoding encoding{choice.fallback};
    try {
        const LoadedFile text = LoadFileText(path, files);
        const std::string_view bytes(text.bytes.get(), text.size);
        encoding = EncodingOf(DetectEncoding(bytes), choice, path);
        records = SplitCsvRecords(text, encoding.codePage, columns, encoding.TextStart());
        if (encoding.IsUtf8()) {
            const std::string_view body = bytes.substr(encoding.TextStart(), bytes.find('\0') - encoding.TextStart());
            const size_t bad = FirstInvalidUtf8(body);
            if (bad != std::string_view::npos) encoding.firstInvalidLine = LineOfOffset(body, bad);
        }
    } catch (const std::bad_alloc&) {
        throw OutOfMemoryError();
    }
    records.tokens.SetSourcePath(path);
    const int32_t before = table.ColCount();
    table.ChangeColCount(records.columns);
    try {
        table.LayOutTokens(std::move(records.tokens));
    } catch (...) {
        table.ChangeColCount(before);  // a refused layout leaves the table as it was
        throw;
    }
    return encoding;
}

}  // namespace quorvel
