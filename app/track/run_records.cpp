#include "track/run_records.h"

namespace orla {

void TrimRecordsToRun(std::vector<TrackingRecord>& records, int& runPending, int runStart) {
  if (runPending == 0) return;
  // The run start is compared as unsigned: a negative one is never below the count.
  if (static_cast<unsigned>(runStart) >= records.size()) return;
  records.erase(records.begin(), records.begin() + runStart);
  runPending = 0;
}

void ClearRunRecords(std::vector<TrackingRecord>& records, int& runStart) {
  records.clear();
  runStart = 0;
}

}  // namespace orla
