// The second block stage: walk the dot map again, read a block wherever a frame fits along
// the learned block period, vote and commit every reading, and whenever enough payload may be
// there try to assemble it: from the slots as they stand, from the votes, then from
// combinations of the committed readings.

#include <algorithm>
#include <array>

#include "block_check.h"
#include "block_search_progress.h"
#include "next_combination.h"
#include "shading_reg.h"

namespace {

// The bar keeps room for the assembly while the byte count drives it.
constexpr int kHighestCountPosition = 95;
constexpr int kHighestBarPosition = 99;
// Until block 0 tells the payload length, progress by bytes assumes a typical payload.
constexpr double kTypicalPayloadBytes = 150.0;

using Digits = std::array<std::uint8_t, CShadingReg::kBlockSlots + 1>;

// Every slot s < n takes its committed reading history[digit] (a slot never committed, its
// votes), digit by digit through every combination of the histories, until an assembly gives
// a record (0) or the combinations or tries run out (1).
int AssembleFromHistories(CShadingReg& reg, int n) {
  Digits digits{};
  Digits limits{};
  for (int s = 0; s < n; ++s) {
    const BlockSlot& slot = reg.blockSlots[s];
    limits[s] = static_cast<std::uint8_t>(slot.complete != 0 ? slot.historyCount : 1);
  }
  int tries = 0;
  do {
    ++tries;
    for (int s = 0; s < n; ++s) {
      BlockSlot& slot = reg.blockSlots[s];
      const int digit = digits[s];
      slot.cell = slot.complete != 0 && digit < slot.historyCount ? slot.history[digit] : slot.votes[0];
    }
    if (reg.AssemblePayload() == 0) return 0;
  } while (NextCombination(n, digits.data(), limits.data()) != 0 && tries <= kMostCombinationTries);
  return 1;
}

// Slots s < n as their votes stand, then every combination of their committed readings: 0
// when an assembly gave a record, else 1.
int AssembleFromVotesThenHistories(CShadingReg& reg, int n) {
  for (int s = 0; s < n; ++s) {
    BlockSlot& slot = reg.blockSlots[s];
    slot.cell = slot.votes[0];
  }
  if (reg.AssemblePayload() == 0) return 0;
  return AssembleFromHistories(reg, n);
}

}  // namespace

orla::RecognizeResult CShadingReg::CollectBlocks(orla::ProgressSink* progress) {
  BlockCellMap cellMap{};
  BlockReading reading;
  BlockReading nextReading;
  const int width = pageWidth;
  const int height = pageHeight;
  orla::BlockSearchProgress bar(progress, width, height);

  pointCount = 0;
  bool lengthKnown = false;
  int blocksExpected = 0;
  int bytesFound = 0;
  int lastPosition = 0;
  blocksCollected = 0;
  const orla::Point step = LatticeStep();

  holdPlainRecords = true;
  // Records are made as usual again on every way out of the walk, a cancel included.
  const struct Release {
    bool& hold;
    ~Release() { hold = false; }
  } release{holdPlainRecords};
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = page->rows[y].get();
    for (int x = bar.NextStop(row, 0, width); x < width; x = bar.NextStop(row, x + 1, width)) {
      if (bar.VisitDue()) {
        const int pixelPosition = bar.Start() + static_cast<int>(bar.Fraction(x, y, width) + 0.5);
        const int countPosition = lengthKnown && expectedPayloadLength > 0
                                      ? bytesFound * 100 / expectedPayloadLength
                                      : static_cast<int>(bytesFound * 100 / kTypicalPayloadBytes);
        const int position = countPosition > pixelPosition ? std::min(countPosition, kHighestCountPosition)
                                                           : std::min(pixelPosition, kHighestBarPosition);
        if (position > lastPosition) {
          bar.SetPos(position);
          lastPosition = position;
        }
        if (bar.PumpAndCheckCancel()) return orla::kRecognizeCancelled;
      }
      if (!IsDot(x, y)) continue;
      // Inside a field of the lattice walked no reference dot lies, as beside a row A the band
      // one pitch into the block is empty; nor inside any field a screen proved false before.
      if (step != orla::Point{} && HasDotsAround(x, y, step)) continue;
      if (fieldDots && fieldDots->Test(x, y)) continue;

      pointCount = 0;
      if (FindBlockRegionAt(x, y, blockPeriod.x, blockPeriod.y) != orla::kFrameFitted ||
          ReadBlockCellMap(cellMap, refA, refB) != 0) {
        continue;
      }
      const int r = ReadBlockNumber(cellMap, reading, nextReading);
      const int b = reading.blockNumber;
      const bool newEvidence = r == 0 && NoteReadings(b, reading, nextReading, cellMap.refA, cellMap.refB);
      int merged = 0;
      int mergedNext = 0;
      int committed = 0;
      int committedNext = 0;
      if (r == 0 && b >= 0 && b < kBlockSlots) {
        const BlockReading asRead = reading;
        merged = MergeBlockReading(reading, b);
        if (merged == 1) committed = CommitBlock(b, reading, 1);
        if (asRead.symbolCount == orla::kBlockSymbols && asRead.blockNumber == b) {
          blocksCollected += CommitBlock(b, asRead, 0);
        }
        if (nextReading.symbolCount > 0) {
          mergedNext = MergeBlockReading(nextReading, b + 1);
          if (mergedNext == 1) committedNext = CommitBlock(b + 1, nextReading, 1);
        }
        blocksCollected += committed + committedNext;
      }
      if (!lengthKnown && blockSlots[0].complete != 0) {
        expectedPayloadLength = orla::LittleEndian16(blockSlots[0].cell.data[0], blockSlots[0].cell.data[1]);
        lengthKnown = true;
        blocksExpected = (expectedPayloadLength + orla::kBlockPayloadBytes - 1) / orla::kBlockPayloadBytes;
      }
      EraseReferenceDots(cellMap);
      ErasePointTable();
      // Once a plain record is held the walk only reads: the record is made again at its end.
      if (plainRecordHeld) continue;

      // Whenever enough payload may be there: the slots as they stand, their votes, then
      // combinations of their committed readings.
      const auto assembled = [&] {
        const bool lastBlockNews =
            (merged == 1 && b == blocksExpected - 1) || (mergedNext == 1 && b + 1 == blocksExpected - 1);
        if (committed == 0 && committedNext == 0 && !lastBlockNews) return false;
        const int strictCount = lengthKnown ? CountDecodedBytes(1, expectedPayloadLength) : 0;
        bytesFound = CountCellBytes();
        if (strictCount == 0) return false;
        int m = slotsUsed;
        if (m >= kBlockSlots || m < 1) return false;
        BlockSlot& last = blockSlots[m - 1];
        if (last.complete == 0) {
          last.cell = last.votes[0];
          --m;
        }
        return AssemblePayload() == 0 || AssembleFromVotesThenHistories(*this, m) == 0;
      };
      if (assembled()) return orla::kRecognizeFound;
      // A plain payload decodes only from what the page vouches for, whatever the votes say.
      if (newEvidence && AssembleFromEvidence() == 0) return orla::kRecognizeFound;
    }
  }

  // After the walk, records are made. The readings are placed on the prints again, and a plain
  // record held on the way is made again from what they vouch for now that every block of the
  // page has been read.
  holdPlainRecords = false;
  prints.Settle();
  if (AssembleFromEvidence() == 0 || AssembleHeldRecord() == 0) return orla::kRecognizeFound;
  // When the committed blocks already reach the length, every assembly of them was tried on
  // the way; otherwise the votes of the blocks never committed get a try.
  if (!lengthKnown || CountDecodedBytes(1, expectedPayloadLength) == 1) return orla::kRecognizeNothingFound;
  if (CountDecodedBytes(0, expectedPayloadLength) == 0) return orla::kRecognizeNothingFound;
  return AssembleFromVotesThenHistories(*this, std::min(slotsUsed, static_cast<int>(kBlockSlots))) == 0
             ? orla::kRecognizeFound
             : orla::kRecognizeNothingFound;
}
