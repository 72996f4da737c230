#include "core/read/block_classifier.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define QUORVEL_SSE2 1
#else
#define QUORVEL_SSE2 0
#endif

namespace quorvel {

namespace {

#if QUORVEL_SSE2
inline uint64_t Bits(__m128i a, __m128i b, __m128i c, __m128i d)
{
    return static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(a))) |
           static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(b))) << 16 |
           static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(c))) << 32 |
           static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(d))) << 48;
}

// Bytes no greater than `limit`, unsigned.
inline __m128i AtMost(__m128i x, __m128i limit) { return _mm_cmpeq_epi8(_mm_min_epu8(x, limit), x); }

struct Chunk {
    __m128i separators, commas, quotes, breaks, leads;
};

inline Chunk ClassifyChunk(__m128i x)
{
    const __m128i cr = _mm_cmpeq_epi8(x, _mm_set1_epi8('\r'));
    const __m128i lf = _mm_cmpeq_epi8(x, _mm_set1_epi8('\n'));
    const __m128i nul = _mm_cmpeq_epi8(x, _mm_setzero_si128());
    const __m128i blank = AtMost(x, _mm_set1_epi8(0x20));
    const __m128i comma = _mm_cmpeq_epi8(x, _mm_set1_epi8(','));
    return {_mm_or_si128(blank, comma), comma, _mm_cmpeq_epi8(x, _mm_set1_epi8('"')),
            _mm_or_si128(_mm_or_si128(cr, lf), nul), _mm_setzero_si128()};
}
#endif

}  // namespace

uint64_t SecondBytes(uint64_t leads, bool& carry)
{
    // The run rule with bit arithmetic, as fast JSON parsers find escaped
    // characters after runs of backslashes.
    constexpr uint64_t kEvenBits = 0x5555555555555555ULL;
    const uint64_t carried = carry ? 1 : 0;
    leads &= ~carried;  // a lead byte taken as a second byte leads nothing
    const uint64_t follows = (leads << 1) | carried;
    const uint64_t oddStarts = leads & ~kEvenBits & ~follows;
    const uint64_t sum = oddStarts + leads;
    carry = sum < oddStarts;
    const uint64_t invert = sum << 1;
    return (kEvenBits ^ invert) & follows;
}

BlockClassifier::BlockClassifier(const CodePage& codePage) : simd_(QUORVEL_SSE2 != 0), codePage_(codePage)
{
    for (int b = 0; b < 256;) {
        if (!codePage.IsLeadByte(static_cast<uint8_t>(b))) {
            ++b;
            continue;
        }
        const int first = b;
        while (b + 1 < 256 && codePage.IsLeadByte(static_cast<uint8_t>(b + 1))) ++b;
        ++b;
        if (rangeCount_ == kMaxVectorRanges) {
            simd_ = false;  // too many ranges to compare: a table lookup per byte
            continue;
        }
        leadRanges_[rangeCount_++] = {static_cast<uint8_t>(first), static_cast<uint8_t>(b - 1 - first)};
    }
}

uint64_t BlockClassifier::LeadBytes(const uint8_t* bytes) const
{
    uint64_t leads = 0;
    for (size_t i = 0; i < kBlockBytes; ++i)
        if (codePage_.IsLeadByte(bytes[i])) leads |= uint64_t{1} << i;
    return leads;
}

BlockMasks BlockClassifier::Classify(const uint8_t* bytes, unsigned from, bool& carry) const
{
    BlockMasks m;
    uint64_t leads = 0;
#if QUORVEL_SSE2
    if (simd_) {
        Chunk c[4];
        for (int k = 0; k < 4; ++k) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * k));
            c[k] = ClassifyChunk(x);
            __m128i in = _mm_setzero_si128();
            for (size_t r = 0; r < rangeCount_; ++r) {
                const __m128i offset = _mm_sub_epi8(x, _mm_set1_epi8(static_cast<char>(leadRanges_[r].first)));
                in = _mm_or_si128(in, AtMost(offset, _mm_set1_epi8(static_cast<char>(leadRanges_[r].span))));
            }
            c[k].leads = in;
        }
        m.separators = Bits(c[0].separators, c[1].separators, c[2].separators, c[3].separators);
        m.commas = Bits(c[0].commas, c[1].commas, c[2].commas, c[3].commas);
        m.quotes = Bits(c[0].quotes, c[1].quotes, c[2].quotes, c[3].quotes);
        m.breaks = Bits(c[0].breaks, c[1].breaks, c[2].breaks, c[3].breaks);
        leads = Bits(c[0].leads, c[1].leads, c[2].leads, c[3].leads);
    } else
#endif
    {
        for (size_t i = 0; i < kBlockBytes; ++i) {
            const uint8_t b = bytes[i];
            const uint64_t bit = uint64_t{1} << i;
            if (b <= 0x20 || b == ',') m.separators |= bit;
            if (b == ',') m.commas |= bit;
            if (b == '"') m.quotes |= bit;
            if (b == '\r' || b == '\n' || b == 0) m.breaks |= bit;
        }
        leads = LeadBytes(bytes);
    }
    m.second = SecondBytes(leads & (~uint64_t{0} << from), carry);
    m.separators &= ~m.second;
    m.commas &= ~m.second;
    m.quotes &= ~m.second;
    return m;
}

}  // namespace quorvel
