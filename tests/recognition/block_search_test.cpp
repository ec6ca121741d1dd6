// The two block stages on dot maps: the first block teaches the page's pitch, resolution and
// block period; the second reads the rest and assembles the record. Their progress and Cancel.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "bit_order.h"
#include "block_reading_expect.h"
#include "cell_map_damage.h"
#include "record_expect.h"
#include "resolution_estimate.h"
#include "scripted_progress.h"
#include "tracking_records.h"
#include "writer_dot_map.h"
#include "writer_options.h"

namespace {

using orla::pattern::Lattice;
using orla::test::ScriptedProgress;
using orla::test::WriterDotMap;

const orla::pattern::PatternRecord kShortRecord{"260102030405", "S1", "", "u", "j", ""};

orla::pattern::PatternOptions Options(int dpi, Lattice lattice = Lattice::Diagonal, int turns = 0) {
  return orla::test::WriterOptions(dpi, lattice, turns, orla::pattern::Compression::Plain);
}

class BlockSearch : public ::testing::Test {
 protected:
  void SetUp() override { ClearTrackingRecords(); }
  void TearDown() override { ClearTrackingRecords(); }
};

// Blocks painted in the order given and turned into a dot map by the first two stages.
class PaintedDotMap {
 public:
  PaintedDotMap(const std::vector<orla::pattern::EncodedBlock>& blocks, const orla::pattern::PageOptions& page) {
    const orla::pattern::PaintedPage painted = orla::pattern::PaintBlocks(blocks, page);
    error_ = painted.error;
    if (!error_.empty()) return;
    if (!orla::pattern::ToHalvoPic(painted.page, pic_)) {
      error_ = "no page";
      return;
    }
    reg.Use(pic_);
    if (reg.Binarize(128, nullptr) != orla::kRecognizeFound || reg.CollectComponents(nullptr) != orla::kRecognizeFound)
      error_ = "no dot map";
  }
  const std::string& error() const { return error_; }

  orla::test::StageRecognizer reg;

 private:
  CHalvoPic pic_;
  std::string error_;
};

TEST(ResolutionEstimate, NearAHundredSnapsToIt) {
  const struct {
    int estimate;
    int resolution;
    bool rounded;
  } cases[] = {{598, 600, true}, {615, 600, true}, {650, 650, false}, {119, 100, true},  {15, 15, false},
               {299, 300, true}, {300, 300, true}, {580, 600, true},  {579, 579, false}, {620, 620, false},
               {80, 100, true},  {79, 79, false},  {100, 100, true},  {1219, 1200, true}};
  for (const auto& c : cases) {
    const orla::ResolutionEstimate e = orla::RoundResolution(c.estimate);
    EXPECT_EQ(e.resolution, c.resolution) << c.estimate;
    EXPECT_EQ(e.rounded, c.rounded) << c.estimate;
  }
}

TEST_F(BlockSearch, TheFirstBlockTeachesPitchResolutionAndPeriod) {
  const struct {
    orla::pattern::PatternOptions options;
    orla::Point period;  // A[11] - A[0] of the first block
  } cases[] = {
      {Options(600), {66, 66}},
      {Options(300), {33, 33}},
      {Options(600, Lattice::Diagonal, 1), {-66, 66}},
      {Options(300, Lattice::Diagonal, 2), {-33, -33}},
  };
  for (const auto& c : cases) {
    WriterDotMap map(c.options, kShortRecord);
    ASSERT_TRUE(map.ok());
    const std::string what =
        std::to_string(c.options.page.dpi) + " turn " + std::to_string(c.options.page.quarterTurns);
    // The page's own resolution plays no part: the dots tell it.
    map.reg.resolution = 0;
    const int before = orla::test::DarkPixels(map.pic());
    ASSERT_EQ(map.reg.FindFirstBlock(nullptr), orla::kRecognizeFound) << what;
    EXPECT_EQ(map.reg.resolution, c.options.page.dpi) << what;
    EXPECT_EQ(map.reg.dotPitch, c.options.page.dpi * (6.0 * std::sqrt(2.0)) / 600.0) << what;
    EXPECT_EQ(map.reg.blockPeriod, c.period) << what;
    EXPECT_EQ(map.reg.pointCount, 0) << what;
    EXPECT_LT(orla::test::DarkPixels(map.pic()), before - 24) << what << ": the block is painted out";
    // Its reading is voted into its slot and, being whole, committed.
    int voted = 0;
    for (const BlockSlot& slot : map.reg.blockSlots) voted += slot.voteCount > 0;
    EXPECT_GE(voted, 1) << what;
  }

  // On an axis-aligned page the measured pitch rounds to the resolution's.
  WriterDotMap axis(Options(600, Lattice::Axis), kShortRecord);
  ASSERT_TRUE(axis.ok());
  ASSERT_EQ(axis.reg.FindFirstBlock(nullptr), orla::kRecognizeFound);
  EXPECT_EQ(axis.reg.resolution, 600);
  EXPECT_EQ(axis.reg.dotPitch, 6.0 * std::sqrt(2.0));
}

TEST_F(BlockSearch, TheFirstBlockVotesWhatRunsOverIntoTheNextBlock) {
  // A lone block 3 whose payload starts at symbol 10: its last ten symbols belong to block 4.
  const std::vector<std::uint8_t> payload =
      orla::pattern::BuildPayload(kShortRecord, {.compression = orla::pattern::Compression::Plain});
  orla::pattern::BlockPlan plan;
  plan.blockNumber = 3;
  plan.firstSymbol = 10;
  const orla::pattern::EncodedBlock block = orla::pattern::EncodeBlock(payload, plan);
  PaintedDotMap map({block}, Options(600).page);
  ASSERT_EQ(map.error(), "");
  orla::test::StageRecognizer& reg = map.reg;

  ASSERT_EQ(reg.FindFirstBlock(nullptr), orla::kRecognizeFound);
  const auto [reading, next] = orla::test::ExpectedReadings(block);
  EXPECT_EQ(reg.blockSlots[3].voteCount, 1);
  orla::test::ExpectSameReading(reg.blockSlots[3].votes[0], reading, "block 3");
  EXPECT_EQ(reg.blockSlots[4].voteCount, 1);
  orla::test::ExpectSameReading(reg.blockSlots[4].votes[0], next, "block 4, from the overflow");
}

TEST_F(BlockSearch, DotsReadForAFailedCandidateStayOnThePage) {
  // Two blocks one above the other; the upper one's cell map is broken beyond repair, so its
  // frame fits but it cannot be read, and the search goes on to the lower one.
  orla::pattern::PatternOptions options = Options(600);
  options.page.columns = 1;
  options.plan.firstCellMask = options.plan.cellMask = 0x7FFF;  // the all-cells flag is 0
  const orla::pattern::EncodedPattern encoded = orla::pattern::EncodePattern(kShortRecord, options);
  ASSERT_TRUE(encoded.error.empty());
  options.page.damage.edits =
      orla::test::CellMapEdits(0, encoded.blocks[0], orla::test::SpoiledCellMap(encoded.blocks[0], 0));
  WriterDotMap map(options, kShortRecord);
  ASSERT_TRUE(map.ok());
  std::vector<orla::pattern::LatticePoint> upperDots;
  for (int bit = 0; bit < 48; ++bit) {
    if (map.HasDot(0, orla::pattern::CellMapBitPosition(bit)))
      upperDots.push_back(orla::pattern::CellMapBitPosition(bit));
  }
  ASSERT_FALSE(upperDots.empty());

  ASSERT_EQ(map.reg.FindFirstBlock(nullptr), orla::kRecognizeFound);
  // The lower block was read and painted out; the upper one keeps every dot.
  EXPECT_FALSE(map.HasDot(1, orla::pattern::ReferenceAPosition(0)));
  EXPECT_TRUE(map.HasDot(0, orla::pattern::ReferenceAPosition(0)));
  for (const auto& at : upperDots) EXPECT_TRUE(map.HasDot(0, at)) << "cell-map dot at " << at.u << ", " << at.w;
}

TEST_F(BlockSearch, CollectBlocksAssemblesTheRecordFromEveryPlacement) {
  for (const bool shuffled : {false, true}) {
    orla::pattern::PatternOptions options = Options(300);
    options.copies = 2;
    options.shuffle = shuffled;
    WriterDotMap map(options, kShortRecord);
    ASSERT_TRUE(map.ok());
    ClearTrackingRecords();
    ASSERT_EQ(map.reg.FindFirstBlock(nullptr), orla::kRecognizeFound);
    ASSERT_EQ(map.reg.CollectBlocks(nullptr), orla::kRecognizeFound);
    ASSERT_EQ(g_TrackingRecords.size(), 1u);
    orla::test::ExpectRecord(g_TrackingRecords[0], kShortRecord, shuffled ? "shuffled" : "in order");
    EXPECT_EQ(map.reg.expectedPayloadLength, static_cast<int>(map.made().payload.size()));
  }
}

// Block 0 misread in symbols 5 to 10, which carry its header length (bytes 2 and 3): misread
// `k` gives symbols 6 to 9 the wrong values v ^ (k + 1); symbols 5 and 10 take three wrong
// values in turn and keep the first from misread 3 on. Every value that is not the true one
// breaks the header length, so no mix of them but the true reading can pass for block 0.
orla::pattern::EncodedBlock MisreadBlockZero(const std::vector<std::uint8_t>& payload, int k) {
  std::vector<std::uint8_t> symbols = orla::pattern::PayloadSymbolStream(payload);
  symbols.resize(16);
  const int turn = k < 3 ? k : 0;
  symbols[5] ^= static_cast<std::uint8_t>(1 + turn);        // its two bits in byte 2
  symbols[10] ^= static_cast<std::uint8_t>(2 * (1 + turn));  // its two bits in byte 3
  for (std::size_t s = 6; s <= 9; ++s) symbols[s] ^= static_cast<std::uint8_t>(k + 1);
  const std::vector<std::uint8_t> bytes = orla::pattern::BitsToBytes(orla::pattern::SymbolsToBits(symbols));
  std::vector<std::uint8_t> misread = payload;
  std::copy(bytes.begin(), bytes.begin() + 6, misread.begin());
  orla::pattern::BlockPlan plan;
  plan.checkByteOverride = orla::pattern::CheckByte(orla::pattern::BlockBytes(payload, 0));
  return orla::pattern::EncodeBlock(misread, plan);
}

TEST_F(BlockSearch, AReadingTheVoteSearchCannotReachIsCommittedAsRead) {
  // Seven misreadings of block 0, then the true one, then the other blocks, top to bottom.
  // When the true reading comes, its values are the 8th of symbols 6 to 9 and the 4th of
  // symbols 5 and 10: their combination has digits of 7, and the 38416 combinations whose
  // digits are all smaller come first, far more than the 10001 the vote search tries. Only
  // the reading itself, whole and valid, can make block 0 complete and tell the payload length.
  // A gzip payload: a plain one would also need block 0 vouched for, and eight clean readings
  // that disagree vouch for nothing.
  const std::vector<std::uint8_t> payload = orla::pattern::BuildPayload(kShortRecord);
  std::vector<orla::pattern::EncodedBlock> blocks;
  for (int k = 0; k < 7; ++k) blocks.push_back(MisreadBlockZero(payload, k));
  for (const orla::pattern::BlockPlan& plan : orla::pattern::PlanBlocks(payload))
    blocks.push_back(orla::pattern::EncodeBlock(payload, plan));

  orla::test::StageRecognizer votesOnly;
  for (std::size_t i = 0; i < 8; ++i) {
    BlockReading r = orla::test::ExpectedReadings(blocks[i]).first;
    if (votesOnly.MergeBlockReading(r, 0) == 1) votesOnly.CommitBlock(0, r, 1);
  }
  ASSERT_EQ(votesOnly.blockSlots[0].voteCount, 8);
  ASSERT_EQ(votesOnly.blockSlots[0].complete, 0) << "the vote search alone must not reach the true reading";

  orla::pattern::PageOptions page = Options(300).page;
  page.columns = 1;
  PaintedDotMap map(blocks, page);
  ASSERT_EQ(map.error(), "");
  ASSERT_EQ(map.reg.FindFirstBlock(nullptr), orla::kRecognizeFound);
  EXPECT_EQ(map.reg.CollectBlocks(nullptr), orla::kRecognizeFound);
  ASSERT_EQ(g_TrackingRecords.size(), 1u);
  orla::test::ExpectRecord(g_TrackingRecords[0], kShortRecord);
  EXPECT_EQ(map.reg.expectedPayloadLength, static_cast<int>(payload.size()));
  orla::test::ExpectSameReading(map.reg.blockSlots[0].history[0], orla::test::ExpectedReadings(blocks[7]).first,
                                "block 0 as read");
}

TEST_F(BlockSearch, CollectingPaintsOutEveryBlockItReadsAndTheBytesFoundDriveTheBar) {
  // A record the text rules refuse: every block is read and committed, no assembly gives a
  // record, and the walk goes over the whole page.
  const orla::pattern::PatternRecord refused{"261210090745", "LM402117830", "", "", "", ""};
  WriterDotMap map(Options(300), refused);
  ASSERT_TRUE(map.ok());
  ASSERT_EQ(map.reg.FindFirstBlock(nullptr), orla::kRecognizeFound);
  ScriptedProgress progress(0, 100);
  EXPECT_EQ(map.reg.CollectBlocks(&progress), orla::kRecognizeNothingFound);
  EXPECT_TRUE(g_TrackingRecords.empty());

  const std::size_t placements = map.made().placements.size();
  ASSERT_GT(placements, 4u);
  for (std::size_t p = 0; p < placements; ++p) {
    const int placement = static_cast<int>(p);
    const std::string what = "placement " + std::to_string(p);
    for (int k = 0; k < 12; ++k) {
      EXPECT_FALSE(map.HasDot(placement, orla::pattern::ReferenceAPosition(k))) << what << ", A[" << k << "]";
      EXPECT_FALSE(map.HasDot(placement, orla::pattern::ReferenceBPosition(k))) << what << ", B[" << k << "]";
    }
    for (int bit = 0; bit < 48; ++bit) {
      EXPECT_FALSE(map.HasDot(placement, orla::pattern::CellMapBitPosition(bit))) << what << ", cell-map bit " << bit;
    }
    for (const orla::pattern::LatticePoint& at : orla::pattern::DataBitPositions(orla::pattern::kAllCells)) {
      EXPECT_FALSE(map.HasDot(placement, at)) << what << ", data position " << at.u << ", " << at.w;
    }
  }

  // Every block was complete long before the pixels ran out: the bytes found, all the payload
  // length asks for, held the bar at 95 while the pixels' share stayed below 72.
  ASSERT_FALSE(progress.positions.empty());
  EXPECT_EQ(progress.positions.back(), 95);
  EXPECT_EQ(*std::max_element(progress.positions.begin(), progress.positions.end()), 95);
}

TEST_F(BlockSearch, ABlankPageMovesTheBarAcrossItsShare) {
  CHalvoPic pic;
  orla::test::Blank(pic, 100, 50);
  orla::test::StageRecognizer reg;
  reg.Use(pic);
  ScriptedProgress first(0, 100);
  EXPECT_EQ(reg.FindFirstBlock(&first), orla::kRecognizeNothingFound);
  EXPECT_EQ(first.pumps, 5000);
  ASSERT_FALSE(first.positions.empty());
  EXPECT_EQ(first.positions.front(), 1);
  EXPECT_EQ(first.positions.back(), 71) << "one below start + share";
  EXPECT_TRUE(std::is_sorted(first.positions.begin(), first.positions.end()));

  // Collecting from 50 with the pass ending at 100: a share of 36, the bar from 50 to 86.
  ScriptedProgress collect(50, 100);
  EXPECT_EQ(reg.CollectBlocks(&collect), orla::kRecognizeNothingFound);
  ASSERT_FALSE(collect.positions.empty());
  EXPECT_EQ(collect.positions.front(), 50);
  EXPECT_EQ(collect.positions.back(), 86);
  EXPECT_EQ(collect.positions.size(), 37u);

  // Already at the pass end: nothing to share, and never past 99.
  ScriptedProgress atEnd(99, 99);
  EXPECT_EQ(reg.FindFirstBlock(&atEnd), orla::kRecognizeNothingFound);
  EXPECT_TRUE(atEnd.positions.empty());
  ScriptedProgress pastEnd(100, 100);
  EXPECT_EQ(reg.CollectBlocks(&pastEnd), orla::kRecognizeNothingFound);
  for (int p : pastEnd.positions) EXPECT_LE(p, 99);
}

// A window due at every pixel stops the walk at every pixel, as a walk without the skip over
// white runs does; one due every k-th pixel must see the same walk: the same record, and a visit
// at exactly every k-th of the pixels walked up to the pixel at which the record was made.
TEST_F(BlockSearch, TheCollectionPassesOverWhiteRunsWithoutMovingAVisit) {
  orla::pattern::PatternOptions options = Options(300);
  options.copies = 3;
  options.shuffle = true;
  const auto collect = [&](ScriptedProgress* progress) {
    ClearTrackingRecords();
    WriterDotMap map(options, kShortRecord);
    EXPECT_TRUE(map.ok());
    EXPECT_EQ(map.reg.FindFirstBlock(nullptr), orla::kRecognizeFound);
    EXPECT_EQ(map.reg.CollectBlocks(progress), orla::kRecognizeFound);
    EXPECT_EQ(g_TrackingRecords.size(), 1u);
    if (!g_TrackingRecords.empty()) orla::test::ExpectRecord(g_TrackingRecords[0], kShortRecord);
  };
  ScriptedProgress everyPixel(0, 100);
  collect(&everyPixel);
  const int walked = everyPixel.pumps;
  ASSERT_GT(walked, 1000);
  collect(nullptr);
  for (const int every : {2, 7, 4096}) {
    ScriptedProgress sparse(0, 100);
    sparse.pixelsPerVisit = every;
    collect(&sparse);
    EXPECT_EQ(sparse.pumps, (walked - 1) / every + 1) << every;
    EXPECT_TRUE(std::is_sorted(sparse.positions.begin(), sparse.positions.end())) << every;
  }
}

TEST_F(BlockSearch, CancelEndsAStageAtOnceAndAClosedWindowIsLeftAlone) {
  WriterDotMap map(Options(300), kShortRecord);
  ASSERT_TRUE(map.ok());
  ScriptedProgress cancelFirst(0, 100);
  cancelFirst.cancelAtPump = 1000;
  EXPECT_EQ(map.reg.FindFirstBlock(&cancelFirst), orla::kRecognizeCancelled);
  EXPECT_EQ(cancelFirst.pumps, 1000);

  ASSERT_EQ(map.reg.FindFirstBlock(nullptr), orla::kRecognizeFound);
  ScriptedProgress cancelCollect(40, 100);
  cancelCollect.cancelAtPump = 3;
  EXPECT_EQ(map.reg.CollectBlocks(&cancelCollect), orla::kRecognizeCancelled);
  EXPECT_EQ(cancelCollect.pumps, 3);
  EXPECT_TRUE(g_TrackingRecords.empty());

  // A window closed in the middle is never asked again, and the stage runs to its end.
  ScriptedProgress closing(40, 100);
  closing.closeAtPump = 10;
  closing.cancelAtPump = 11;
  EXPECT_EQ(map.reg.CollectBlocks(&closing), orla::kRecognizeFound);
  EXPECT_EQ(closing.pumps, 10);
  EXPECT_EQ(g_TrackingRecords.size(), 1u);
}

}  // namespace
