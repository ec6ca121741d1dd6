#include "block_encoder.h"

#include <bit>

#include "bit_order.h"
#include "payload.h"
#include "rs_encoder.h"

namespace orla::pattern {

std::vector<int> RowLengths(int symbolCount) {
  std::vector<int> rows(static_cast<std::size_t>(symbolCount / 7), 7);
  const int rest = symbolCount % 7;
  if (rest >= 3) {
    rows.push_back(rest);
  } else if (rest > 0) {
    // Too few symbols for a codeword of their own: they share the last full row's place.
    if (!rows.empty()) rows.pop_back();
    rows.push_back((rest + 7) / 2);
    rows.push_back(rest + 7 - (rest + 7) / 2);
  }
  return rows;
}

std::size_t RowOffset(const EncodedBlock& block, int row) {
  std::size_t offset = 0;
  for (int r = 0; r < row && r < static_cast<int>(block.rowLengths.size()); ++r)
    offset += static_cast<std::size_t>(block.rowLengths[static_cast<std::size_t>(r)]);
  return offset;
}

int UsedCellCount(std::uint16_t cellMask) { return std::popcount(cellMask); }

int PayloadCapacity(std::uint16_t cellMask) {
  int data = 0;
  for (int length : RowLengths(3 * UsedCellCount(cellMask))) data += DataSymbolsOf(length);
  return data - kHeaderSymbols;
}

bool HeaderFits(std::uint16_t cellMask) {
  const std::vector<int> rows = RowLengths(3 * UsedCellCount(cellMask));
  int data = 0;
  for (std::size_t i = 0; i < rows.size() && i < 2; ++i) data += DataSymbolsOf(rows[i]);
  return data >= kHeaderSymbols;
}

std::array<std::uint8_t, 6> HeaderSymbols(int blockNumber, int firstSymbol, std::uint8_t checkByte) {
  const unsigned value = (static_cast<unsigned>(blockNumber & 0x3F) << 12) |
                         (static_cast<unsigned>(firstSymbol & 0xF) << 8) | checkByte;
  std::array<std::uint8_t, 6> symbols{};
  for (int i = 0; i < 6; ++i) symbols[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((value >> (15 - 3 * i)) & 7u);
  return symbols;
}

std::array<std::uint8_t, 16> CellMapSymbols(std::uint16_t cellMask, int allCellsFlag, std::uint8_t spareBits) {
  std::vector<std::uint8_t> dataBits;
  for (int c = 0; c < 16; ++c) dataBits.push_back(static_cast<std::uint8_t>((cellMask >> c) & 1u));
  const int flag = allCellsFlag < 0 ? (cellMask == kAllCells ? 1 : 0) : (allCellsFlag != 0 ? 1 : 0);
  dataBits.push_back(static_cast<std::uint8_t>(flag));
  for (int i = 6; i >= 0; --i) dataBits.push_back(static_cast<std::uint8_t>((spareBits >> i) & 1u));
  const std::vector<std::uint8_t> data = BitsToSymbols(dataBits);  // 8 data symbols

  std::array<std::uint8_t, 16> symbols{};
  std::size_t nextData = 0;
  std::size_t at = 0;
  for (int length : kCellMapCodewordLengths) {
    const int k = DataSymbolsOf(length);
    const std::span<const std::uint8_t> part(data.data() + nextData, static_cast<std::size_t>(k));
    for (std::uint8_t s : EncodeCodeword(part, length)) symbols[at++] = s;
    nextData += static_cast<std::size_t>(k);
  }
  return symbols;
}

std::vector<std::uint8_t> PayloadSymbolStream(const std::vector<std::uint8_t>& payload) {
  std::vector<std::uint8_t> padded = payload;
  padded.resize(static_cast<std::size_t>(BlockCountOf(payload)) * 6, 0);
  return BitsToSymbols(BytesToBits(padded));
}

EncodedBlock EncodeBlock(const std::vector<std::uint8_t>& payload, const BlockPlan& plan) {
  EncodedBlock block;
  block.plan = plan;
  block.checkByte = plan.checkByteOverride >= 0 ? static_cast<std::uint8_t>(plan.checkByteOverride)
                                                : CheckByte(BlockBytes(payload, plan.blockNumber));
  block.cellMapSymbols = CellMapSymbols(plan.cellMask, plan.allCellsFlag, plan.spareCellMapBits);
  block.rowLengths = RowLengths(3 * UsedCellCount(plan.cellMask));

  const std::vector<std::uint8_t> stream = PayloadSymbolStream(payload);
  const int capacity = PayloadCapacity(plan.cellMask);
  const long start = static_cast<long>(plan.blockNumber) * kSymbolsPerBlock + plan.firstSymbol;
  for (int i = 0; i < capacity; ++i) {
    const long at = start + i;
    block.payloadSymbols.push_back(at >= 0 && at < static_cast<long>(stream.size()) ? stream[static_cast<std::size_t>(at)] : 0);
  }

  std::vector<std::uint8_t> data;
  for (std::uint8_t s : HeaderSymbols(plan.blockNumber, plan.firstSymbol, block.checkByte)) data.push_back(s);
  data.insert(data.end(), block.payloadSymbols.begin(), block.payloadSymbols.end());

  std::size_t nextData = 0;
  for (int length : block.rowLengths) {
    std::vector<std::uint8_t> rowData;
    for (int i = 0; i < DataSymbolsOf(length); ++i, ++nextData) rowData.push_back(nextData < data.size() ? data[nextData] : 0);
    for (std::uint8_t s : EncodeCodeword(rowData, length)) block.dataSymbols.push_back(s);
  }
  return block;
}

std::vector<BlockPlan> PlanBlocks(const std::vector<std::uint8_t>& payload, const PlanOptions& options) {
  std::vector<BlockPlan> plans;
  const long end = static_cast<long>(BlockCountOf(payload)) * kSymbolsPerBlock;
  long position = 0;
  while (position < end) {
    const std::uint16_t mask = plans.empty() ? options.firstCellMask : options.cellMask;
    const int capacity = PayloadCapacity(mask);
    const int number = static_cast<int>(position / kSymbolsPerBlock);
    if (capacity <= 0 || !HeaderFits(mask) || number > kLargestBlockNumber) return {};
    BlockPlan plan;
    plan.blockNumber = number;
    plan.firstSymbol = static_cast<int>(position % kSymbolsPerBlock);
    plan.cellMask = mask;
    plans.push_back(plan);
    position += capacity;
  }
  return plans;
}

}  // namespace orla::pattern
