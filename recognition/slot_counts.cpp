// How much payload the block slots hold: the block stages ask before they try an assembly.

#include "shading_reg.h"

int CShadingReg::CountDecodedBytes(int strict, int needed) {
  int bytes = 0;
  int s = 0;
  for (; s < kBlockSlots; ++s) {
    const BlockSlot& slot = blockSlots[s];
    if (slot.complete != 0 || (strict == 0 && slot.votes[0].symbolCount == orla::kBlockSymbols)) {
      bytes += orla::kBlockPayloadBytes;
    } else {
      break;
    }
  }
  if (s == kBlockSlots) {
    slotsUsed = kBlockSlots;
    return 1;
  }
  // A partly read block still gives the whole bytes its leading symbols cover.
  const int p = LeadingPresentSymbols(blockSlots[s].votes[0]);
  if (3 * p >= 8) {
    bytes += 3 * p / 8;
    ++s;
  }
  slotsUsed = s;
  return bytes >= needed ? 1 : 0;
}

int CShadingReg::CountCellBytes() const {
  int bytes = 0;
  for (const BlockSlot& slot : blockSlots) {
    if (slot.complete != 0) bytes += orla::kBlockPayloadBytes;
  }
  return bytes;
}
