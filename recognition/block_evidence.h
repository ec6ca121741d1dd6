#pragma once
// What the page itself confirms about one block number. The vote list and the combination
// search of a slot find data whose 8-bit check byte holds; among thousands of combinations a
// wrong one passes that check by chance about once in 256 tries, and a plain payload has no
// other check. So every reading is also kept here as it came off the page, with how far each
// of its values can be trusted (CodewordTrust: twice the decimal logarithm of the odds that a
// value was read right rather than made by damage beyond repair).
//
// A value's support is the trust of every reading that has it, so copies of a block read
// apart add up: two copies damaged independently rarely decode to the same wrong value. Each
// of the block's 17 values (16 symbols and the check byte) has a margin, its leader's support
// less the next value's. A margin of 6 (a thousand to one) vouches for a value on its own; the
// check byte guards the rest: a wrong value among them passes it only if their errors cancel in
// its XOR, which errors confined to one symbol, or to the check byte itself, never do. The data
// is vouched for when the odds that a weak value is wrong, summed over the weak values, times
// the share of their errors the check byte would miss, stay below a thousandth, and the data
// passes the check byte rule.

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "block_reading.h"

namespace orla {

class BlockEvidence {
 public:
  // Notes one reading of block `b` (its own reading, or the symbols that ran over into it
  // from the block before) as read from one place on the page, with the trust of each of its
  // symbols and of its header. True when data is vouched for after the note.
  bool Note(const BlockReading& asRead, std::span<const std::uint8_t, kBlockSymbols> symbolTrust, int headerTrust,
            int b);
  // The block's vouched data, or null when the evidence does not suffice.
  const BlockReading* Vouched() const { return vouched_ ? &*vouched_ : nullptr; }

  // Readings seen alike at several places are one sighting with their trust added up.
  struct Sighting {
    BlockReading reading;
    int seen = 0;
    std::array<int, kBlockSymbols> symbolTrust{};
    int headerTrust = 0;
  };
  std::span<const Sighting> Sightings() const { return {sightings_.data(), static_cast<std::size_t>(count_)}; }

 private:
  // Room for the different readings of a block; a further one adds nothing, so evidence
  // already noted is never dropped.
  static constexpr int kMostSightings = 16;

  void Vouch(int b);

  std::array<Sighting, kMostSightings> sightings_{};
  int count_ = 0;
  std::optional<BlockReading> vouched_;
};

}  // namespace orla
