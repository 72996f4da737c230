// The record scanner that every record reader shares: the one that reads a
// file whole into a table, the one that streams it a part at a time and
// the one that measures its records. Internal to the readers.
//
// Fields are found block by block, as the token scanner finds tokens: an
// unquoted field runs to the next comma or line break, a quoted one to its
// closing quote, and neither looks at the bytes in between. Fields are
// views of the text where the file holds them as they are (the common
// case), and are copied once, into scratch space, where the value differs
// from the bytes (doubled quotes, text after a closing quote).
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "core/read/block_cursor.h"
#include "core/read/file_text.h"
#include "core/text/codepage.h"

namespace quorvel::scan {

class RecordScanner {
public:
    explicit RecordScanner(const CodePage& codePage) : codePage_(codePage) {}

    // Scans the records of `text` from `start` up to its 0x00 at `size` or
    // an earlier one; each whole record goes to `onRecord(line, fields)`.
    // With `partial` the text goes on after `size`, so a record that comes
    // that close to it is left for the next part. Returns where it stopped.
    // With `recordLimit`, stops after that many records and returns where
    // the next one begins, or the end.
    template <typename OnRecord>
    size_t Run(const char* text, size_t size, size_t start, bool partial, OnRecord&& onRecord,
               size_t recordLimit = std::numeric_limits<size_t>::max())
    {
        const auto* s = reinterpret_cast<const uint8_t*>(text);
        BlockCursor blocks(s, size + 1, nullptr, codePage_);
        auto noProgress = [](size_t) {};
        return Scan(blocks, s, size, start, partial, recordLimit, onRecord, noProgress);
    }

    // A text still arriving: every read waits until its bytes are there.
    // `recordLimit` as above; `progress(position)` is told every megabyte
    // or so.
    template <typename OnRecord, typename Progress>
    size_t Run(FileTextStream& stream, size_t start, size_t recordLimit, OnRecord&& onRecord, Progress&& progress)
    {
        const auto* s = reinterpret_cast<const uint8_t*>(stream.Bytes());
        BlockCursor blocks(s, 0, &stream, codePage_);
        return Scan(blocks, s, stream.Capacity(), start, false, recordLimit, onRecord, progress);
    }

    // The line that the scan has reached.
    uint64_t Line() const { return line_; }

private:
    // A field rewritten in scratch space: its place among the fields, and
    // its offset there (the scratch may move until the record is whole).
    struct Rewritten {
        size_t field;
        size_t offset;
    };

    static bool IsLineBreak(uint8_t c) { return c == '\r' || c == '\n'; }
    static uint64_t FieldEnds(const BlockMasks& m) { return m.commas | m.breaks; }
    static uint64_t QuotesAndBreaks(const BlockMasks& m) { return m.quotes | m.breaks; }

    template <typename OnRecord, typename Progress>
    size_t Scan(BlockCursor& blocks, const uint8_t* s, size_t size, size_t start, bool partial, size_t recordLimit,
                OnRecord& onRecord, Progress& progress)
    {
        size_t p = start;
        size_t records = 0;
        size_t nextProgress = p + (size_t{1} << 20);
        blocks.EnsureReadable(p + 1);
        for (;;) {
            while (IsLineBreak(s[p])) {  // an empty line is no record
                if (partial && p + 1 >= size) return p;
                StepOverLineBreak(blocks, s, p);
            }
            if (s[p] == 0 || records == recordLimit) break;
            const size_t recordStart = p;
            const uint64_t recordLine = line_;
            fields_.clear();
            rewritten_.clear();
            scratch_.clear();
            for (;;) {
                p = ReadField(blocks, s, p);
                if (s[p] != ',') break;  // a line break or the end
                ++p;
            }
            // The record's end and the byte after it must be of this part.
            if (partial && p + 1 >= size) {
                line_ = recordLine;
                return recordStart;
            }
            for (const Rewritten& r : rewritten_)
                fields_[r.field] = std::string_view(scratch_.data() + r.offset, fields_[r.field].size());
            onRecord(recordLine, fields_);
            ++records;
            if (IsLineBreak(s[p])) StepOverLineBreak(blocks, s, p);
            if (p >= nextProgress) {
                nextProgress = p + (size_t{1} << 20);
                progress(p);
            }
        }
        return p;
    }

    void StepOverLineBreak(BlockCursor& blocks, const uint8_t* s, size_t& p)
    {
        blocks.EnsureReadable(p + 2);
        if (s[p] == '\r' && s[p + 1] == '\n') ++p;
        ++p;
        ++line_;
        blocks.EnsureReadable(p + 1);
    }

    // The end of an unquoted run from `p`: the next comma, line break or
    // 0x00 that begins a character. A line break that is a second byte
    // belongs to its character; a 0x00 ends the text all the same.
    static size_t UnquotedEnd(BlockCursor& blocks, const uint8_t* s, size_t p)
    {
        size_t e = blocks.Next(p, FieldEnds);
        while (blocks.SecondByteAt(e) && s[e] != 0) e = blocks.Next(e + 1, FieldEnds);
        return e;
    }

    // One character: a lead byte takes the byte after it, whatever that
    // is, unless it is the end.
    size_t CharacterLength(const uint8_t* s, size_t p) const
    {
        return codePage_.IsLeadByte(s[p]) && s[p + 1] != 0 ? 2 : 1;
    }

    // A field up to the next comma or line break outside quotes. A quote
    // opens a quoted part only at the field's start; text after the
    // closing quote belongs to the field, as in common CSV readers.
    size_t ReadField(BlockCursor& blocks, const uint8_t* s, size_t p)
    {
        if (s[p] != '"') {
            const size_t end = UnquotedEnd(blocks, s, p);
            fields_.emplace_back(reinterpret_cast<const char*>(s) + p, end - p);
            return end;
        }
        const size_t content = p + 1;
        size_t q = content;
        bool doubled = false;
        bool closed = false;
        for (;;) {
            q = blocks.Next(q, QuotesAndBreaks);
            if (s[q] == '"') {
                if (s[q + 1] == '"') {
                    doubled = true;
                    q += 2;
                    continue;
                }
                closed = true;
                break;
            }
            if (s[q] == 0) break;  // unterminated: the field runs to the end
            // A line break inside the quotes, unless it is a second byte.
            if (!blocks.SecondByteAt(q) && (s[q] == '\n' || s[q + 1] != '\n')) ++line_;
            ++q;
        }
        const size_t after = closed ? q + 1 : q;
        const size_t end = closed ? UnquotedEnd(blocks, s, after) : q;
        if (!doubled && end == after) {
            fields_.emplace_back(reinterpret_cast<const char*>(s) + content, q - content);
            return end;
        }
        const size_t begin = scratch_.size();
        for (size_t i = content; i < q;) {
            if (s[i] == '"') {  // a doubled quote: one of it is the value's
                scratch_.push_back('"');
                i += 2;
                continue;
            }
            const size_t n = CharacterLength(s, i);
            scratch_.append(reinterpret_cast<const char*>(s) + i, n);
            i += n;
        }
        scratch_.append(reinterpret_cast<const char*>(s) + after, end - after);
        rewritten_.push_back({fields_.size(), begin});
        fields_.emplace_back(nullptr, scratch_.size() - begin);
        return end;
    }

    const CodePage& codePage_;
    std::vector<Rewritten> rewritten_;
    std::string scratch_;
    std::vector<std::string_view> fields_;
    uint64_t line_ = 1;
};

}  // namespace quorvel::scan
