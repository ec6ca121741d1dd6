#pragma once
// The tracking-pattern recognizer. It holds the state of one page (and of one pass over it):
// the reference rows of the block being read, the block slots that collect the readings, and
// the payload being assembled. The stages of a pass work on it in turn.

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "block_cell_map.h"
#include "block_check.h"
#include "block_evidence.h"
#include "block_data.h"
#include "block_reading.h"
#include "get_position.h"
#include "page_prints.h"
#include "pixel_mask.h"
#include "progress_sink.h"

class CShadingReg : public CGetPosition {
 public:
  static constexpr int kBlockSlots = 100;
  static constexpr int kPayloadBytes = 700;
  static constexpr int kPayloadHeaderBytes = orla::kPayloadHeaderLength;
  using ReferenceRow = std::array<orla::Point, kRunLength>;

  CShadingReg();
  ~CShadingReg() override;

  // Turns an 8-bit grey page into a record appended to g_TrackingRecords: 0 found, 1 nothing
  // found, 7 cancelled. The caller's page is never changed.
  orla::RecognizeResult Recognize(CHalvoPic* pic, int singlePass) override;

  // Prepares the object for a page or a pass; the point table, the block period, the noise
  // size limit and the page fields stay as they are.
  void ResetPage();

  // Grey level below which a pixel of the current page counts as part of a dot.
  int ComputeThreshold() const;
  // Makes the current page black and white: 0 below `threshold`, 255 elsewhere.
  orla::RecognizeResult Binarize(int threshold, orla::ProgressSink* progress);
  // Turns the binarized current page into the dot map and learns the noise size limit.
  orla::RecognizeResult CollectComponents(orla::ProgressSink* progress);

  int FollowDotLine(int steps, std::span<orla::Point> positions, std::span<std::uint8_t> found, orla::Point start,
                    orla::Point direction, double step, double radius) const;
  int ReadReferenceCell(std::span<std::uint8_t> bits, const ReferenceRow& rowA, const ReferenceRow& rowB, int row,
                        double step);

  // The block frame through a dot and a neighbour, with the corner marker required.
  int FindFirstBlockRegion(int x, int y, int neighbourX, int neighbourY);
  // The block frame whose row A runs through (x, y) along the known block period.
  int FindBlockRegionAt(int x, int y, int directionX, int directionY);
  // From a traced row of 12 dots, the corner marker and the other row; fills tables A and B.
  int FitReferenceRows(const ReferenceRow& row, int side, int markerRequired, ReferenceRow& tableA,
                       ReferenceRow& tableB);

  // The block stages: the first block teaches the pitch, the resolution and the block period;
  // then every block is read, voted and committed until the payload assembles.
  orla::RecognizeResult FindFirstBlock(orla::ProgressSink* progress);
  orla::RecognizeResult CollectBlocks(orla::ProgressSink* progress);
  // Both block stages, and past a first block along which not one block could be collected
  // the next first block, a bounded number of times.
  orla::RecognizeResult SearchBlocks(orla::ProgressSink* progress);
  // Paints out every dot of the current page whose four neighbours one `step` away along and
  // across it are dots too: the inside of a field of dots on that lattice.
  void EraseLatticeField(orla::Point step);
  // One pitch along row A, as whole pixels.
  orla::Point LatticeStep() const;
  // Marks every dot of the current page that lies inside a field of dots (InsideDotField).
  void MarkFieldDots();

  // Reading the block whose frame is in `tableA` and `tableB`: 0 usable, 1 not.
  int ReadBlockCellMap(BlockCellMap& cellMap, const ReferenceRow& tableA, const ReferenceRow& tableB);
  int ReadBlockNumber(const BlockCellMap& cellMap, BlockReading& reading, BlockReading& nextReading);
  // Paints the block's reference rows out of the current page.
  int EraseReferenceDots(const BlockCellMap& cellMap);

  // The block slots: 1 when the reading added something to slot k's votes; 1 when something
  // was committed to slot b (mode 0: the reading itself, mode 1: combinations of the votes).
  int MergeBlockReading(BlockReading& reading, int k);
  int CommitBlock(int b, const BlockReading& reading, int mode);
  // 1 when `needed` payload bytes are ready (strict: committed blocks only); sets slotsUsed.
  int CountDecodedBytes(int strict, int needed);
  int CountCellBytes() const;
  // Joins the cells of the used slots, inflates the payload and appends the record: 0 when a
  // record was appended, 1 when not. A payload that is not a gzip stream has no check of its
  // own: it becomes a record only when every cell is the data one print vouches for, and while
  // plain records are held it is only noted as held.
  int AssemblePayload();

  // Notes the readings of block b as read (before any vote changes them), from the block whose
  // reference rows are `rowA` and `rowB`, as evidence for blocks b and b + 1, on the page and on
  // the print the block lies on: true when the data vouched for either is new or other than
  // before.
  bool NoteReadings(int b, const BlockReading& reading, const BlockReading& nextReading, const ReferenceRow& rowA,
                    const ReferenceRow& rowB);
  // Assembles the payload from the vouched data of every block it needs, as the whole page
  // vouches for it and as each print does, the slots' cells left as they were unless a record
  // was appended: 0 when it was, 1 when not.
  int AssembleFromEvidence();

  // The pixel the first block search walks from: the page's first in a pass, the one after
  // the first block before when the search goes on past that.
  orla::Point firstBlockFrom{};
  // The dots that lay inside a field of dots once a first block proved false, in the pass
  // copy: set aside as starts of the walks that follow.
  std::optional<orla::PixelMask> fieldDots;
  // How many readings the last block collection committed to the slots.
  std::int32_t blocksCollected = 0;

  ReferenceRow refA{};
  ReferenceRow refB{};
  std::int32_t slotsUsed = 0;
  std::int32_t expectedPayloadLength = 0;
  std::array<std::uint8_t, kPayloadBytes> payload{};
  std::array<BlockSlot, kBlockSlots> blockSlots{};
  std::array<std::uint8_t, kPayloadHeaderBytes> payloadHeader{};
  // The readings of each block number as read, over the whole page.
  std::array<orla::BlockEvidence, kBlockSlots> evidence{};
  // The same readings print by print: what a plain payload is assembled from.
  orla::PagePrints prints;
  // While the block collection walks the page, a plain record is held back: copies further
  // down the page may contest a block it was made from, or show that another print gave some
  // of its blocks, and nothing but the whole page tells. Held, the walk reads on; at its end
  // the record is made again from what each print then vouches for.
  bool holdPlainRecords = false;
  bool plainRecordHeld = false;
  // The data the first plain record held was made from, as its print vouched for it. More
  // readings of the same print, some misread, may leave a block short of the margin that vouches
  // for it without anything read against it: the record then stands on a print that shows one
  // print, on which each of its blocks' data still stands (BlockEvidence::Stands).
  std::array<BlockReading, kBlockSlots> heldCells{};
  std::int32_t heldCellsUsed = 0;
  // The print on which the held data stand for vouched data while the held record is made again.
  int heldDataStand = orla::kNoPrint;
  // How far each value of the block ReadBlockNumber read last can be trusted.
  orla::ValueTrust readTrust{};

 private:
  // The pass loop over copies of `pic`, once the page fields are set.
  orla::RecognizeResult RunPasses(const CHalvoPic& pic, int singlePass, orla::ProgressSink* progress);
  // Dots in the strip 0.5 to 1.5 pitches beside `row` on the side `normal` points to, counted
  // no further than one more than a block's band may hold.
  int CountStrip(const ReferenceRow& row, orla::Point normal) const;
  // Paints the dots of the point table out of the current page and empties the table.
  void ErasePointTable();
  // The first print that shows one print and vouches for the data every cell of the slots
  // below `used` holds; kNoPrint when none does.
  int VouchingPrint(int used) const;
  // Assembles from `vouched` (one block's data each) for the blocks block 0's length needs.
  int AssembleFrom(const std::array<const BlockReading*, kBlockSlots>& vouched);
  // Makes the plain record held during the walk again, from a print on which its data still
  // stand: 0 when it was appended, 1 when not.
  int AssembleHeldRecord();
};
