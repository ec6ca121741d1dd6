#pragma once
// The process-wide list of page results, in the order the pages were processed: the
// recognizer appends decoded records, the main dialog appends empty ones, shows, trims and
// clears it.

#include <vector>

#include "tracking_record.h"

extern std::vector<TrackingRecord> g_TrackingRecords;

// Empties the list and keeps its capacity.
void ClearTrackingRecords();
// Releases the list's storage; runs at exit.
void DestroyTrackingRecords();
