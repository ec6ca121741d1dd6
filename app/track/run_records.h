#pragma once
// Which records belong to the current Track run. A run notes how many records the list held
// when it began; once its first page is finished the records of earlier runs are dropped, so
// the list shows this run alone.

#include <vector>

#include "tracking_record.h"

namespace orla {

// After a finished page: while `runPending` is set and the run's first record exists, drop
// the first `runStart` records (order kept) and clear `runPending`. While the list is not yet
// longer than `runStart`, nothing changes and the run stays pending.
void TrimRecordsToRun(std::vector<TrackingRecord>& records, int& runPending, int runStart);

// Clear empties the list; the run start must follow it to 0, or a scan run still pending
// would later drop its own first records as if they were an earlier run's.
void ClearRunRecords(std::vector<TrackingRecord>& records, int& runStart);

}  // namespace orla
