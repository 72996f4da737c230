// Walks a text's 64-byte blocks forward, for the scanners: each search
// jumps to the next byte of the kinds asked for, from bit masks of the
// block classifier, instead of stepping through every character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

#include "core/read/block_classifier.h"
#include "core/read/file_text.h"
#include "core/text/codepage.h"

namespace quorvel::scan {

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

}  // namespace quorvel::scan
