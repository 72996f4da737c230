// The encoding decision and the UTF-8 reading, for any bytes: the decision
// fed in steps equals the one on the whole text; a text decided UTF-8
// gives, after its byte order mark, the tokens of the step-by-step
// reference under UTF-8's rules; conversions give well-formed UTF-8 and
// names without a byte that a file system refuses.
#include <algorithm>

#include "core/split/piece_name.h"
#include "core/text/text_encoding.h"
#include "core/text/utf8.h"
#include "fuzz_support.h"
#include "reference/csv_steps.h"

namespace {

using namespace quorvel;

void CheckStepsGiveTheWholeVerdict(std::string_view text, size_t step)
{
    const EncodingDetector::Verdict whole = DetectEncoding(text);
    EncodingDetector detector;
    for (size_t size = std::min(step, text.size());; size = std::min(size + step, text.size())) {
        const bool last = size == text.size();
        const EncodingDetector::Verdict verdict = detector.Feed(text.data(), size, last);
        if (verdict != EncodingDetector::Verdict::kUndecided || last) {
            if (verdict != whole) fuzz::Fail("the verdict fed in steps differs");
            return;
        }
    }
}

void CheckNameIsSafe(const std::string& name)
{
    if (FirstInvalidUtf8(name) != std::string::npos) fuzz::Fail("a name that is no UTF-8");
    for (const char c : name) {
        const auto b = static_cast<uint8_t>(c);
        if (b < 0x20 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
            fuzz::Fail("a name with a refused byte");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    CheckStepsGiveTheWholeVerdict(text, 1 + data[0] % 67);

    const EncodingDetector::Verdict verdict = DetectEncoding(text);
    if (verdict == EncodingDetector::Verdict::kUtf8 || verdict == EncodingDetector::Verdict::kUtf8WithMark) {
        const FileEncoding encoding = EncodingOf(verdict, EncodingChoice::Detect(CodePage::ShiftJis()), "f");
        const std::string_view body = text.substr(encoding.TextStart());
        const std::vector<std::string> fast = fuzz::ReadTokens(body, encoding.codePage).ToStrings();
        if (fast != reference::ReadTokens(body, encoding.codePage)) fuzz::Fail("UTF-8 tokens differ from the steps");
    }
    if (FirstInvalidUtf8(TextToUtf8(text, CodePage::Utf8(), Unconvertible::kReplacement)) != std::string::npos)
        fuzz::Fail("UTF-8 text converted is no UTF-8");
    if (FirstInvalidUtf8(TextToUtf8(text, CodePage::ShiftJis(), Unconvertible::kQuestionMark)) != std::string::npos)
        fuzz::Fail("Shift_JIS text converted is no UTF-8");
    // A key is a cell: it never holds 0x00.
    std::string key(text.substr(0, std::min<size_t>(text.size(), 64)));
    key.erase(std::remove(key.begin(), key.end(), '\0'), key.end());
    CheckNameIsSafe(Utf8NameOfKey(key, CodePage::Utf8()));
    CheckNameIsSafe(Utf8NameOfKey(key, CodePage::ShiftJis()));
    return 0;
}
