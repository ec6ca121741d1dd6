#include "shading_reg.h"

#include <cmath>

CShadingReg::CShadingReg() { ResetPage(); }

CShadingReg::~CShadingReg() = default;

void CShadingReg::ResetPage() {
  resolution = 600;
  // The pitch at 600 dots per inch: the pattern's dots lie 6 pixels apart on both axes.
  dotPitch = std::sqrt(2.0) * 6.0;
  slotsUsed = 0;
  payload.fill(0);
  payloadHeader.fill(0);
  refA.fill(orla::Point{-1, -1});
  refB.fill(orla::Point{-1, -1});
  blockSlots.fill(BlockSlot{});
  evidence.fill(orla::BlockEvidence{});
  prints.Clear();
  holdPlainRecords = false;
  plainRecordHeld = false;
  heldCellsUsed = 0;
  heldDataStand = orla::kNoPrint;
}
