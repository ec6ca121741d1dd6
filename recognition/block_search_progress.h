#pragma once
// The progress bar and Cancel during the walks of the block stages: each takes 72 percent of
// what remains of the pass when it starts, and moves in proportion to the pixels visited.

#include <cstdint>

#include "page_walk.h"
#include "progress_share.h"

namespace orla {

class BlockSearchProgress {
 public:
  static constexpr int kPercent = 72;

  BlockSearchProgress(ProgressSink* progress, int width, int height)
      : progress_(progress), visits_(progress), pixels_(static_cast<double>(width) * static_cast<double>(height)) {
    if (ProgressAlive(progress_)) {
      start_ = progress_->Position();
      share_ = ProgressShare(*progress_, kPercent);
    }
  }

  // Only while the window exists: a closed one is never drawn on nor asked about Cancel.
  bool Alive() const { return ProgressAlive(progress_); }
  // The next pixel of `row` from `x` on at which the walk has work: a dot, or a pixel at which
  // the window is due (NextStop).
  int NextStop(const std::uint8_t* row, int x, int width) { return orla::NextStop(row, x, width, visits_); }
  // Called at every pixel of the walk: true when this pixel is one at which the window is
  // visited, and the window exists.
  bool VisitDue() { return visits_.Due() && Alive(); }
  int Start() const { return start_; }
  // The share of the bar done at pixel (x, y), in bar positions.
  double Fraction(int x, int y, int width) const {
    return pixels_ > 0 ? (static_cast<double>(y) * width + x) * share_ / pixels_ : 0.0;
  }
  void SetPos(int position) { progress_->SetPos(position); }
  // Pumps the window's messages: true when the operator has pressed Cancel.
  bool PumpAndCheckCancel() {
    progress_->PumpMessages();
    return progress_->Cancelled();
  }

 private:
  ProgressSink* progress_;
  ProgressVisits visits_;
  double pixels_;
  int start_ = 0;
  int share_ = 0;
};

}  // namespace orla
