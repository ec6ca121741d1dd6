#pragma once
// Readings as the format rules say a block should read, built with the pattern writer's own
// bit packing and from its encoded blocks, and a field-by-field comparison of readings.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bit_order.h"
#include "block_encoder.h"
#include "block_reading.h"

namespace orla::test {

// A reading of block `number` (or -1) whose symbol i is values[i], absent where empty.
inline BlockReading MakeReading(int number, const std::array<std::optional<int>, 16>& values, int checkByte = 0) {
  BlockReading r;
  r.blockNumber = number;
  r.checkByte = static_cast<std::uint8_t>(checkByte);
  std::array<std::uint8_t, 16> symbols{};
  for (std::size_t i = 0; i < 16; ++i) {
    if (!values[i]) continue;
    symbols[i] = static_cast<std::uint8_t>(*values[i]);
    r.present[i] = 1;
    ++r.symbolCount;
  }
  const std::vector<std::uint8_t> bytes = orla::pattern::BitsToBytes(orla::pattern::SymbolsToBits(symbols));
  for (std::size_t i = 0; i < 6; ++i) r.data[i] = bytes[i];
  return r;
}

// A full reading of block `number` with these 6 data bytes.
inline BlockReading FullReading(int number, const std::array<std::uint8_t, 6>& bytes, int checkByte) {
  BlockReading r;
  r.blockNumber = number;
  r.checkByte = static_cast<std::uint8_t>(checkByte);
  for (std::size_t i = 0; i < 6; ++i) r.data[i] = bytes[i];
  r.present.fill(1);
  r.symbolCount = 16;
  return r;
}

// Where the writer says the block's payload symbols belong: from symbol X of this block on,
// the rest from symbol 0 of the next; `absent` lists payload symbol indices that stay unread.
inline std::pair<BlockReading, BlockReading> ExpectedReadings(const orla::pattern::EncodedBlock& block,
                                                              const std::vector<int>& absent = {}) {
  std::array<std::optional<int>, 16> here{};
  std::array<std::optional<int>, 16> there{};
  int at = block.plan.firstSymbol;
  for (std::size_t i = 0; i < block.payloadSymbols.size(); ++i, ++at) {
    if (std::find(absent.begin(), absent.end(), static_cast<int>(i)) != absent.end()) continue;
    (at < 16 ? here[static_cast<std::size_t>(at)] : there[static_cast<std::size_t>(at - 16)]) = block.payloadSymbols[i];
  }
  return {MakeReading(block.plan.blockNumber, here, block.checkByte), MakeReading(-1, there)};
}

inline void ExpectSameReading(const BlockReading& actual, const BlockReading& expected, const std::string& what) {
  EXPECT_EQ(actual.blockNumber, expected.blockNumber) << what;
  EXPECT_EQ(actual.checkByte, expected.checkByte) << what;
  EXPECT_EQ(actual.symbolCount, expected.symbolCount) << what;
  EXPECT_EQ(actual.present, expected.present) << what;
  EXPECT_EQ(actual.data, expected.data) << what;
}

}  // namespace orla::test
