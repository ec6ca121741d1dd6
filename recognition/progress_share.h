#pragma once
// How the stages of a pass share the progress bar: each takes a fixed percentage of what
// remains of the current pass when it starts.

#include <limits>

#include "progress_sink.h"

namespace orla {

// The window is there to be used; a closed window counts as none.
inline bool ProgressAlive(const ProgressSink* progress) { return progress != nullptr && progress->IsAlive(); }

// Counts the pixels of a walk down to the next visit to the progress window.
class ProgressVisits {
 public:
  explicit ProgressVisits(const ProgressSink* progress)
      : every_(progress == nullptr ? 0 : progress->PixelsPerVisit() > 1 ? progress->PixelsPerVisit() : 1) {}

  // True at the first pixel and then at every `PixelsPerVisit`-th one; never without a window.
  bool Due() {
    if (every_ == 0 || --left_ > 0) return false;
    left_ = every_;
    return true;
  }
  // How many pixels may go by before the next one that is due.
  int Quiet() const { return every_ == 0 ? std::numeric_limits<int>::max() : left_ - 1; }
  // Counts `pixels` that went by without a visit; at most Quiet().
  void Pass(int pixels) {
    if (every_ != 0) left_ -= pixels;
  }

 private:
  int every_;
  int left_ = 1;
};

// remaining x percent / 100, the fraction dropped; remaining is 0 once the bar is at the
// pass end.
inline int ProgressShare(const ProgressSink& progress, int percent) {
  const int remaining = progress.PassEnd() - progress.Position();
  return remaining > 0 ? remaining * percent / 100 : 0;
}

}  // namespace orla
