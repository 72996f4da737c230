// The block record scanner against the plain reading, one character at a
// time: the same records on the same lines for random texts, for every
// byte that matters at every place around a block's end, and in parts cut
// anywhere.
#include <gtest/gtest.h>

#include <random>

#include "core/read/record_scanner.h"
#include "reference/plain_records.h"
#include "test_support.h"

namespace quorvel {
namespace {

using reference::PlainRecord;
using test::Show;

std::string Describe(const std::vector<PlainRecord>& records)
{
    std::string out;
    for (const PlainRecord& r : records) out += std::to_string(r.line) + ":" + Show(r.fields) + " ";
    return out;
}

// The scanner over the whole text.
std::vector<PlainRecord> Scanned(const std::string& text, const CodePage& codePage)
{
    std::vector<PlainRecord> records;
    const std::string padded = text + std::string(1, '\0');
    scan::RecordScanner(codePage).Run(padded.data(), text.size(), 0, false,
                                      [&](uint64_t line, const std::vector<std::string_view>& fields) {
                                          records.push_back({line, {fields.begin(), fields.end()}});
                                      });
    return records;
}

// The scanner over the text in two parts cut at `cut`, as the streams
// take it up: the first part scanned as partial, the second from where
// the first scan stopped, with the scanner's line carried over.
std::vector<PlainRecord> ScannedInParts(const std::string& text, size_t cut, const CodePage& codePage)
{
    std::vector<PlainRecord> records;
    auto keep = [&](uint64_t line, const std::vector<std::string_view>& fields) {
        records.push_back({line, {fields.begin(), fields.end()}});
    };
    scan::RecordScanner scanner(codePage);
    const std::string first = text.substr(0, cut) + std::string(1, '\0');
    const size_t stop = scanner.Run(first.data(), cut, 0, cut < text.size(), keep);
    const std::string rest = text.substr(std::min(stop, text.size())) + std::string(1, '\0');
    if (stop < text.size() && text[stop] != '\0') scanner.Run(rest.data(), rest.size() - 1, 0, false, keep);
    return records;
}

TEST(RecordScanner, GivesThePlainReadingsRecordsForRandomTexts)
{
    std::mt19937 random(20261211);
    for (const CodePage& codePage : {CodePage::ShiftJis(), CodePage::Utf8()}) {
        for (int round = 0; round < 3000; ++round) {
            const std::string text = test::RandomText(random, 1 + static_cast<size_t>(round % 300));
            ASSERT_EQ(Describe(Scanned(text, codePage)), Describe(reference::ReadRecords(text, codePage)))
                << Show(text);
        }
    }
}

TEST(RecordScanner, EveryByteThatMattersAtEveryPlaceAroundABlocksEnd)
{
    const CodePage sjis = CodePage::ShiftJis();
    // Each piece put so that it begins at every offset from 50 to 80: it
    // then meets the end of the first 64-byte block at each of its bytes.
    const char* const pieces[] = {",",          "\"a,b\"",      "\"a\"\"b\"", "\r\n",        "\r",
                                  "\n",         "\"x\r\ny\"",   "\x81,",      "\x81\"q\",z", "\x81\r\nb",
                                  "\"\x81\"\",", "\"ab\"cd,e", "\"open",     "\x93\x8C,\x82\xA0", ",,\r\n,"};
    for (const char* piece : pieces) {
        for (size_t at = 50; at <= 80; ++at) {
            std::string text(at, 'a');
            text[at / 3] = ',';
            text += piece;
            text += ",tail\r\nnext,line";
            ASSERT_EQ(Describe(Scanned(text, sjis)), Describe(reference::ReadRecords(text, sjis)))
                << Show(text);
        }
    }
}

TEST(RecordScanner, APartialTextLeavesTheLastRecordForTheNextPart)
{
    std::mt19937 random(11);
    const CodePage sjis = CodePage::ShiftJis();
    for (int round = 0; round < 300; ++round) {
        const std::string text = test::RandomText(random, 10 + static_cast<size_t>(round % 150));
        const std::string expected = Describe(reference::ReadRecords(text, sjis));
        for (size_t cut = 1; cut <= text.size(); ++cut)
            ASSERT_EQ(Describe(ScannedInParts(text, cut, sjis)), expected) << "cut at " << cut << " of " << Show(text);
    }
}

}  // namespace
}  // namespace quorvel
