#pragma once
// One reading of one block, and the per-block-number slot that collects the readings of a
// page. Plain records copied by value; a default-constructed one is the cleared state.

#include <array>
#include <cstdint>

#include "bit_fields.h"

namespace orla {

// A block carries 16 payload symbols of 3 bits: 6 payload bytes.
inline constexpr int kBlockSymbols = 16;
inline constexpr int kBlockPayloadBytes = 6;

}  // namespace orla

struct BlockReading {
  std::int32_t blockNumber = -1;  // 0 to 99, or -1 when the reading has none
  // 16 symbols of 3 bits, most significant bit first; bytes 0 to 5 are the block's payload
  // bytes, the seventh stays 0.
  std::array<std::uint8_t, 7> data{};
  std::int32_t symbolCount = 0;
  std::array<std::uint8_t, orla::kBlockSymbols> present{};
  std::uint8_t checkByte = 0;

  // Symbol i (0 to 15): whether it was read, and its 3-bit value in `data`.
  bool IsPresent(int i) const { return present[i] != 0; }
  void SetPresent(int i, bool isPresent) { present[i] = isPresent ? 1 : 0; }
  int Symbol(int i) const { return ReadBits(data.data(), 3 * i); }
  void SetSymbol(int i, int value) { WriteBits(data.data(), 3 * i, 3, static_cast<std::uint8_t>(value)); }

  friend bool operator==(const BlockReading&, const BlockReading&) = default;
};

// Present symbols from symbol 0 up to the first absent one: a partly read block gives the
// whole bytes these cover.
inline int LeadingPresentSymbols(const BlockReading& reading) {
  int p = 0;
  while (p < orla::kBlockSymbols && reading.IsPresent(p)) ++p;
  return p;
}

struct BlockSlot {
  std::array<BlockReading, 10> votes{};
  std::array<BlockReading, 10> history{};
  std::int32_t historyCount = 0;
  std::int32_t voteCount = 0;
  BlockReading cell{};
  std::int32_t complete = 0;
};
