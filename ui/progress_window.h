// The progress window of a split that reads a whole file: the percent
// read, the rows and pieces so far and a Cancel button, while the split
// runs on a thread of its own. The main window stays painted and takes no
// command meanwhile.
#pragma once

#include <functional>

#include "core/split/stream_split.h"

namespace quorvel::ui {

// Runs `work` on a worker thread and shows the window until it ends; the
// window's Cancel (its button, Esc or the close box) asks the work to stop
// through the observer. Returns what the work returned, or raises what it
// raised.
StreamSplitResult RunWithProgress(const std::function<StreamSplitResult(SplitObserver&)>& work);

extern const char* const kProgressWindowClass;

}  // namespace quorvel::ui
