// The CSV scanner that both token readers share: the one that reads a
// file whole into a list and the one that streams it a part at a time.
// Internal to the readers; a sink receives the tokens.
//
// A sink has: Source(text, from, to), a token that is bytes [from, to) of
// the text; Text(view), a token rewritten in scratch space; SourceWithCr(
// text, from, to), bytes [from, to) and a CR; Count() and Truncate(count),
// to take back the tokens of a value cut short by a partial text's end;
// Progress(position), told every megabyte or so.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "core/read/block_cursor.h"
#include "core/text/codepage.h"
#include "core/read/file_text.h"
#include "core/read/line_check.h"

namespace quorvel::scan {

enum ByteClass : uint8_t { kEnd, kBlank, kCR, kLF, kDelimiter, kQuote, kLead, kPlain };

using ClassTable = std::array<uint8_t, 256>;

inline ClassTable MakeClassTable(const CodePage& codePage)
{
    ClassTable table;
    for (int b = 0; b < 256; ++b) {
        uint8_t c = kPlain;
        if (b == 0) c = kEnd;
        else if (b == '\r') c = kCR;
        else if (b == '\n') c = kLF;
        else if (b <= 0x20) c = kBlank;
        else if (b == ',') c = kDelimiter;
        else if (b == '"') c = kQuote;
        else if (codePage.IsLeadByte(static_cast<uint8_t>(b))) c = kLead;
        table[static_cast<size_t>(b)] = c;
    }
    return table;
}

inline bool IsBreakOrEnd(uint8_t b) { return b == 0 || b == '\r' || b == '\n'; }

// The scan works on the raw bytes but gives the tokens of the text with
// every line break (CR LF, lone CR, lone LF) written as CR LF and a CR LF
// after the last line. Outside quotes a break is only a blank, so this
// matters in three places: a lead byte before a break takes the CR as its
// second byte, a quoted value holds its breaks as CR LF, and an
// unterminated quoted value ends with CR LF.
//
// Values are found block by block: a plain value runs to the next
// separator, a quoted one to its closing quote, and neither looks at the
// bytes in between. What the blocks cannot settle goes to the byte loop:
// a line break taken as a second byte, and a quoted value that holds a
// doubled quote, a lone CR or LF, or no closing quote.
template <typename Sink>
class CsvScanner {
public:
    // A whole text of `size` bytes, followed by a 0x00. With `partial` the
    // text is the first part of a longer one: the scan stops before a
    // token that may go on past it, so that the next part can take up the
    // scan there.
    CsvScanner(const char* text, size_t size, size_t start, const CodePage& codePage, Sink& sink,
               bool partial = false)
        : s_(reinterpret_cast<const uint8_t*>(text)), size_(size), start_(start), partial_(partial),
          class_(MakeClassTable(codePage)), blocks_(s_, size + 1, nullptr, codePage), sink_(sink)
    {
    }

    // A text still arriving: every read waits until its bytes are there.
    CsvScanner(FileTextStream& stream, size_t start, const CodePage& codePage, Sink& sink)
        : s_(reinterpret_cast<const uint8_t*>(stream.Bytes())), size_(stream.Capacity()), start_(start),
          class_(MakeClassTable(codePage)), blocks_(s_, 0, &stream, codePage), sink_(sink)
    {
    }

    // Stops the scan once the sink holds `count` tokens: Run then returns
    // where the next token begins, or the end.
    void StopAfter(size_t count) { tokenLimit_ = count; }

    // Tells `check` what the scan meets, to find where the rows part from
    // the file's lines. A partial text takes back what it told of a token
    // left for the next part; the caller tells the end of a partial text.
    void CheckLines(LineCheck* check) { check_ = check; }

    // Scans to the end of the text, or of a partial text's last whole
    // token, and returns where it stopped: the 0x00 that ends the text, the
    // end of a partial text, or the first byte of a token left for the next
    // part.
    size_t Run() { return check_ ? Scan<true>() : Scan<false>(); }

private:
    // The scan, with the line check or without it: without, it costs not
    // even a test per token.
    template <bool kCheck>
    size_t Scan()
    {
        if (kCheck) check_->Begin(sink_.Count());
        size_t p = SkipBlanks<kCheck>(start_);
        LineCheck before;
        while (class_[s_[p]] != kEnd && sink_.Count() < tokenLimit_) {
            const size_t tokenStart = p;
            const size_t count = sink_.Count();
            if (kCheck && partial_) before = *check_;
            p = (s_[p] == '"') ? BlockQuotedValue(p) : BlockUnquotedValue(p);
            // What a value looks at reaches one byte past it: a value that
            // comes that close to a partial text's end may go on after it.
            if (partial_ && p + 2 > size_) return TakeBack(tokenStart, count, before);
            const size_t valueEnd = p;
            p = SkipBlanks<kCheck>(p);
            // Whether a delimiter follows is for the next part to say.
            if (partial_ && p >= size_) return TakeBack(tokenStart, count, before);
            // Since the joined text ends in CR LF, a delimiter is never
            // followed directly by the end: no trailing empty token here.
            if (s_[p] == ',') {
                p = SkipBlanks<kCheck>(p + 1);
            } else if (kCheck && class_[s_[p]] != kEnd && !BreakAfterValue(tokenStart, valueEnd, p)) {
                check_->Joined();  // the next token on the same line, with no comma before it
            }
            if (p >= nextProgress_) {
                nextProgress_ = p + (size_t{1} << 20);
                sink_.Progress(p);
            }
        }
        if (kCheck) {
            if (partial_) check_->Pause(sink_.Count());
            else if (class_[s_[p]] == kEnd) check_->End(sink_.Count());
        }
        return p;
    }

    size_t TakeBack(size_t tokenStart, size_t count, const LineCheck& before)
    {
        sink_.Truncate(count);
        if (check_) {
            *check_ = before;
            check_->Pause(count);
        }
        return tokenStart;
    }

    // Whether a line break stands between a value's end and the next token
    // at `next`: among the blanks, or as the CR that a lead byte at the
    // value's end took as its second byte.
    bool BreakAfterValue(size_t tokenStart, size_t valueEnd, size_t next) const
    {
        if (valueEnd > tokenStart && s_[valueEnd - 1] == '\r') return true;
        for (size_t i = valueEnd; i < next; ++i)
            if (s_[i] == '\r' || s_[i] == '\n') return true;
        return false;
    }

    template <bool kCheck>
    size_t SkipBlanks(size_t p)
    {
        for (;; ++p) {
            blocks_.EnsureReadable(p + 1);
            const uint8_t c = class_[s_[p]];
            if (c < kBlank || c > kLF) return p;
            if (kCheck && c != kBlank) NoteBreak(p);
        }
    }

    // A line break outside quotes: CR LF is one, counted at its LF. A CR
    // that ends a partial text is left uncounted, the byte after it being
    // unknown (only a part of nothing but blanks ends the scan there).
    void NoteBreak(size_t p)
    {
        if (s_[p] == '\r') {
            blocks_.EnsureReadable(p + 2);
            if (s_[p + 1] == '\n' || (partial_ && p + 1 >= size_)) return;
        }
        check_->Break(sink_.Count());
    }

    void NoteQuotedBreaks(uint64_t breaks)
    {
        if (check_ && breaks != 0) check_->QuotedBreaks(breaks);
    }

    size_t BlockUnquotedValue(size_t start)
    {
        const size_t end =
            blocks_.Next(start, [](const BlockMasks& m) { return m.separators | (m.breaks & m.second); });
        if (blocks_.SecondByteAt(end)) return UnquotedValue(start);
        AppendSource(start, end);
        return end;
    }

    size_t BlockQuotedValue(size_t quote)
    {
        size_t i = quote + 1;
        uint64_t breaks = 0;
        for (;;) {
            i = blocks_.Next(i, [](const BlockMasks& m) { return m.quotes | m.breaks; });
            if (s_[i] == '"') {
                if (s_[i + 1] == '"') break;
                AppendSource(quote + 1, i);
                NoteQuotedBreaks(breaks);
                return i + 1;
            }
            if (s_[i] != '\r' || s_[i + 1] != '\n') break;
            ++breaks;
            i += 2;
        }
        return QuotedValue(quote);
    }

    void AppendSource(size_t from, size_t to)
    {
        sink_.Source(s_, from, to);
    }

    // The byte loop: the rare values that the blocks cannot settle, read
    // with the whole text there.
    size_t UnquotedValue(size_t start)
    {
        blocks_.EnsureReadable(~size_t{0});
        size_t p = start;
        for (;;) {
            const uint8_t c = class_[s_[p]];
            if (c == kPlain || c == kQuote) {
                ++p;
            } else if (c == kLead) {
                const uint8_t next = s_[p + 1];
                if (next == '\r') {
                    // The CR is the lead byte's second byte; the LF of the
                    // joined text ends the token. Without an LF in the
                    // file after it, the CR alone ends the line.
                    AppendSource(start, p + 2);
                    if (check_ && s_[p + 2] != '\n') check_->Break(sink_.Count());
                    return p + 2;
                }
                if (next == '\n' || next == 0) {
                    // The joined text holds a CR here that the file lacks.
                    sink_.SourceWithCr(s_, start, p + 1);
                    return p + 1;
                }
                p += 2;
            } else {
                AppendSource(start, p);
                return p;
            }
        }
    }

    size_t QuotedValue(size_t quote)
    {
        blocks_.EnsureReadable(~size_t{0});
        const size_t c = quote + 1;
        size_t i = c;
        size_t segment = c;
        bool rewritten = false;
        uint64_t breaks = 0;
        scratch_.clear();
        for (;;) {
            switch (class_[s_[i]]) {
            case kLead:
                i += IsBreakOrEnd(s_[i + 1]) ? 1 : 2;
                break;
            case kCR:
                ++breaks;
                if (s_[i + 1] == '\n') {
                    i += 2;
                } else {
                    Keep(segment, i + 1);
                    scratch_.push_back('\n');
                    segment = ++i;
                    rewritten = true;
                }
                break;
            case kLF:
                ++breaks;
                Keep(segment, i);
                scratch_.append("\r\n");
                segment = ++i;
                rewritten = true;
                break;
            case kQuote:
                if (s_[i + 1] == '"') {
                    Keep(segment, i + 1);
                    i += 2;
                    segment = i;
                    rewritten = true;
                    break;
                }
                Finish(c, segment, i, rewritten);
                NoteQuotedBreaks(breaks);
                return i + 1;
            case kEnd: {
                // Unterminated: the value takes the rest of the text, which
                // always ends with a line break once the lines are joined.
                NoteQuotedBreaks(breaks);
                const bool endsInBreak = i > c && (s_[i - 1] == '\r' || s_[i - 1] == '\n');
                if (!rewritten && endsInBreak) {
                    AppendSource(c, i);  // a view, even of a hundred megabytes
                    return i;
                }
                Keep(segment, i);
                if (!endsInBreak) scratch_.append("\r\n");
                sink_.Text(std::string_view(scratch_));
                return i;
            }
            default:
                ++i;
            }
        }
    }

    void Keep(size_t from, size_t to) { scratch_.append(reinterpret_cast<const char*>(s_) + from, to - from); }

    void Finish(size_t c, size_t segment, size_t end, bool rewritten)
    {
        if (!rewritten) {
            AppendSource(c, end);
            return;
        }
        Keep(segment, end);
        sink_.Text(std::string_view(scratch_));
    }

    const uint8_t* s_;
    size_t size_;
    size_t start_;
    bool partial_ = false;
    ClassTable class_;
    BlockCursor blocks_;
    Sink& sink_;
    size_t nextProgress_ = 0;
    size_t tokenLimit_ = std::numeric_limits<size_t>::max();
    LineCheck* check_ = nullptr;
    std::string scratch_;
};

}  // namespace quorvel::scan
