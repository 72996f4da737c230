// The main window at 96, 120 and 144 dots per inch: the tool bar's
// pictures centred in their buttons, Edit1's text level with Label1's,
// the window on the screen; a screenshot of each kept in the work folder.
#pragma once

#include <string>

namespace quorvel::e2e {

// The display setting that Wine reads when a program starts.
void SetDpi(unsigned long dpi);

void CheckLayoutAtEachDpi(const std::string& exe, const std::string& work);

}  // namespace quorvel::e2e
