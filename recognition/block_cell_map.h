#pragma once
// What the cell map of one block says: which of its 16 data cells carry data, beside copies of
// the reference rows the block was read from. The block stages keep one and reuse it.

#include <array>
#include <cstdint>

#include "point.h"

struct BlockCellMap {
  std::array<orla::Point, 12> refA{};
  std::array<orla::Point, 12> refB{};
  std::array<std::int32_t, 16> cellHasData{};
};
