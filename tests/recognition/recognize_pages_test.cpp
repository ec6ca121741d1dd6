// End to end: records laid out by the pattern writer, recognized from the grey page and
// compared field by field with the record written; damage the codes and votes must survive,
// and damage they must refuse without ever giving a wrong record.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "block_layout.h"
#include "pattern_writer.h"
#include "record_expect.h"
#include "rs_encoder.h"
#include "scripted_progress.h"
#include "shading_reg.h"
#include "tracking_records.h"
#include "writer_options.h"

namespace {

using orla::pattern::Compression;
using orla::pattern::Lattice;
using orla::pattern::PatternOptions;
using orla::pattern::PatternRecord;

const PatternRecord kDefault{};
const PatternRecord kShort{"260102030405", "", "", "", "", ""};
const PatternRecord kFull{"991231235959",
                          "ABCDEFGHIJ",
                          "FFFFFFFFFFFF",
                          "twenty-characters-ok",
                          "a job name of exactly sixty-four characters, padded out to fit..",
                          "thirty-two characters of descr."};

PatternOptions Options(int dpi, Lattice lattice = Lattice::Diagonal, int turns = 0,
                       Compression compression = Compression::Gzip) {
  return orla::test::WriterOptions(dpi, lattice, turns, compression);
}

using orla::test::Describe;

struct Outcome {
  int result = -1;
  int passEnd = 0;  // 33, 66 or 100: the pass that ended the run
  std::vector<TrackingRecord> records;
};

Outcome Recognize(const orla::pattern::GreyPage& page) {
  Outcome outcome;
  CHalvoPic pic;
  if (!orla::pattern::ToHalvoPic(page, pic)) return outcome;
  orla::test::ScriptedProgress progress(0, 100);
  pic.progress = &progress;
  ClearTrackingRecords();
  CShadingReg reg;
  outcome.result = reg.Recognize(&pic, 0);
  outcome.passEnd = progress.PassEnd();
  outcome.records = g_TrackingRecords;
  ClearTrackingRecords();
  return outcome;
}

Outcome Recognize(const PatternRecord& record, const PatternOptions& options) {
  const orla::pattern::PatternPage made = orla::pattern::MakePatternPage(record, options);
  EXPECT_TRUE(made.ok()) << made.error;
  return made.ok() ? Recognize(made.page) : Outcome{};
}

void ExpectDecoded(const Outcome& outcome, const PatternRecord& record, const std::string& what) {
  ASSERT_EQ(outcome.result, orla::kRecognizeFound) << what;
  ASSERT_EQ(outcome.records.size(), 1u) << what;
  orla::test::ExpectRecord(outcome.records[0], record, what);
}

// Either nothing, or exactly the record written: never a wrong one.
void ExpectHonest(const Outcome& outcome, const PatternRecord& record, const std::string& what) {
  if (outcome.result == orla::kRecognizeFound) {
    ASSERT_EQ(outcome.records.size(), 1u) << what;
    EXPECT_TRUE(orla::test::SameRecord(outcome.records[0], record)) << what << ": a wrong record";
  } else {
    EXPECT_EQ(outcome.result, orla::kRecognizeNothingFound) << what;
    EXPECT_TRUE(outcome.records.empty()) << what;
  }
}

TEST(RecognizePages, EveryLayoutResolutionAndPayloadForm) {
  const struct {
    PatternOptions options;
    const PatternRecord* record;
  } cases[] = {
      {Options(600), &kDefault},
      {Options(300), &kDefault},
      {Options(600, Lattice::Diagonal, 1, Compression::Plain), &kFull},
      {Options(600, Lattice::Diagonal, 2), &kShort},
      {Options(300, Lattice::Diagonal, 3, Compression::Plain), &kDefault},
      {Options(600, Lattice::Axis, 0, Compression::Plain), &kShort},
      {Options(600, Lattice::Axis, 1), &kFull},
      {Options(300, Lattice::Axis, 2), &kFull},
      {Options(300, Lattice::Axis, 3, Compression::Plain), &kFull},
      {Options(300, Lattice::Diagonal, 1, Compression::Plain), &kShort},
  };
  for (const auto& c : cases) ExpectDecoded(Recognize(*c.record, c.options), *c.record, Describe(c.options));
}

TEST(RecognizePages, RepeatedBlocksInAnyOrderPartialCellsAndAnOffsetPage) {
  PatternOptions repeated = Options(300);
  repeated.copies = 3;
  repeated.shuffle = true;
  repeated.page.seed = 7;
  ExpectDecoded(Recognize(kFull, repeated), kFull, "three copies, shuffled");

  PatternOptions partial = Options(600, Lattice::Diagonal, 1);
  partial.plan.firstCellMask = 0x0FFF;  // 12 cells in the first block: every later one starts at X > 0
  partial.plan.cellMask = 0x7FFE;       // 14 cells in the others
  partial.copies = 2;
  partial.shuffle = true;
  ExpectDecoded(Recognize(kDefault, partial), kDefault, "partial cells, X > 0, shuffled copies");

  PatternOptions fewCells = Options(300, Lattice::Axis);
  fewCells.plan.firstCellMask = fewCells.plan.cellMask = 0x00FF;  // 8 cells: 4 payload symbols a block
  ExpectDecoded(Recognize(kShort, fewCells), kShort, "8 cells a block");

  PatternOptions offset = Options(600);
  offset.page.left = 333;
  offset.page.top = 71;
  offset.page.columns = 2;
  offset.page.width = 1500;
  offset.page.height = 2300;
  offset.page.paperGrey = 235;
  offset.page.dotGrey = 60;
  ExpectDecoded(Recognize(kShort, offset), kShort, "off the corner, in two columns, on grey paper");
}

// Dots dropped from every block, as many in each codeword as it corrects: t = half its check
// symbols, each in a different symbol, from the cell map and from every data row.
std::vector<orla::pattern::DotEdit> CorrectableDrops(const std::vector<orla::pattern::EncodedBlock>& blocks) {
  std::vector<orla::pattern::DotEdit> edits;
  for (std::size_t p = 0; p < blocks.size(); ++p) {
    const orla::pattern::EncodedBlock& block = blocks[p];
    std::size_t start = 0;
    for (int n : orla::pattern::kCellMapCodewordLengths) {
      int left = (n - orla::pattern::DataSymbolsOf(n)) / 2;
      for (std::size_t s = start; s < start + static_cast<std::size_t>(n) && left > 0; ++s) {
        for (int j = 0; j < 3; ++j) {
          if (((block.cellMapSymbols[s] >> (2 - j)) & 1) == 0) continue;  // a 1 bit is a dot here
          edits.push_back({static_cast<int>(p), orla::pattern::CellMapBitPosition(static_cast<int>(3 * s) + j), false});
          --left;
          break;
        }
      }
      start += static_cast<std::size_t>(n);
    }
    const std::vector<orla::pattern::LatticePoint> bits = orla::pattern::DataBitPositions(block.plan.cellMask);
    std::size_t at = 0;
    for (int n : block.rowLengths) {
      int left = (n - orla::pattern::DataSymbolsOf(n)) / 2;
      for (std::size_t s = at; s < at + static_cast<std::size_t>(n) && left > 0; ++s) {
        for (int j = 0; j < 3; ++j) {
          if (((block.dataSymbols[s] >> (2 - j)) & 1) != 0) continue;  // a 0 bit is a dot here
          edits.push_back({static_cast<int>(p), bits[3 * s + static_cast<std::size_t>(j)], false});
          --left;
          break;
        }
      }
      at += static_cast<std::size_t>(n);
    }
  }
  return edits;
}

TEST(RecognizePages, DroppedDotsUpToWhatTheCodesCorrect) {
  for (PatternOptions options : {Options(600), Options(300, Lattice::Axis, 1)}) {
    const orla::pattern::EncodedPattern encoded = orla::pattern::EncodePattern(kDefault, options);
    ASSERT_TRUE(encoded.error.empty());
    options.page.damage.edits = CorrectableDrops(encoded.blocks);
    ASSERT_GT(options.page.damage.edits.size(), 15 * encoded.blocks.size());
    ExpectDecoded(Recognize(kDefault, options), kDefault,
                  Describe(options) + ", one copy, every codeword at its limit");
  }
}

TEST(RecognizePages, DamageTheVotesAndPassesSurvive) {
  const struct {
    const char* name;
    PatternOptions options;
    int passEnd;  // the pass that must find it
  } cases[] = {
      {"5% of the dots dropped, three copies",
       [] {
         auto o = Options(600);
         o.copies = 3;
         o.shuffle = true;
         o.page.damage.dropDot = 0.05;
         return o;
       }(),
       33},
      {"3% dropped at 300 dpi, three copies",
       [] {
         auto o = Options(300, Lattice::Axis);
         o.copies = 3;
         o.page.damage.dropDot = 0.03;
         return o;
       }(),
       33},
      {"extra dots, two copies",
       [] {
         auto o = Options(600);
         o.copies = 2;
         o.page.damage.extraDot = 0.02;
         return o;
       }(),
       33},
      {"specks over the page, two copies",
       [] {
         auto o = Options(600);
         o.copies = 2;
         o.page.damage.specks = 300;
         return o;
       }(),
       33},
      {"grey noise",
       [] {
         auto o = Options(600);
         o.page.damage.greyNoise = 40;
         return o;
       }(),
       33},
      {"salt and pepper",
       [] {
         auto o = Options(300);
         o.copies = 2;
         o.page.damage.saltPepper = 0.002;
         return o;
       }(),
       33},
      {"a light blur",
       [] {
         auto o = Options(600);
         o.page.damage.blurPasses = 1;
         return o;
       }(),
       33},
      {"dots of grey 140: the second pass",
       [] {
         auto o = Options(600);
         o.page.dotGrey = 140;
         return o;
       }(),
       66},
      {"dots of grey 225: the third pass",
       [] {
         auto o = Options(300);
         o.page.dotGrey = 225;
         return o;
       }(),
       100},
  };
  for (const auto& c : cases) {
    for (const std::uint64_t seed : {1u, 2u}) {
      PatternOptions options = c.options;
      options.page.seed = seed;
      const std::string what = std::string(c.name) + ", " + Describe(options);
      const Outcome outcome = Recognize(kDefault, options);
      ExpectDecoded(outcome, kDefault, what);
      EXPECT_EQ(outcome.passEnd, c.passEnd) << what;
    }
  }
}

TEST(RecognizePages, BlocksThatNeverCommitOrCommitOtherDataStillGiveTheRecord) {
  // One block under another, so the walk meets them in the order given; gzip, so no assembly
  // with a wrong block can pass for the record.
  PatternOptions options = Options(300);
  options.page.columns = 1;
  const orla::pattern::EncodedPattern encoded = orla::pattern::EncodePattern(kDefault, options);
  ASSERT_TRUE(encoded.error.empty());
  using Blocks = std::vector<orla::pattern::EncodedBlock>;
  const Blocks& blocks = encoded.blocks;
  const std::size_t last = blocks.size() - 1;
  const std::size_t middle = blocks.size() / 2;
  ASSERT_GE(6 * middle, 24u + 10u) << "the changed block must lie in the deflate data";

  // Printed with a check byte its data does not give: voted in every copy, never committed.
  const auto uncommitted = [&](std::size_t b) {
    orla::pattern::BlockPlan plan = blocks[b].plan;
    plan.checkByteOverride = blocks[b].checkByte ^ 0x5A;
    return orla::pattern::EncodeBlock(encoded.payload, plan);
  };
  // Block b with one byte of other data and the check byte of that data: it commits.
  const auto decoy = [&](std::size_t b) {
    std::vector<std::uint8_t> other = encoded.payload;
    other[6 * b + 1] ^= 0x24;
    return orla::pattern::EncodeBlock(other, blocks[b].plan);
  };
  const auto replaced = [&](std::size_t b, const orla::pattern::EncodedBlock& with) {
    Blocks changed = blocks;
    changed[b] = with;
    return changed;
  };
  // Block 0 with its check byte right but a total length no page's blocks can carry, as a
  // chance match of a damaged block 0 gives. Read right after the true one, it is the last
  // combination committed when the length is learned, and must not be the length learned.
  const auto tooLong = [&](int length) {
    std::vector<std::uint8_t> other = encoded.payload;
    other[0] = static_cast<std::uint8_t>(length & 0xFF);
    other[1] = static_cast<std::uint8_t>(length >> 8);
    Blocks changed = blocks;
    changed.insert(changed.begin() + 1, orla::pattern::EncodeBlock(other, blocks[0].plan));
    return changed;
  };
  const auto withDecoys = [&](std::size_t b) {
    Blocks changed = blocks;
    changed.insert(changed.begin() + static_cast<std::ptrdiff_t>(b) + 1, 2, decoy(b));
    return changed;
  };

  const struct {
    const char* name;
    Blocks blocks;
  } cases[] = {
      {"the last block never commits and is read last: its votes end the payload", replaced(last, uncommitted(last))},
      {"a middle block never commits: the votes are tried after the walk", replaced(middle, uncommitted(middle))},
      {"a block 0 announcing 6261 bytes read after the true one", tooLong(6261)},
      {"a block 0 announcing 601 bytes read after the true one", tooLong(601)},
      {"a decoy read twice after the true block: the true one is found among the committed readings",
       withDecoys(middle)},
      {"a block never commits and a decoy follows another: after the walk, the votes, then the committed "
       "readings",
       [&] {
         Blocks changed = withDecoys(middle);
         changed[middle - 1] = uncommitted(middle - 1);
         return changed;
       }()},
  };
  for (const auto& c : cases) {
    const orla::pattern::PaintedPage painted = orla::pattern::PaintBlocks(c.blocks, options.page);
    ASSERT_TRUE(painted.error.empty()) << c.name;
    ExpectDecoded(Recognize(painted.page), kDefault, c.name);
  }
}

TEST(RecognizePages, DamageBeyondRepairIsRefusedHonestly) {
  // Dots lost and added beyond what some blocks can correct: a single copy, and three copies
  // whose votes and combinations are searched. Nothing, or the record itself, never another
  // (the gzip stream's check guards what the blocks' check bytes let through).
  int refused = 0;
  for (const std::uint64_t seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
    PatternOptions single = Options(300);
    single.page.damage.dropDot = 0.03;
    single.page.seed = seed;
    const Outcome outcome = Recognize(kDefault, single);
    ExpectHonest(outcome, kDefault, "3% dropped, " + Describe(single));
    refused += outcome.result == orla::kRecognizeNothingFound;

    PatternOptions copies = Options(300);
    copies.copies = 3;
    copies.page.damage.dropDot = 0.07;
    copies.page.damage.extraDot = 0.01;
    copies.page.seed = seed;
    ExpectHonest(Recognize(kDefault, copies), kDefault, "7% dropped, 1% added, three copies, " + Describe(copies));
  }
  EXPECT_GT(refused, 0);
  PatternOptions heavy = Options(600);
  heavy.page.damage.dropDot = 0.3;
  const Outcome lost = Recognize(kDefault, heavy);
  EXPECT_EQ(lost.result, orla::kRecognizeNothingFound);
  EXPECT_EQ(lost.passEnd, 100);
  EXPECT_TRUE(lost.records.empty());

  // Every block intact, but a block missing from the page.
  PatternOptions options = Options(300);
  orla::pattern::EncodedPattern encoded = orla::pattern::EncodePattern(kDefault, options);
  encoded.blocks.erase(encoded.blocks.begin() + 3);
  const orla::pattern::PaintedPage missing = orla::pattern::PaintBlocks(encoded.blocks, options.page);
  ASSERT_TRUE(missing.error.empty());
  EXPECT_EQ(Recognize(missing.page).result, orla::kRecognizeNothingFound);

  // Blocks that read well, carrying a record the rules refuse.
  const PatternRecord longSerial{"261210090745", "LM402117830", "", "", "", ""};
  const PatternRecord shortTime{"26121009074", "LM40211783", "", "", "", ""};
  EXPECT_EQ(Recognize(longSerial, Options(300)).result, orla::kRecognizeNothingFound);
  EXPECT_EQ(Recognize(shortTime, Options(300)).result, orla::kRecognizeNothingFound);

  // A payload header that claims more than the blocks carry.
  PatternOptions lying = Options(300);
  lying.payload.totalLengthOverride = 300;
  EXPECT_EQ(Recognize(kDefault, lying).result, orla::kRecognizeNothingFound);
}

}  // namespace
