// The column list's type-ahead: what the search text becomes as keys come
// in, and which entry a search text picks.
#include <gtest/gtest.h>

#include "system/system_services.h"
#include "ui/list_type_ahead.h"

namespace quorvel::ui {
namespace {

struct Key {
    uint8_t byte;
    uint32_t time;
};

TEST(ListTypeAhead, BuildsTheSearchTextFromTimedKeys)
{
    const CodePage sjis = CodePage::ShiftJis();
    const struct {
        const char* name;
        std::vector<Key> keys;
        const char* text;
    } cases[] = {
        {"fast keys extend", {{'a', 0}, {'b', 100}, {'c', 599}}, "abc"},
        {"a pause of 500 ms starts anew", {{'a', 0}, {'b', 500}}, "b"},
        {"a pause just under 500 ms extends", {{'a', 0}, {'b', 499}}, "ab"},
        {"the pause counts from the last key", {{'a', 0}, {'b', 400}, {'c', 800}}, "abc"},
        {"across the clock's wrap", {{'a', 0xFFFFFF00u}, {'b', 0x00000010u}}, "ab"},
        {"backspace takes off the last character", {{'a', 0}, {'b', 10}, {0x08, 20}}, "a"},
        {"backspace after a pause still edits", {{'a', 0}, {'b', 10}, {0x08, 5000}, {'c', 5100}}, "ac"},
        {"backspace on nothing", {{0x08, 0}}, ""},
        {"a double-byte character is whole", {{0x95, 0}, {0x5C, 0}, {0x83, 50}, {0x7C, 50}}, "\x95\x5C\x83\x7C"},
        {"backspace takes off both bytes", {{'a', 0}, {0x95, 10}, {0x5C, 10}, {0x08, 20}}, "a"},
        {"control bytes are no part of it", {{'a', 0}, {0x0D, 10}, {0x1B, 20}, {'b', 30}}, "ab"},
        {"half-width katakana is one byte", {{0xB1, 0}, {0xB2, 10}}, "\xB1\xB2"},
    };
    for (const auto& c : cases) {
        ListTypeAhead typeAhead(sjis);
        for (const Key& key : c.keys) typeAhead.Type(key.byte, key.time);
        EXPECT_EQ(typeAhead.SearchText(), c.text) << c.name;
    }
}

TEST(ListTypeAhead, ALeadByteAloneDoesNotSearchYet)
{
    const CodePage sjis = CodePage::ShiftJis();
    ListTypeAhead typeAhead(sjis);
    EXPECT_FALSE(typeAhead.Type(0x95, 0));
    EXPECT_TRUE(typeAhead.Type(0x5C, 0));
    EXPECT_FALSE(typeAhead.Type(0x0D, 10));
    EXPECT_TRUE(typeAhead.Type(0x08, 20));
    EXPECT_EQ(typeAhead.SearchText(), "");
}

TEST(ListTypeAhead, UnderASingleByteCodePageEveryByteIsACharacter)
{
    const CodePage latin(1252);
    ListTypeAhead typeAhead(latin);
    typeAhead.Type(0x95, 0);
    typeAhead.Type(0x5C, 10);
    typeAhead.Type(0x08, 20);
    EXPECT_EQ(typeAhead.SearchText(), "\x95");
}

TEST(FindEntryStartingWith, PicksTheFirstEntryWithThatBeginning)
{
    const CodePage sjis = CodePage::ShiftJis();
    const auto collation = CollationFor(sjis);
    const std::vector<std::string> entries = {"", "no", "Name", "name2", "品名", "品番", "産地", "n"};
    const struct {
        const char* text;
        int index;
    } cases[] = {
        {"n", 1},        // the first of several
        {"na", 2},       // case is ignored
        {"NAME2", 3},    // longer than the first that would match
        {"品", 4},        // a double-byte character
        {"品番", 5},
        {"産地x", -1},   // longer than every entry
        {"z", -1},
        {"", -1},
    };
    for (const auto& c : cases) EXPECT_EQ(FindEntryStartingWith(entries, c.text, sjis, *collation), c.index) << c.text;
}

}  // namespace
}  // namespace quorvel::ui
