// Classifies text 64 bytes at a time into bit masks, one bit per byte, so
// that the token reader can jump from one byte that matters to the next
// instead of stepping through every character. Second bytes of
// double-byte characters are found without stepping too: a byte is a
// second byte when the unbroken run of lead bytes directly before it has
// odd length.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/text/codepage.h"

namespace quorvel {

constexpr size_t kBlockBytes = 64;

struct BlockMasks {
    uint64_t separators = 0;  // 0x00-0x20 and ',' that begin a character
    uint64_t commas = 0;      // ',' that begin a character
    uint64_t quotes = 0;      // '"' that begin a character
    uint64_t breaks = 0;      // CR, LF and 0x00, second byte or not
    uint64_t second = 0;      // second bytes of double-byte characters
};

class BlockClassifier {
public:
    explicit BlockClassifier(const CodePage& codePage);

    // The masks of the 64 bytes at `bytes`, of which the bytes before
    // `from` (0-63) count as outside any character: `from` begins one.
    // `carry` says whether the first byte is the second byte of a
    // character begun in the previous block, and is set for the next.
    BlockMasks Classify(const uint8_t* bytes, unsigned from, bool& carry) const;

private:
    struct LeadRange {
        uint8_t first;
        uint8_t span;  // last - first
    };
    static constexpr size_t kMaxVectorRanges = 4;
    uint64_t LeadBytes(const uint8_t* bytes) const;

    LeadRange leadRanges_[kMaxVectorRanges] = {};
    size_t rangeCount_ = 0;
    bool simd_;  // lead ranges few enough for the vector compare
    const CodePage& codePage_;
};

// The second bytes of a block whose lead bytes are `leads`, as the run
// rule gives them; `carry` in and out as for Classify.
uint64_t SecondBytes(uint64_t leads, bool& carry);

}  // namespace quorvel
