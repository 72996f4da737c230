// Shared pieces of the fuzz targets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/text/codepage.h"
#include "core/table/token_list.h"
#include "core/read/token_reader.h"

namespace quorvel::fuzz {

// Stops the run with a message: libFuzzer records the input as a finding.
[[noreturn]] inline void Fail(const char* what)
{
    std::fprintf(stderr, "fuzz property broken: %s\n", what);
    std::abort();
}

inline TokenList ReadTokens(std::string_view bytes, const CodePage& codePage)
{
    LoadedFile file;
    file.bytes = AllocateFileBuffer(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) file.bytes[i] = bytes[i];
    file.size = bytes.size();
    return SplitCsvText(std::move(file), codePage);
}

// The first byte chooses the code page: Shift_JIS or a single-byte one.
inline CodePage ChosenCodePage(uint8_t selector)
{
    return (selector & 1) ? CodePage(1252) : CodePage::ShiftJis();
}

}  // namespace quorvel::fuzz
