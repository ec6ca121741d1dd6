#pragma once
// A progress window for tests: it records every position set and every pump, and can be
// scripted to press Cancel or to close itself after a given number of pumps.

#include <vector>

#include "progress_sink.h"

namespace orla::test {

class ScriptedProgress final : public ProgressSink {
 public:
  ScriptedProgress(int position, int passEnd) : position_(position), passEnd_(passEnd) {}

  bool IsAlive() const override { return alive_; }
  int Position() const override { return position_; }
  int PassEnd() const override { return passEnd_; }
  void SetPassEnd(int end) override { passEnd_ = end; }
  void SetPos(int position) override {
    position_ = position;
    positions.push_back(position);
  }
  void PumpMessages() override {
    ++pumps;
    if (pumps == cancelAtPump) cancelled_ = true;
    if (pumps == closeAtPump) alive_ = false;
  }
  bool Cancelled() const override { return cancelled_; }
  int PixelsPerVisit() const override { return pixelsPerVisit; }

  int pixelsPerVisit = 1;
  // 0 leaves the script step out.
  int cancelAtPump = 0;
  int closeAtPump = 0;

  std::vector<int> positions;
  int pumps = 0;

 private:
  int position_;
  int passEnd_;
  bool alive_ = true;
  bool cancelled_ = false;
};

}  // namespace orla::test
