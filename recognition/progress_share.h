#pragma once
// How the stages of a pass share the progress bar: each takes a fixed percentage of what
// remains of the current pass when it starts.

#include "progress_sink.h"

namespace orla {

// The window is there to be used; a closed window counts as none.
inline bool ProgressAlive(const ProgressSink* progress) { return progress != nullptr && progress->IsAlive(); }

// remaining x percent / 100, the fraction dropped; remaining is 0 once the bar is at the
// pass end.
inline int ProgressShare(const ProgressSink& progress, int percent) {
  const int remaining = progress.PassEnd() - progress.Position();
  return remaining > 0 ? remaining * percent / 100 : 0;
}

}  // namespace orla
