// The block slots: every reading of a block is voted into its slot symbol by symbol, and the
// slot takes a reading, or a combination of voted values, as the block's data once the check
// byte holds.

#include <algorithm>

#include "block_check.h"
#include "next_combination.h"
#include "shading_reg.h"

namespace {

constexpr int kListRoom = 10;

bool ValidSlot(int k) { return k >= 0 && k < CShadingReg::kBlockSlots; }

}  // namespace

int CShadingReg::MergeBlockReading(BlockReading& reading, int k) {
  if (reading.symbolCount <= 0 || !ValidSlot(k)) return 0;
  BlockSlot& slot = blockSlots[k];
  auto& votes = slot.votes;
  if (slot.voteCount == 0) {
    votes[0] = reading;
    slot.voteCount = 1;
    return 1;
  }

  // A check byte already voted for moves to the front; the reading brings nothing new on it.
  if (reading.blockNumber == k) {
    for (int j = 0; j < slot.voteCount; ++j) {
      BlockReading& entry = votes[j];
      if (entry.blockNumber != k || entry.checkByte != reading.checkByte) continue;
      if (j > 0) {
        entry.checkByte = votes[0].checkByte;
        votes[0].checkByte = reading.checkByte;
      }
      reading.blockNumber = -1;
      reading.checkByte = 0;
      break;
    }
  }

  // Likewise a symbol value already voted for moves to the front and leaves the reading.
  for (int i = 0; i < orla::kBlockSymbols; ++i) {
    if (!reading.IsPresent(i)) continue;
    const int v = reading.Symbol(i);
    for (int j = 0; j < slot.voteCount; ++j) {
      BlockReading& entry = votes[j];
      if (!entry.IsPresent(i) || entry.Symbol(i) != v) continue;
      if (j > 0) {
        entry.SetSymbol(i, votes[0].Symbol(i));
        votes[0].SetSymbol(i, v);
      }
      reading.SetPresent(i, false);
      --reading.symbolCount;
      break;
    }
  }

  int result = 0;
  for (int i = 0; i < orla::kBlockSymbols; ++i) {
    if (!reading.IsPresent(i)) continue;
    result = 1;
    const int v = reading.Symbol(i);
    int j = 0;
    while (j < kListRoom && votes[j].IsPresent(i)) ++j;
    if (j == kListRoom) {
      votes[kListRoom - 1].SetSymbol(i, v);
      continue;
    }
    BlockReading& entry = votes[j];
    entry.SetSymbol(i, v);
    entry.SetPresent(i, true);
    ++entry.symbolCount;
    if (j >= slot.voteCount) slot.voteCount = j + 1;
  }

  if (reading.blockNumber == k) {
    result = 1;
    int j = 0;
    while (j < kListRoom && votes[j].blockNumber == k) ++j;
    if (j == kListRoom) {
      votes[0].checkByte = reading.checkByte;
    } else {
      BlockReading& entry = votes[j];
      entry.blockNumber = k;
      entry.checkByte = votes[0].checkByte;
      votes[0].checkByte = reading.checkByte;
      if (j >= slot.voteCount) slot.voteCount = j + 1;
    }
  }
  return result;
}

int CShadingReg::CommitBlock(int b, const BlockReading& reading, int mode) {
  if (!ValidSlot(b)) return 0;
  BlockSlot& slot = blockSlots[b];
  auto& history = slot.history;

  if (mode == 0) {
    if (reading.blockNumber != b || !orla::IsValidBlock(reading, b)) return 0;
    slot.cell = reading;
    int j = 0;
    while (j < slot.historyCount && history[j] != reading) ++j;
    if (j < slot.historyCount) {
      if (j > 0) {
        history[j] = history[0];
        history[0] = reading;
      }
    } else if (slot.historyCount < kListRoom) {
      if (slot.historyCount > 0) history[slot.historyCount] = history[0];
      history[0] = reading;
      ++slot.historyCount;
    } else {
      history[kListRoom - 1] = history[0];
      history[0] = reading;
    }
    slot.complete = 1;
    return 1;
  }

  // Mode 1: combinations of the voted values that use something the reading brought.
  if (slot.votes[0].symbolCount < orla::kBlockSymbols) return 0;
  std::array<std::array<std::uint8_t, kListRoom>, orla::kBlockSymbols> candidates{};
  std::array<std::uint8_t, orla::kBlockSymbols> limits{};
  std::array<std::uint8_t, kListRoom> checkBytes{};
  int checkByteCount = 0;
  for (int j = 0; j < slot.voteCount; ++j) {
    const BlockReading& entry = slot.votes[j];
    for (int i = 0; i < orla::kBlockSymbols; ++i) {
      if (!entry.IsPresent(i)) continue;
      std::uint8_t& count = limits[i];
      candidates[i][count++] = static_cast<std::uint8_t>(entry.Symbol(i));
    }
    if (entry.blockNumber == b) checkBytes[checkByteCount++] = entry.checkByte;
  }

  std::array<std::uint8_t, orla::kBlockSymbols> digits{};
  int result = 0;
  int tries = 0;
  do {
    ++tries;
    BlockReading combination;
    combination.blockNumber = b;
    combination.symbolCount = orla::kBlockSymbols;
    combination.present.fill(1);
    bool agree = false;
    for (int i = 0; i < orla::kBlockSymbols; ++i) {
      const int v = candidates[i][digits[i]];
      combination.SetSymbol(i, v);
      if (reading.IsPresent(i) && reading.Symbol(i) == v) agree = true;
    }
    if (!agree && reading.blockNumber != b) continue;
    combination.checkByte = orla::CheckByteOf(combination);
    for (int x = 0; x < checkByteCount; ++x) {
      const std::uint8_t check = checkBytes[x];
      // Without a new symbol value the combination is new only through the reading's check byte.
      if (!agree && check != reading.checkByte) continue;
      if (check != combination.checkByte || !orla::IsValidBlock(combination, b)) continue;
      slot.cell = combination;
      if (slot.historyCount < kListRoom) slot.history[slot.historyCount++] = combination;
      slot.complete = 1;
      result = 1;
    }
  } while (NextCombination(orla::kBlockSymbols, digits.data(), limits.data()) != 0 &&
           tries <= kMostCombinationTries);
  return result;
}
