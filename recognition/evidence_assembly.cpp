// The payload from what the page vouches for: each block's data as the evidence of its readings
// vouches for it, tried whenever a reading is noted and its block is vouched for.

#include "block_check.h"
#include "shading_reg.h"

bool CShadingReg::NoteReadings(int b, const BlockReading& reading, const BlockReading& nextReading) {
  if (b < 0 || b >= kBlockSlots) return false;
  bool changed = reading.blockNumber == b && evidence[b].Note(reading, readTrust.symbols, readTrust.header, b);
  if (b + 1 < kBlockSlots && evidence[b + 1].Note(nextReading, readTrust.nextSymbols, 0, b + 1)) changed = true;
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
