#include "pages/menu_rules.h"

#include <algorithm>
#include <utility>

namespace orla {

bool IsPrintEnabled(std::span<const TrackingRecord> records, int currentPage) {
  if (currentPage < 1 || std::cmp_greater(currentPage, records.size())) return false;
  return records[currentPage - 1].Valid != 0;
}

bool IsSaveAsEnabled(std::span<const TrackingRecord> records) {
  return std::any_of(records.begin(), records.end(), [](const TrackingRecord& r) { return r.Valid != 0; });
}

}  // namespace orla
