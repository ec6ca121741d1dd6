// The payload from what the page vouches for: each block's data as the evidence of its readings
// vouches for it, over the whole page and print by print, tried whenever a reading noted changes
// what is vouched for.

#include "block_check.h"
#include "shading_reg.h"

bool CShadingReg::NoteReadings(int b, const BlockReading& reading, const BlockReading& nextReading,
                               const ReferenceRow& rowA, const ReferenceRow& rowB) {
  if (b < 0 || b >= kBlockSlots) return false;
  const bool onPage = orla::NoteBlockReadings(evidence, b, reading, nextReading, readTrust);
  const bool onPrint = prints.Note(rowA, rowB, b, reading, nextReading, readTrust);
  return onPage || onPrint;
}

int CShadingReg::AssembleFrom(const std::array<const BlockReading*, kBlockSlots>& vouched) {
  const BlockReading* first = vouched[0];
  if (first == nullptr) return 1;
  const int needed = (orla::LittleEndian16(first->data[0], first->data[1]) + orla::kBlockPayloadBytes - 1) /
                     orla::kBlockPayloadBytes;
  if (needed > kBlockSlots) return 1;
  for (int s = 0; s < needed; ++s) {
    if (vouched[s] == nullptr) return 1;
  }

  // The block stages go on from the cells as they stand when this try fails.
  std::array<BlockReading, kBlockSlots> cells;
  for (int s = 0; s < needed; ++s) {
    BlockSlot& slot = blockSlots[s];
    cells[s] = slot.cell;
    slot.cell = *vouched[s];
  }
  const int used = slotsUsed;
  slotsUsed = needed;
  if (AssemblePayload() == 0) return 0;
  slotsUsed = used;
  for (int s = 0; s < needed; ++s) blockSlots[s].cell = cells[s];
  return 1;
}

int CShadingReg::AssembleFromEvidence() {
  std::array<const BlockReading*, kBlockSlots> vouched{};
  for (int s = 0; s < kBlockSlots; ++s) vouched[s] = evidence[s].Vouched();
  if (AssembleFrom(vouched) == 0) return 0;
  for (int print = 0; print < prints.Count(); ++print) {
    if (!prints.ShowsOnePrint(print)) continue;
    for (int s = 0; s < kBlockSlots; ++s) vouched[s] = prints.Vouched(print, s);
    if (AssembleFrom(vouched) == 0) return 0;
  }
  // A plain payload from these is made only when a print vouches for it (VouchingPrint).
  for (int print = 0; print < prints.LatticeCount(); ++print) {
    if (!prints.LatticeShowsOnePrint(print)) continue;
    for (int s = 0; s < kBlockSlots; ++s) vouched[s] = prints.LatticeVouched(print, s);
    if (AssembleFrom(vouched) == 0) return 0;
  }
  return 1;
}

int CShadingReg::AssembleHeldRecord() {
  if (!plainRecordHeld) return 1;
  const int used = heldCellsUsed;
  for (int print = 0; print < prints.Count(); ++print) {
    if (!prints.ShowsOnePrint(print)) continue;
    std::array<BlockReading, kBlockSlots> cells;
    for (int s = 0; s < used; ++s) {
      cells[s] = blockSlots[s].cell;
      blockSlots[s].cell = heldCells[s];
    }
    const int slots = slotsUsed;
    slotsUsed = used;
    heldDataStand = print;
    const int result = AssemblePayload();
    heldDataStand = orla::kNoPrint;
    if (result == 0) return 0;
    slotsUsed = slots;
    for (int s = 0; s < used; ++s) blockSlots[s].cell = cells[s];
  }
  return 1;
}
