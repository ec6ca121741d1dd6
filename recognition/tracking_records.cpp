#include "tracking_records.h"

#include <cstdlib>

std::vector<TrackingRecord> g_TrackingRecords;

void ClearTrackingRecords() { g_TrackingRecords.clear(); }

void DestroyTrackingRecords() { std::vector<TrackingRecord>().swap(g_TrackingRecords); }

namespace {

// Registered after the list is built, so it runs before the list's own destructor.
const int RegisterTrackingRecordsCleanup = std::atexit(DestroyTrackingRecords);

}  // namespace
