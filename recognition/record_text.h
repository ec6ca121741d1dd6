#pragma once
// The record text that a page's payload inflates to: six fields, each a run of single-byte
// characters ended by a zero byte, in the order of TrackingRecord. The time stamp has exactly
// 12 characters, so the serial number starts at byte 13; every later field starts right after
// the zero byte of the field before it.

#include <cstdint>
#include <span>

#include "tracking_record.h"

namespace orla {

// Fills `record` (zeroed first, Valid 1) from `text`; false when the text is too short, the
// time stamp is not 12 characters, or a field is longer than its place. Fields that start at
// or past the end of the text stay empty, and text after the description is ignored. The
// last field may run to the end of the text without a zero byte.
bool ParseRecordText(std::span<const std::uint8_t> text, TrackingRecord& record);

// The rules a printer's own record keeps and damage rarely does: the time stamp is a date and
// time, YYMMDDhhmmss; the MAC address is hexadecimal (or empty); no field holds a control
// character. A record from an uncompressed payload must keep them, as the last guard against
// a wrong byte that its blocks' check bytes let through.
bool IsPlausibleRecord(const TrackingRecord& record);

}  // namespace orla
