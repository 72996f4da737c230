// The record scanner that both record readers share: the one that reads a
// file whole into a table and the one that streams it a part at a time.
// Internal to the readers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/codepage.h"

namespace quorvel::scan {

// One pass over a text, record by record. Fields are views of the text
// where the file holds them as they are (the common case), and are copied
// once, into scratch space, where the value differs from the bytes
// (doubled quotes, text after a closing quote).
class RecordScanner {
public:
    explicit RecordScanner(const CodePage& codePage) : codePage_(codePage) {}

    // Scans the records of `text` from `start` up to its 0x00 at `size` or
    // an earlier one; each whole record goes to `onRecord(line, fields)`.
    // With `partial` the text goes on after `size`, so a record that comes
    // that close to it is left for the next part. Returns where it stopped.
    template <typename OnRecord>
    size_t Run(const char* text, size_t size, size_t start, bool partial, OnRecord&& onRecord)
    {
        const auto* s = reinterpret_cast<const uint8_t*>(text);
        size_t p = start;
        while (s[p] != 0) {
            if (IsLineBreak(s[p])) {  // an empty line is no record
                if (partial && p + 1 >= size) return p;
                StepOverLineBreak(s, p);
                continue;
            }
            const size_t recordStart = p;
            const uint64_t recordLine = line_;
            spans_.clear();
            scratch_.clear();
            for (;;) {
                ReadField(s, p);
                if (s[p] != ',') break;  // a line break or the end
                ++p;
            }
            // The record's end and the byte after it must be of this part.
            if (partial && p + 1 >= size) {
                line_ = recordLine;
                return recordStart;
            }
            fields_.clear();
            for (const Span& span : spans_)
                fields_.emplace_back(span.inScratch ? scratch_.data() + span.offset : text + span.offset, span.length);
            onRecord(recordLine, fields_);
            if (IsLineBreak(s[p])) StepOverLineBreak(s, p);
        }
        return p;
    }

private:
    struct Span {
        size_t offset;
        size_t length;
        bool inScratch;
    };

    static bool IsLineBreak(uint8_t c) { return c == '\r' || c == '\n'; }

    void StepOverLineBreak(const uint8_t* s, size_t& p)
    {
        if (s[p] == '\r' && s[p + 1] == '\n') ++p;
        ++p;
        ++line_;
    }

    // One character: a lead byte takes the byte after it, whatever that
    // is, unless it is the end.
    size_t CharacterLength(const uint8_t* s, size_t p) const
    {
        return codePage_.IsLeadByte(s[p]) && s[p + 1] != 0 ? 2 : 1;
    }

    // The unquoted rest of a field, from `p` to a comma, a line break or
    // the end.
    size_t UnquotedEnd(const uint8_t* s, size_t p) const
    {
        while (s[p] != 0 && s[p] != ',' && !IsLineBreak(s[p])) p += CharacterLength(s, p);
        return p;
    }

    // A field up to the next comma or line break outside quotes. A quote
    // opens a quoted part only at the field's start; text after the
    // closing quote belongs to the field, as in common CSV readers.
    void ReadField(const uint8_t* s, size_t& p)
    {
        if (s[p] != '"') {
            const size_t end = UnquotedEnd(s, p);
            spans_.push_back({p, end - p, false});
            p = end;
            return;
        }
        const size_t content = p + 1;
        size_t q = content;
        bool doubled = false;
        bool closed = false;
        while (s[q] != 0) {  // unterminated: the field runs to the end
            if (s[q] == '"') {
                if (s[q + 1] == '"') {
                    doubled = true;
                    q += 2;
                    continue;
                }
                closed = true;
                break;
            }
            if (s[q] == '\n' || (s[q] == '\r' && s[q + 1] != '\n')) ++line_;
            q += CharacterLength(s, q);
        }
        const size_t after = closed ? q + 1 : q;
        const size_t end = closed ? UnquotedEnd(s, after) : q;
        if (!doubled && end == after) {
            spans_.push_back({content, q - content, false});
        } else {
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
            spans_.push_back({begin, scratch_.size() - begin, true});
        }
        p = end;
    }

    const CodePage& codePage_;
    std::vector<Span> spans_;
    std::string scratch_;
    std::vector<std::string_view> fields_;
    uint64_t line_ = 1;
};

}  // namespace quorvel::scan
