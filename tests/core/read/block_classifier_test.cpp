// The block classifier against the character-stepping rules: every bit of
// every mask, across block edges, for code pages with few and with many
// lead-byte ranges (the latter take the table path).
#include <gtest/gtest.h>

#include <random>

#include "core/read/block_classifier.h"

namespace quorvel {
namespace {

// Bytes that stress the masks: long runs of lead bytes (which are also
// second bytes), the bytes the reader looks for, and plain ones.
std::string RandomBlocks(std::mt19937& rng, size_t blocks)
{
    static const uint8_t kAlphabet[] = {0x81, 0x81, 0x9F, 0xE0, 0xFC, 0x83, 0x83, 0x95, ',', '"', '\r', '\n',
                                        0x00, ' ', '\t', 0x20, 0x21, 'a', 0x5C, 0x7F, 0x80, 0xA0, 0xFD, 0xFF};
    std::uniform_int_distribution<size_t> pick(0, sizeof kAlphabet - 1);
    std::string out;
    for (size_t i = 0; i < blocks * kBlockBytes; ++i) out.push_back(static_cast<char>(kAlphabet[pick(rng)]));
    return out;
}

bool Bit(uint64_t mask, size_t i) { return (mask >> i & 1) != 0; }

// What each mask must hold at position i, stepping from `start`.
void ExpectBlock(const CodePage& codePage, const std::string& text, size_t block, size_t start,
                 const BlockMasks& m)
{
    for (size_t i = 0; i < kBlockBytes; ++i) {
        const size_t p = block * kBlockBytes + i;
        if (p < start) continue;
        const uint8_t b = static_cast<uint8_t>(text[p]);
        const bool second = codePage.IsSecondByte(text, p, start);
        ASSERT_EQ(Bit(m.second, i), second) << "position " << p << " from " << start;
        ASSERT_EQ(Bit(m.separators, i), !second && (b <= 0x20 || b == ',')) << "position " << p;
        ASSERT_EQ(Bit(m.quotes, i), !second && b == '"') << "position " << p;
        ASSERT_EQ(Bit(m.commas, i), !second && b == ',') << "position " << p;
        ASSERT_EQ(Bit(m.breaks, i), b == '\r' || b == '\n' || b == 0) << "position " << p;
    }
}

TEST(BlockClassifier, MasksEqualTheSteppingRulesAcrossBlocks)
{
    const CodePage pages[] = {
        CodePage::ShiftJis(),
        CodePage(1252),
        CodePage(936, {{0x81, 0xFE}}),
        // More ranges than the vector compare takes.
        CodePage(1, {{0x81, 0x82}, {0x84, 0x86}, {0x95, 0x95}, {0xE0, 0xE1}, {0xFC, 0xFC}}),
    };
    std::mt19937 rng(11);
    std::uniform_int_distribution<size_t> blocks(1, 6);
    std::uniform_int_distribution<unsigned> offset(0, kBlockBytes - 1);
    for (int round = 0; round < 3000; ++round) {
        const std::string text = RandomBlocks(rng, blocks(rng));
        for (const CodePage& page : pages) {
            const BlockClassifier classifier(page);
            // Classification begins at a byte known to begin a character.
            const unsigned from = offset(rng) & (round % 2 ? 0x3F : 0);
            bool carry = false;
            for (size_t block = 0; block * kBlockBytes < text.size(); ++block) {
                const BlockMasks m = classifier.Classify(
                    reinterpret_cast<const uint8_t*>(text.data()) + block * kBlockBytes, block ? 0 : from, carry);
                ExpectBlock(page, text, block, from, m);
            }
        }
    }
}

TEST(BlockClassifier, RunRuleCarriesOverBlockEdges)
{
    // leads -> second bytes, with the carry in and out.
    struct Case {
        uint64_t leads;
        bool carryIn;
        uint64_t second;
        bool carryOut;
    };
    const Case cases[] = {
        {0, false, 0, false},
        {0, true, 1, false},
        {0b1, false, 0b10, false},
        {0b11, false, 0b10, false},
        {0b111, false, 0b1010, false},
        {0b111, true, 0b101, false},
        {uint64_t{1} << 63, false, 0, true},
        {~uint64_t{0}, false, 0xAAAAAAAAAAAAAAAAULL, false},
        {~uint64_t{0}, true, 0x5555555555555555ULL, true},
        {0b1101, false, 0b1010, false},
        {0b1110, false, 0b10100, false},
    };
    for (const Case& c : cases) {
        bool carry = c.carryIn;
        EXPECT_EQ(SecondBytes(c.leads, carry), c.second) << std::hex << c.leads << " carry " << c.carryIn;
        EXPECT_EQ(carry, c.carryOut) << std::hex << c.leads << " carry " << c.carryIn;
    }
}

}  // namespace
}  // namespace quorvel
