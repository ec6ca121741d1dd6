#pragma once
// When the File menu's commands are enabled, evaluated each time the menu opens.

#include <span>

#include "tracking_record.h"

namespace orla {

// Print: the page shown is a page of the list and its record was decoded, so Print never
// prints an empty result.
bool IsPrintEnabled(std::span<const TrackingRecord> records, int currentPage);
// Save As: at least one record was decoded (Save As then writes every record).
bool IsSaveAsEnabled(std::span<const TrackingRecord> records);

}  // namespace orla
