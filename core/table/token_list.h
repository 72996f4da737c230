// The ordered tokens of one input file, as the token reader delivers them
// to the table. Tokens are views into the list's own text pool.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/text_encoding.h"
#include "core/table/text_pool.h"

namespace quorvel {

class TokenList {
public:
    TokenList() = default;
    TokenList(TokenList&&) noexcept = default;
    TokenList& operator=(TokenList&&) noexcept = default;

    static TokenList FromStrings(const std::vector<std::string>& tokens);

    size_t size() const { return refs_.size(); }
    bool empty() const { return refs_.empty(); }
    std::string_view operator[](size_t i) const { return pool_.View(refs_[i]); }
    std::vector<std::string> ToStrings() const;
    const TextRef* RefAddress(size_t i) const { return &refs_[i]; }

    void Append(TextRef ref) { refs_.push_back(ref); }
    void Append(std::string_view text) { refs_.push_back(pool_.Add(text)); }

    // Makes every record `columns` tokens long: the tokens are records of
    // `widths[r]` tokens one after another (no width above `columns`), and
    // each is followed by empty tokens up to `columns`.
    void PadRecords(const uint32_t* widths, size_t records, uint32_t columns);

    // Where the chunks of references come from while it is set.
    static constexpr size_t kRefChunkBytes = ChunkedArray<TextRef>::kChunkBytes;
    void SetRefSupply(PrefaultedBuffers* supply) { refs_.SetSupply(supply); }

    TextPool& Pool() { return pool_; }
    const TextPool& Pool() const { return pool_; }

    // The file the tokens were read from; empty for lists built in memory.
    const std::string& SourcePath() const { return sourcePath_; }
    void SetSourcePath(std::string path) { sourcePath_ = std::move(path); }

    // How the file's text was read; the system's code page for lists
    // built in memory.
    const FileEncoding& Encoding() const { return encoding_; }
    void SetEncoding(const FileEncoding& encoding) { encoding_ = encoding; }

    // The reading stopped at a limit and the file has more tokens.
    bool CutShort() const { return cutShort_; }
    void SetCutShort(bool cutShort) { cutShort_ = cutShort; }

    // The first line of the file from which rows of the reading's column
    // count no longer follow the file's lines, or 0 (they all do, or the
    // reading did not look).
    uint64_t FirstPartedLine() const { return firstPartedLine_; }
    void SetFirstPartedLine(uint64_t line) { firstPartedLine_ = line; }

private:
    TextPool pool_;
    ChunkedArray<TextRef> refs_;
    std::string sourcePath_;
    FileEncoding encoding_{CodePage::ShiftJis()};
    bool cutShort_ = false;
    uint64_t firstPartedLine_ = 0;
};

}  // namespace quorvel
