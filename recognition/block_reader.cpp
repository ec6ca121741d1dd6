// Reading one block from the dot map once its frame is fitted: the cell map beside the
// reference rows, then the used data cells of the grid, decoded into readings.

#include "bit_fields.h"
#include "block_data.h"
#include "codeword.h"
#include "shading_reg.h"

using orla::Point;

namespace {

constexpr int kCells = 16;
constexpr int kCellMapBits = 48;
constexpr int kAllCellsFlagBit = 16;
constexpr std::array<int, 3> kCellMapCodewords{7, 4, 5};

bool BitAt(std::span<const std::uint8_t> bits, int index) {
  return ((bits[index / 8] >> (7 - index % 8)) & 1) != 0;
}

void SetBitAt(std::span<std::uint8_t> bits, int index) {
  bits[index / 8] = static_cast<std::uint8_t>(bits[index / 8] | (0x80 >> (index % 8)));
}

}  // namespace

int CShadingReg::ReadBlockCellMap(BlockCellMap& cellMap, const ReferenceRow& tableA, const ReferenceRow& tableB) {
  // The map is reused from block to block: flags left from the block before must not stand
  // in for a codeword of this one that fails.
  cellMap.cellHasData.fill(0);
  std::array<std::uint8_t, kCellMapBits / 8> bits{};
  const double p = dotPitch;
  const Point alongA = tableA[11] - tableA[0];
  const Point alongB = tableB[11] - tableB[0];
  const Point awayFromB = tableB[0] - tableB[11];
  Point first;
  Point next;
  ReadDotBits(bits, 0, first, next, PointAlong(tableA[0], awayFromB, 2.0 * p), alongA, p);
  ReadDotBits(bits, 12, first, next, PointAlong(tableA[0], awayFromB, p), alongA, p);
  const Point line3 = PointAlong(tableB[0], alongA, p);
  ReadDotBits(bits, 24, first, next, line3, alongB, p);
  ReadDotBits(bits, 36, first, next, PointAlong(line3, alongA, p), alongB, p);

  int d = 0;
  int p3 = 0;
  bool rejected = false;
  int allCells = 0;
  for (const int n : kCellMapCodewords) {
    const int k = orla::CodewordDataSymbols(n);
    // After a failure a codeword that holds cell flags only cannot help: the all-cells flag
    // is what may still save the map.
    if (rejected && d + 3 * k < kCells) {
      d += 3 * k;
      p3 += 3 * n;
      continue;
    }
    std::array<std::uint8_t, 7> symbols{};
    UnpackBitFields(bits.data(), p3, n, symbols.data());
    p3 += 3 * n;
    if (!orla::DecodeCodeword(std::span(symbols.data(), static_cast<std::size_t>(n)))) {
      rejected = true;
      d += 3 * k;
      continue;
    }
    for (int s = 0; s < k; ++s) {
      for (int bit = 2; bit >= 0; --bit, ++d) {
        const int value = (symbols[s] >> bit) & 1;
        if (d < kCells) cellMap.cellHasData[d] = value;
        if (d == kAllCellsFlagBit) allCells = value;
      }
    }
  }

  int result = 0;
  if (rejected) {
    if (allCells == 1) {
      cellMap.cellHasData.fill(1);
    } else {
      result = 1;
    }
  }
  cellMap.refA = tableA;
  cellMap.refB = tableB;
  return result;
}

int CShadingReg::ReadBlockNumber(const BlockCellMap& cellMap, BlockReading& reading, BlockReading& nextReading) {
  std::array<std::uint8_t, orla::kBlockDataBytes> bits{};
  int n = 0;
  for (int k = 0; k < kRunLength; ++k) {
    std::array<std::uint8_t, 2> line{};
    if (ReadReferenceCell(line, cellMap.refA, cellMap.refB, k, dotPitch) == 0) {
      // Rows that do not cross: read the line from where its column through A[11] would be.
      const Point backwards = cellMap.refA[0] - cellMap.refA[11];
      Point first;
      Point next;
      ReadDotBits(line, 0, first, next, PointAlong(cellMap.refB[k], backwards, 3.0 * dotPitch), backwards, dotPitch);
    }
    for (int g = 0; g < 4; ++g) {
      if (cellMap.cellHasData[4 * (k / 3) + g] == 0) continue;
      // Bit j of the line is the column of A[11 - j]; a cell's columns are read in rising
      // order, and in the grid a dot is a 0.
      for (int j = 11 - 3 * g; j > 8 - 3 * g; --j, ++n) {
        if (!BitAt(line, j)) SetBitAt(bits, n);
      }
    }
  }
  return DecodeBlockData(n, reading, bits, nextReading, &readTrust);
}

int CShadingReg::EraseReferenceDots(const BlockCellMap& cellMap) {
  for (int i = 0; i < kRunLength; ++i) {
    for (const Point& p : {cellMap.refA[i], cellMap.refB[i]}) {
      if (IsInsidePage(p.x, p.y)) page->rows[p.y][p.x] = 255;
    }
  }
  return 0;
}

void CShadingReg::ErasePointTable() {
  for (int i = 0; i < pointCount; ++i) {
    const Point& p = points[i];
    if (IsInsidePage(p.x, p.y)) page->rows[p.y][p.x] = 255;
  }
  pointCount = 0;
}
