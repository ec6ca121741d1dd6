#pragma once
// A page reader's progress for tests: every report noted, and a stop asked for at the
// `stopAt`-th (never when 0).

#include <cstdint>
#include <utility>
#include <vector>

#include "read_progress.h"

namespace orla::test {

class RecordingReadProgress final : public ReadProgress {
 public:
  bool Advance(std::int64_t done, std::int64_t total) override {
    reports.emplace_back(done, total);
    return stopAt == 0 || static_cast<int>(reports.size()) < stopAt;
  }
  std::vector<std::pair<std::int64_t, std::int64_t>> reports;
  int stopAt = 0;
};

}  // namespace orla::test
