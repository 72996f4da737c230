// A CSV file's rows as a stream, for the split of files of any size: the
// tokens laid out N to a row as the table lays them out, or the records,
// one a row. Row 0 is the header row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/text_encoding.h"
#include "core/read/text_parts.h"
#include "core/read/token_stream.h"
#include "core/interface/file_system.h"

namespace quorvel {

class RowStream {
public:
    virtual ~RowStream() = default;
    // The next row's cells, ColCount() of them, valid until the next call;
    // false after the last row.
    virtual bool NextRow(std::vector<std::string_view>& cells) = 0;
    virtual int32_t ColCount() const = 0;
    virtual const FileEncoding& Encoding() const = 0;
    virtual uint64_t FileSize() const = 0;
    virtual uint64_t BytesDone() const = 0;
    // For the flat token reading: the first line of the file from which the
    // rows no longer follow its lines (see line_check.h), known once the
    // last row is given; 0 when they all do, and for records.
    virtual uint64_t FirstPartedLine() const { return 0; }
};

// The flat token list laid out `columns` to a row; the last row is filled
// up with empty cells.
class TokenRowStream final : public RowStream {
public:
    TokenRowStream(const std::string& path, const EncodingChoice& choice, FileSystem& files, int32_t columns,
                   size_t partBytes = kStreamPartBytes);

    bool NextRow(std::vector<std::string_view>& cells) override;
    int32_t ColCount() const override { return columns_; }
    const FileEncoding& Encoding() const override { return tokens_.Encoding(); }
    uint64_t FileSize() const override { return tokens_.FileSize(); }
    uint64_t BytesDone() const override { return tokens_.BytesDone(); }
    uint64_t FirstPartedLine() const override { return tokens_.FirstPartedLine(); }

private:
    CsvTokenStream tokens_;
    int32_t columns_;
    std::vector<std::string_view> part_;
    size_t next_ = 0;
    bool partsEnded_ = false;
    std::vector<std::string> carried_;  // a row begun in the part before
};

// The records, one a row, each filled up to `columns` with empty cells;
// a wider record raises RecordWidthError.
class RecordRowStream final : public RowStream {
public:
    RecordRowStream(const std::string& path, const EncodingChoice& choice, FileSystem& files, int32_t columns,
                    size_t partBytes = kStreamPartBytes);
    ~RecordRowStream() override;

    bool NextRow(std::vector<std::string_view>& cells) override;
    int32_t ColCount() const override { return columns_; }
    const FileEncoding& Encoding() const override { return parts_.Encoding(); }
    uint64_t FileSize() const override { return parts_.FileSize(); }
    uint64_t BytesDone() const override { return parts_.BytesDone(); }

    // The widest record, and the first (its line and width) wider than
    // `limit`, by a pass over the whole file.
    struct Widths {
        size_t widest = 0;
        uint64_t firstWiderLine = 0;  // 0: none
        size_t firstWiderWidth = 0;
    };
    static Widths Measure(const std::string& path, const EncodingChoice& choice, FileSystem& files, size_t limit,
                          size_t partBytes = kStreamPartBytes);

private:
    bool ScanPart();

    TextParts parts_;
    int32_t columns_;
    bool scanned_ = false;
    struct PartRecords;
    std::unique_ptr<PartRecords> records_;
    size_t next_ = 0;
};

// Opens the file's rows as the table would hold them: tokens, or with
// `records` the records (see record_reader.h) at `columns` or, when none
// is given, at the widest record's field count, which takes a first pass
// over the file. Raises what the readers raise.
std::unique_ptr<RowStream> OpenRowStream(const std::string& path, const EncodingChoice& choice, FileSystem& files,
                                         bool records, std::optional<int32_t> columns,
                                         size_t partBytes = kStreamPartBytes);

}  // namespace quorvel
