#include "block_layout.h"

#include "bit_order.h"

namespace orla::pattern {

LatticePoint ReferenceAPosition(int k) { return {k - 11, 0}; }
LatticePoint ReferenceBPosition(int k) { return {3, 3 + k}; }

LatticePoint CellMapBitPosition(int bit) {
  const int line = bit / 12;
  const int j = bit % 12;
  switch (line) {
    case 0: return {j - 11, -2};
    case 1: return {j - 11, -1};
    case 2: return {4, 3 + j};
    default: return {5, 3 + j};
  }
}

LatticePoint GridPosition(int line, int column) { return {column - 11, 3 + line}; }

int CellOf(int line, int column) { return 4 * (line / 3) + column / 3; }

std::vector<LatticePoint> DataBitPositions(std::uint16_t cellMask) {
  std::vector<LatticePoint> positions;
  for (int line = 0; line < 12; ++line)
    for (int g = 0; g < 4; ++g)
      if ((cellMask >> CellOf(line, 3 * g)) & 1u)
        for (int j = 3 * g; j < 3 * g + 3; ++j) positions.push_back(GridPosition(line, j));
  return positions;
}

std::vector<BlockDot> BlockDots(const EncodedBlock& block) {
  std::vector<BlockDot> dots;
  for (int k = 0; k < 12; ++k) dots.push_back({ReferenceAPosition(k), DotRole::ReferenceA});
  for (LatticePoint p : {LatticePoint{1, 1}, LatticePoint{1, 2}, LatticePoint{2, 1}, LatticePoint{2, 2}})
    dots.push_back({p, DotRole::Marker});
  for (int k = 0; k < 12; ++k) dots.push_back({ReferenceBPosition(k), DotRole::ReferenceB});

  const std::vector<std::uint8_t> mapBits = SymbolsToBits(block.cellMapSymbols);
  for (int bit = 0; bit < 48; ++bit)
    if (mapBits[static_cast<std::size_t>(bit)] != 0) dots.push_back({CellMapBitPosition(bit), DotRole::CellMap});

  const std::vector<std::uint8_t> dataBits = SymbolsToBits(block.dataSymbols);
  const std::vector<LatticePoint> positions = DataBitPositions(block.plan.cellMask);
  for (std::size_t i = 0; i < positions.size() && i < dataBits.size(); ++i)
    if (dataBits[i] == 0) dots.push_back({positions[i], DotRole::Data});
  return dots;
}

}  // namespace orla::pattern
