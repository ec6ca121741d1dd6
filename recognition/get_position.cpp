#include "get_position.h"

CGetPosition::CGetPosition() = default;

CGetPosition::~CGetPosition() = default;

bool CGetPosition::IsDot(int x, int y) const {
  return IsInsidePage(x, y) && page->rows[static_cast<std::size_t>(y)][x] == 0;
}

void CGetPosition::RecordPoint(orla::Point dot) {
  if (pointCount < kPointTableSize) points[static_cast<std::size_t>(pointCount++)] = dot;
}
