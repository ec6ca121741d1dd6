#include "get_position.h"

CGetPosition::CGetPosition() = default;

CGetPosition::~CGetPosition() = default;

void CGetPosition::RecordPoint(orla::Point dot) {
  if (pointCount < kPointTableSize) points[pointCount++] = dot;
}
