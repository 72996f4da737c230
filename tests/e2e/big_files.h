// The window with a file over the grid's cap: the preview, the split of
// the whole file with its progress window, a cancel, the chunk command.
#pragma once

#include <string>

namespace quorvel::e2e {

// Runs in a session of its own; the work folder takes the files.
void BigFiles(const std::string& exe, const std::string& work);

}  // namespace quorvel::e2e
