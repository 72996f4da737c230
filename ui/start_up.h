// Start-up: the application object, the main window first (so that it is
// the application's main window), the column choice dialog hidden, then
// the event loop until the main window closes.
#pragma once

#include <windows.h>

namespace quorvel::ui {

// Runs the program; an error that escapes start-up or the loop is shown in
// the error box. Always returns exit code 0.
int RunQuorvel(HINSTANCE instance, int showCommand);

}  // namespace quorvel::ui
