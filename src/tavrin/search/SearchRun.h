// A search that could take long runs on a worker while the window waits for it: the window is
// still drawn but takes no other input, and after two seconds Esc gives up waiting.
#pragma once
#include <atomic>
#include <functional>
#include <string>

#include "SearchPattern.h"

namespace search {

using Work = std::function<void(const std::atomic<bool>& stop)>;

// Runs `work` on a worker and waits. After two seconds `running` is called once (to say that Esc
// stops the search). Esc then returns false at once: the worker finishes alone, so `work` must own
// everything it touches (and may watch `stop`, set from then on, to end sooner).
bool RunStoppable(Work work, const std::function<void()>& running);

// `work` searching with `pattern`: a regular expression as above, plain text at once (it cannot
// take long). What to tell the user when it did not run to its end (the engine's reason, or that
// it was stopped); empty when it did.
std::wstring RunSearch(const Pattern& pattern, Work work, const std::function<void()>& running);


}  // namespace search
