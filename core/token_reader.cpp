#include "core/token_reader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

#include "core/block_classifier.h"
#include "core/utf8.h"

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

inline unsigned LowestBit(uint64_t bits)
{
#if defined(_MSC_VER) && !defined(__clang__)
    unsigned long index;
    _BitScanForward64(&index, bits);
    return static_cast<unsigned>(index);
#else
    return static_cast<unsigned>(__builtin_ctzll(bits));
#endif
}

// Walks the text's 64-byte blocks forward for the token loop. Every search
// begins at a byte known to begin a character, so the block holding it can
// be classified from there, without the blocks before it.
class BlockCursor {
public:
    // `readable` counts the bytes that can be read now; once the text is
    // whole, its bytes and the 0x00 after them. A text still arriving
    // comes from `stream`.
    BlockCursor(const uint8_t* text, size_t readable, FileTextStream* stream, const CodePage& codePage)
        : text_(text), readable_(readable), stream_(stream), classifier_(codePage)
    {
    }

    // Waits, for a text still arriving, until `count` bytes can be read or
    // the text is whole.
    void EnsureReadable(size_t count)
    {
        if (count > readable_ && stream_) readable_ = stream_->WaitFor(count);
    }

    // The first position at or after `p` whose bit `pick` sets. The
    // terminating 0x00 is a break and a separator, so a search that picks
    // either always ends on or before it.
    template <typename Pick>
    size_t Next(size_t p, Pick pick)
    {
        size_t block = p / kBlockBytes;
        const unsigned offset = static_cast<unsigned>(p % kBlockBytes);
        if (block != block_ || p < validFrom_) Load(block, offset, false);
        uint64_t bits = pick(masks_) & (~uint64_t{0} << offset);
        while (bits == 0) {
            Load(++block, 0, carry_);
            bits = pick(masks_);
        }
        return block * kBlockBytes + LowestBit(bits);
    }

    // Whether the byte at `p`, found by the last search, is a second byte.
    bool SecondByteAt(size_t p) const { return (masks_.second >> (p % kBlockBytes) & 1) != 0; }

private:
    void Load(size_t block, unsigned from, bool carry)
    {
        const size_t start = block * kBlockBytes;
        // The block and the one after it, which a look past the block's
        // last byte may reach.
        EnsureReadable(start + 2 * kBlockBytes);
        const uint8_t* bytes = text_ + start;
        uint8_t padded[kBlockBytes];
        if (readable_ - start < kBlockBytes) {
            // The last block: what lies past the text reads as 0x00.
            std::memset(padded, 0, sizeof padded);
            std::memcpy(padded, bytes, readable_ - start);
            bytes = padded;
        }
        carry_ = carry;
        masks_ = classifier_.Classify(bytes, from, carry_);
        block_ = block;
        validFrom_ = start + from;
    }

    const uint8_t* text_;
    size_t readable_;
    FileTextStream* stream_;
    BlockClassifier classifier_;
    BlockMasks masks_;
    size_t block_ = std::numeric_limits<size_t>::max();
    size_t validFrom_ = 0;
    bool carry_ = false;
};

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
class CsvScanner {
public:
    // A whole text of `size` bytes.
    CsvScanner(const char* text, size_t size, size_t start, uint64_t base, const CodePage& codePage,
               TokenList& tokens)
        : s_(reinterpret_cast<const uint8_t*>(text)), start_(start), base_(base), class_(MakeClassTable(codePage)),
          blocks_(s_, size + 1, nullptr, codePage), tokens_(tokens)
    {
    }

    // A text still arriving: every read waits until its bytes are there.
    // The list's chunks come from `refChunks` if given, which is told how
    // many more the rest of the text will want.
    CsvScanner(FileTextStream& stream, size_t start, uint64_t base, const CodePage& codePage, TokenList& tokens,
               PrefaultedBuffers* refChunks)
        : s_(reinterpret_cast<const uint8_t*>(stream.Bytes())), start_(start), base_(base), class_(MakeClassTable(codePage)),
          blocks_(s_, 0, &stream, codePage), tokens_(tokens), refChunks_(refChunks), textBytes_(stream.Capacity())
    {
    }

    void Run()
    {
        size_t p = SkipBlanks(start_);
        while (class_[s_[p]] != kEnd) {
            p = (s_[p] == '"') ? BlockQuotedValue(p) : BlockUnquotedValue(p);
            p = SkipBlanks(p);
            // Since the joined text ends in CR LF, a delimiter is never
            // followed directly by the end: no trailing empty token here.
            if (s_[p] == ',') p = SkipBlanks(p + 1);
            if (p >= nextForecast_) ForeseeChunks(p);
        }
    }

private:
    size_t SkipBlanks(size_t p)
    {
        for (;; ++p) {
            blocks_.EnsureReadable(p + 1);
            if (class_[s_[p]] < kBlank || class_[s_[p]] > kLF) return p;
        }
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
        for (;;) {
            i = blocks_.Next(i, [](const BlockMasks& m) { return m.quotes | m.breaks; });
            if (s_[i] == '"') {
                if (s_[i + 1] == '"') break;
                AppendSource(quote + 1, i);
                return i + 1;
            }
            if (s_[i] != '\r' || s_[i + 1] != '\n') break;
            i += 2;
        }
        return QuotedValue(quote);
    }

    void AppendSource(size_t from, size_t to)
    {
        tokens_.Append(tokens_.Pool().RefAt(base_ + from, to - from));
    }

    // The tokens to come, from those of the text so far, in chunks.
    void ForeseeChunks(size_t p)
    {
        constexpr size_t kForecastStep = size_t{1} << 20;
        constexpr double kChunkTokens = static_cast<double>(TokenList::kRefChunkBytes / sizeof(TextRef));
        nextForecast_ = p + kForecastStep;
        if (!refChunks_ || p == 0) return;
        const double tokens = static_cast<double>(tokens_.size());
        const double rest = tokens / static_cast<double>(p) * static_cast<double>(textBytes_ > p ? textBytes_ - p : 0);
        const double room = kChunkTokens - std::fmod(tokens, kChunkTokens);
        // A little more than foreseen: a chunk too few only costs its faults here.
        const double more = (rest * 1.05 + 1024 - room) / kChunkTokens;
        refChunks_->ForeseeTakes(more > 0 ? static_cast<size_t>(std::ceil(more)) : 0);
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
        blocks_.EnsureReadable(~size_t{0});
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
    size_t start_;
    uint64_t base_;
    ClassTable class_;
    BlockCursor blocks_;
    TokenList& tokens_;
    PrefaultedBuffers* refChunks_ = nullptr;
    size_t textBytes_ = 0;
    size_t nextForecast_ = 0;
    std::string scratch_;
};

}  // namespace

TokenList SplitCsvText(LoadedFile text, const CodePage& codePage, size_t start)
{
    TokenList tokens;
    const char* bytes = text.bytes.get();
    const size_t size = text.size;
    const uint64_t base = tokens.Pool().AdoptBuffer(std::move(text.bytes), size);
    CsvScanner(bytes, size, std::min(start, size), base, codePage, tokens).Run();
    return tokens;
}

namespace {

constexpr size_t kPrefaultFrom = size_t{16} << 20;

// Waits for as many bytes as the decision on the encoding needs.
FileEncoding DecideEncoding(FileTextStream& stream, const EncodingChoice& choice, const std::string& path)
{
    EncodingDetector detector;
    size_t want = std::min<size_t>(stream.Capacity() + 1, size_t{1} << 16);
    for (;;) {
        const size_t readable = stream.WaitFor(want);
        const bool whole = stream.IsWhole();
        const auto verdict = detector.Feed(stream.Bytes(), whole ? readable - 1 : readable, whole);
        if (verdict != EncodingDetector::Verdict::kUndecided || whole) return EncodingOf(verdict, choice, path);
        want = std::min(stream.Capacity() + 1, readable + (size_t{1} << 20));
    }
}

// UTF-8 that is not: the line of its first byte sequence, or 0.
uint64_t FirstInvalidUtf8Line(const char* bytes, size_t size, size_t start)
{
    const std::string_view text(bytes, size);
    const size_t end = text.find('\0', start);
    const std::string_view body = text.substr(0, end);
    const size_t bad = FirstInvalidUtf8(body.substr(start));
    return bad == std::string_view::npos ? 0 : LineOfOffset(body.substr(start), bad);
}

}  // namespace

TokenList ReadCsvTokens(const std::string& path, const EncodingChoice& choice, FileSystem& files)
{
    // The tokens are found while the file is still being read; the list
    // owns the buffer from the start, and outlives the stream that fills it.
    TokenList tokens;
    FileTextStream stream(path, files);
    const char* bytes = stream.Bytes();
    // The code page only matters from the first byte above 0x7F on; up to
    // there (or 64 KiB past it) the reading waits for the decision.
    FileEncoding encoding = DecideEncoding(stream, choice, path);
    const uint64_t base = tokens.Pool().AdoptBuffer(stream.TakeBuffer(), stream.Capacity());
    // A large file's references fill chunks that another thread has
    // readied, up to two ahead and no more than the rest of the text wants.
    std::optional<PrefaultedBuffers> refChunks;
    if (stream.Capacity() >= kPrefaultFrom) {
        refChunks.emplace(TokenList::kRefChunkBytes, 2);
        tokens.SetRefSupply(&*refChunks);
    }
    CsvScanner(stream, encoding.TextStart(), base, encoding.codePage, tokens, refChunks ? &*refChunks : nullptr)
        .Run();
    tokens.SetRefSupply(nullptr);
    // The text may end at a 0x00 before the file does; a read failing
    // after it still fails the load.
    const size_t size = stream.WaitForAll() - 1;
    if (encoding.IsUtf8()) encoding.firstInvalidLine = FirstInvalidUtf8Line(bytes, size, encoding.TextStart());
    tokens.SetSourcePath(path);
    tokens.SetEncoding(encoding);
    return tokens;
}

}  // namespace quorvel
