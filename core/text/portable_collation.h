// A collation that needs no operating system: a total order on byte
// strings of a code page that ignores the case of Latin letters.
//
// Each character gets a primary weight (its class, then its value) and a
// secondary one (its width or kana kind). Texts compare by their primary
// weights first, a text that runs out first sorting first, then by their
// secondary weights. Only case is ignored: texts that differ in anything
// else never compare equal.
//
// Classes, in order: blanks, control bytes and symbols (ASCII by byte,
// full-width symbols by code); digits, as characters (half-width and
// full-width together); Latin letters, alphabetically (ASCII and
// full-width, case folded); other alphabets (Greek, Cyrillic) by code;
// kana; kanji; anything else by its bytes.
//
// Japanese text under code page 932: kana in the order of the syllabary
// (ぁ あ ぃ い ... ん, each voiced kana after its plain one), hiragana,
// katakana and half-width katakana at one primary weight and told apart
// by the secondary one, in that order; a half-width kana followed by its
// voiced or semi-voiced mark counts as the one voiced kana. Kanji follow
// in JIS X 0208 order, which is Shift_JIS code order: level 1 by reading,
// level 2 by radical and stroke count, then the vendor extensions.
//
// UTF-8 text orders as the same text saved in Shift_JIS; characters that
// Shift_JIS lacks (𠮷, emoji, ...) come after every other character, by
// code point, and bytes that are no UTF-8 among the "anything else".
#pragma once

#include "core/text/codepage.h"
#include "core/interface/collation.h"

namespace quorvel {

class PortableCollation final : public Collation {
public:
    explicit PortableCollation(const CodePage& codePage) : codePage_(codePage) {}
    int CompareKeys(std::string_view a, std::string_view b) const override;
    bool AppendSortKey(std::string_view text, std::string& key) const override;

private:
    // The key of text in codePage_, or (`escaped`) of UTF-8 text transcoded
    // to Shift_JIS with escapes for what Shift_JIS lacks.
    bool AppendKeyOf(std::string_view text, std::string& key, bool escaped) const;

    CodePage codePage_;
};

}  // namespace quorvel
