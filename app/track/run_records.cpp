#include "track/run_records.h"

#include <cstddef>

namespace orla {

void TrimRecordsToRun(std::vector<TrackingRecord>& records, int& runPending, int runStart) {
  if (runPending == 0) return;
  const auto start = static_cast<std::size_t>(static_cast<unsigned>(runStart));
  if (start >= records.size()) return;
  records.erase(records.begin(), records.begin() + static_cast<std::ptrdiff_t>(start));
  runPending = 0;
}

void ClearRunRecords(std::vector<TrackingRecord>& records, int& runStart) {
  records.clear();
  runStart = 0;
}

}  // namespace orla
