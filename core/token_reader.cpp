#include "core/token_reader.h"

#include <array>
#include <cstring>

namespace quorvel {

namespace {

enum ByteClass : uint8_t { kEnd, kBlank, kCR, kLF, kDelimiter, kQuote, kLead, kPlain };

using ClassTable = std::array<uint8_t, 256>;

ClassTable MakeClassTable(const CodePage& codePage)
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
class CsvScanner {
public:
    CsvScanner(const char* text, uint64_t base, const CodePage& codePage, TokenList& tokens)
        : s_(reinterpret_cast<const uint8_t*>(text)), base_(base), class_(MakeClassTable(codePage)),
          tokens_(tokens)
    {
    }

    void Run()
    {
        size_t p = SkipBlanks(0);
        while (class_[s_[p]] != kEnd) {
            p = (s_[p] == '"') ? QuotedValue(p) : UnquotedValue(p);
            p = SkipBlanks(p);
            // Since the joined text ends in CR LF, a delimiter is never
            // followed directly by the end: no trailing empty token here.
            if (s_[p] == ',') p = SkipBlanks(p + 1);
        }
    }

private:
    size_t SkipBlanks(size_t p) const
    {
        while (class_[s_[p]] >= kBlank && class_[s_[p]] <= kLF) ++p;
        return p;
    }

    void AppendSource(size_t from, size_t to)
    {
        tokens_.Append(tokens_.Pool().RefAt(base_ + from, to - from));
    }

    size_t UnquotedValue(size_t start)
    {
        size_t p = start;
        for (;;) {
            const uint8_t c = class_[s_[p]];
            if (c == kPlain || c == kQuote) {
                ++p;
            } else if (c == kLead) {
                const uint8_t next = s_[p + 1];
                if (next == '\r') {
                    // The CR is the lead byte's second byte; the LF of the
                    // joined text ends the token.
                    AppendSource(start, p + 2);
                    return p + 2;
                }
                if (next == '\n' || next == 0) {
                    // The joined text holds a CR here that the file lacks.
                    TextRef ref;
                    char* out = tokens_.Pool().Extend(p + 2 - start, ref);
                    std::memcpy(out, s_ + start, p + 1 - start);
                    out[p + 1 - start] = '\r';
                    tokens_.Append(ref);
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
        const size_t c = quote + 1;
        size_t i = c;
        size_t segment = c;
        bool rewritten = false;
        scratch_.clear();
        for (;;) {
            switch (class_[s_[i]]) {
            case kLead:
                i += IsBreakOrEnd(s_[i + 1]) ? 1 : 2;
                break;
            case kCR:
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
                return i + 1;
            case kEnd: {
                // Unterminated: the value takes the rest of the text, which
                // always ends with a line break once the lines are joined.
                const bool endsInBreak = i > c && (s_[i - 1] == '\r' || s_[i - 1] == '\n');
                if (!rewritten && endsInBreak) {
                    AppendSource(c, i);  // a view, even of a hundred megabytes
                    return i;
                }
                Keep(segment, i);
                if (!endsInBreak) scratch_.append("\r\n");
                tokens_.Append(std::string_view(scratch_));
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
        tokens_.Append(std::string_view(scratch_));
    }

    const uint8_t* s_;
    uint64_t base_;
    ClassTable class_;
    TokenList& tokens_;
    std::string scratch_;
};

}  // namespace

TokenList SplitCsvText(LoadedFile text, const CodePage& codePage)
{
    TokenList tokens;
    const char* bytes = text.bytes.get();
    const size_t size = text.size;
    const uint64_t base = tokens.Pool().AdoptBuffer(std::move(text.bytes), size);
    CsvScanner(bytes, base, codePage, tokens).Run();
    return tokens;
}

TokenList ReadCsvTokens(const std::string& path, const CodePage& codePage, FileSystem& files)
{
    TokenList tokens = SplitCsvText(LoadFileText(path, files), codePage);
    tokens.SetSourcePath(path);
    return tokens;
}

}  // namespace quorvel
