// The fast token reader gives the tokens of the step-by-step reference
// for every input, under code page 932 and a single-byte code page.
#include "fuzz_support.h"
#include "reference/csv_steps.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace quorvel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const CodePage& codePage : {CodePage::ShiftJis(), CodePage(1252)}) {
        const std::vector<std::string> fast = fuzz::ReadTokens(bytes, codePage).ToStrings();
        const std::vector<std::string> steps = reference::ReadTokens(bytes, codePage);
        if (fast != steps) fuzz::Fail("fast reader and reference differ");
    }
    return 0;
}
