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
#include <bitset>
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
  // Two different data of the block, each vouched for by its own readings alone and each read
  // at two places at least: one print does not carry both, so the readings noted here come
  // from more than one.
  bool Contested() const { return contested_; }
  // Whether data once vouched for still stands. More readings of one print, some of them
  // misread in different ways, can leave the data short of the margin over all readings with
  // nothing read against it. On a page that shows one print only, the data stands unless other
  // data of the block is vouched for by its own readings at two places: other data vouched for
  // at one place is taken for the misreading that a page of many readings now and then holds.
  // On a page that shows more, that data may be the other print's: the data stands only while
  // its own readings vouch for it and no other data is vouched for by its own at all.
  bool Stands(const BlockReading& value, int b, bool onePrintShown) const;

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

  using Chosen = std::bitset<kMostSightings>;


  void Vouch(int b);
  // The data the chosen sightings vouch for, or nothing.
  std::optional<BlockReading> VouchedBy(const Chosen& chosen, int b) const;
  Chosen All() const;
  // Whether `value` is vouched for by the readings that agree with it alone, read at `places`
  // places at least.
  bool VouchedAlone(const BlockReading& value, int b, int places) const;
  bool ComputeContested(int b) const;

  std::array<Sighting, kMostSightings> sightings_{};
  int count_ = 0;
  std::optional<BlockReading> vouched_;
  bool contested_ = false;
};

struct ValueTrust;

// Notes the readings of block b as read (its own, and the symbols that ran over into block
// b + 1) into the evidence of a page or a print: true when the data vouched for either block
// is new or other than before.
bool NoteBlockReadings(std::span<BlockEvidence> evidence, int b, const BlockReading& reading,
                       const BlockReading& nextReading, const ValueTrust& trust);

}  // namespace orla
