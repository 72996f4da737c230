// The token reader written step by step, exactly as its four steps are
// defined: cut the text into lines, join them with CR LF, split the joined
// text as comma text. Slow and plain; the fast reader must give the same
// tokens for every input.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/text/codepage.h"

namespace quorvel::reference {

std::vector<std::string> SplitLines(std::string_view text);
std::string JoinLines(const std::vector<std::string>& lines);
std::vector<std::string> SplitCommaText(const std::string& text, const CodePage& codePage);

// The whole pipeline over the bytes of a file.
std::vector<std::string> ReadTokens(std::string_view fileBytes, const CodePage& codePage);

}  // namespace quorvel::reference
