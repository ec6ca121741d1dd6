// The payload from what the page vouches for: each block's data as the evidence of its readings
// vouches for it, tried whenever a reading noted changes what is vouched for.

#include <optional>

#include "block_check.h"
#include "shading_reg.h"

bool CShadingReg::NoteReadings(int b, const BlockReading& reading, const BlockReading& nextReading) {
  if (b < 0 || b >= kBlockSlots) return false;
  // An assembly from vouched data that did not change would fail again as it did before.
  const auto note = [this](int slot, const BlockReading& asRead, const auto& symbolTrust, int headerTrust) {
    const BlockReading* before = evidence[slot].Vouched();
    const std::optional<BlockReading> was = before != nullptr ? std::optional(*before) : std::nullopt;
    evidence[slot].Note(asRead, symbolTrust, headerTrust, slot);
    const BlockReading* after = evidence[slot].Vouched();
    return after != nullptr && (!was || *was != *after);
  };
  bool changed = reading.blockNumber == b && note(b, reading, readTrust.symbols, readTrust.header);
  if (b + 1 < kBlockSlots && note(b + 1, nextReading, readTrust.nextSymbols, 0)) changed = true;
  return changed;
}

int CShadingReg::AssembleFromEvidence() {
  const BlockReading* first = evidence[0].Vouched();
  if (first == nullptr) return 1;
  const int needed = (orla::LittleEndian16(first->data[0], first->data[1]) + orla::kBlockPayloadBytes - 1) /
                     orla::kBlockPayloadBytes;
  if (needed > kBlockSlots) return 1;
  for (int s = 0; s < needed; ++s) {
    if (evidence[s].Vouched() == nullptr) return 1;
  }

  // The block stages go on from the cells as they stand when this try fails.
  std::array<BlockReading, kBlockSlots> cells;
  for (int s = 0; s < needed; ++s) {
    BlockSlot& slot = blockSlots[s];
    cells[s] = slot.cell;
    slot.cell = *evidence[s].Vouched();
  }
  const int used = slotsUsed;
  slotsUsed = needed;
  if (AssemblePayload() == 0) return 0;
  slotsUsed = used;
  for (int s = 0; s < needed; ++s) blockSlots[s].cell = cells[s];
  return 1;
}
