// Telling the prints of a page apart by the lattice their blocks lie on, with block frames laid
// out by hand: one print's blocks on its grid of tiles are one print, a second print a
// fraction of a pitch off or turned is a print of its own, and two prints on one lattice show
// themselves by their grids of tiles, or by the blocks they read differently.

#include "page_prints.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "block_data.h"
#include "block_reading_expect.h"
#include "codeword.h"
#include "lattice_frames.h"
#include "payload.h"

namespace {

using orla::test::Frame;
using orla::test::TestLattice;

// Block numbers 1 to 8: block 0 also announces the payload, which these blocks do not.
constexpr int kNumbers = 8;
int NumberOf(int k) { return 1 + k % kNumbers; }

// Block b of a record whose bytes are all `seed` + b: a block as a print of that record carries it.
BlockReading BlockOf(int seed, int b) {
  std::array<std::uint8_t, 6> bytes{};
  for (std::size_t k = 0; k < bytes.size(); ++k) bytes[k] = static_cast<std::uint8_t>(seed + b + 17 * k);
  return orla::test::FullReading(b, bytes, orla::pattern::CheckByte(bytes));
}

orla::ValueTrust CleanTrust() {
  orla::ValueTrust trust;
  trust.header = orla::CodewordTrust(7, 0);
  trust.symbols.fill(static_cast<std::uint8_t>(orla::CodewordTrust(7, 0)));
  return trust;
}

void NoteBlock(orla::PagePrints& prints, const Frame& frame, const BlockReading& reading) {
  prints.Note(frame.rowA, frame.rowB, reading.blockNumber, reading, BlockReading{}, CleanTrust());
}

// The tile of the k-th block of a print: four by four tiles, 14 pitches apart by default,
// each block number at two of them.
std::pair<double, double> TileOf(int k, double spacing = 14) { return {spacing * (k % 4), spacing * (k / 4)}; }

// The lattice turned about its point (u, w).
TestLattice Turned(TestLattice lattice, double degrees, double u = 0, double w = 0) {
  const double a = degrees * std::numbers::pi / 180;
  const auto turn = [&](double x, double y) {
    return std::pair{x * std::cos(a) - y * std::sin(a), x * std::sin(a) + y * std::cos(a)};
  };
  const double cx = lattice.originX + u * lattice.ux - w * lattice.uy;
  const double cy = lattice.originY + u * lattice.uy + w * lattice.ux;
  const auto [ox, oy] = turn(lattice.originX - cx, lattice.originY - cy);
  const auto [ux, uy] = turn(lattice.ux, lattice.uy);
  lattice.originX = cx + ox;
  lattice.originY = cy + oy;
  lattice.ux = ux;
  lattice.uy = uy;
  return lattice;
}

// The lattice moved by (u, w) pitches.
TestLattice Moved(TestLattice lattice, double u, double w) {
  lattice.originX += u * lattice.ux - w * lattice.uy;
  lattice.originY += u * lattice.uy + w * lattice.ux;
  return lattice;
}

// Which record a print vouches for, block by block: 'A', 'B', '-' (nothing) or '?' (other data).
std::string VouchedRecords(const orla::PagePrints& prints, int print) {
  std::string shown;
  for (int b = 1; b <= kNumbers; ++b) {
    const BlockReading* vouched = prints.Vouched(print, b);
    shown += vouched == nullptr ? '-' : *vouched == BlockOf(0, b) ? 'A' : *vouched == BlockOf(100, b) ? 'B' : '?';
  }
  return shown;
}

// What every print of the page vouches for, in the order of the records' letters.
std::string VouchedByEachPrint(const orla::PagePrints& prints) {
  std::vector<std::string> each;
  for (int p = 0; p < prints.Count(); ++p) each.push_back(VouchedRecords(prints, p));
  std::sort(each.begin(), each.end());
  std::string shown;
  for (const std::string& one : each) shown += (shown.empty() ? "" : " ") + one;
  return shown;
}

TEST(PagePrints, EveryBlockOnOneLatticeIsOnePrint) {
  // Blocks of one print lie whole pitches apart, however far; a scan turned a little turns
  // the whole lattice, and its blocks still fit it.
  for (const double degrees : {0.0, 0.7, 2.0}) {
    const TestLattice lattice = Turned(TestLattice{}, degrees);
    orla::PagePrints prints;
    for (int k = 0; k < 2 * kNumbers; ++k) {
      const auto [u, w] = TileOf(k);
      NoteBlock(prints, lattice.FrameAt(u, w), BlockOf(0, NumberOf(k)));
    }
    // A copy far down the page, whole tiles away.
    NoteBlock(prints, lattice.FrameAt(14, 70), BlockOf(0, 1));
    prints.Settle();
    EXPECT_EQ(prints.Count(), 1) << degrees << " degrees";
    EXPECT_EQ(VouchedRecords(prints, 0), "AAAAAAAA") << degrees << " degrees";
    EXPECT_TRUE(prints.ShowsOnlyOnePrint());
  }
}

TEST(PagePrints, ASecondPrintOffTheLatticeIsAPrintOfItsOwn) {
  // The second print lies over the first, as on a photocopy, and the walk meets their blocks
  // in turn; each print's data is vouched for by its own blocks only. A turned print crosses
  // the other's lattice somewhere: its blocks here lie where it is still well off it.
  struct Case {
    const char* name;
    double shiftU;  // pitches
    double shiftW;
    double degrees = 0;
    double spacing = 14;
  };
  const Case cases[] = {
      {"half a pitch off", 0.5, 0.0},
      {"a third of a pitch off, aslant", 0.25, 0.25},
      {"a quarter of a pitch off", 0.25, 0.0},
      {"half a pitch off the other way", 0.0, 0.5},
      {"turned half a degree", 0.5, 0.5, 0.5},
      {"turned one degree", 0.5, 0.5, 1.0, 12},
  };
  for (const Case& c : cases) {
    const TestLattice first;
    const double centre = 1.5 * c.spacing;
    const TestLattice second = Moved(Turned(first, c.degrees, centre, centre), c.shiftU, c.shiftW);
    orla::PagePrints prints;
    for (int k = 0; k < 2 * kNumbers; ++k) {
      const auto [u, w] = TileOf(k, c.spacing);
      NoteBlock(prints, first.FrameAt(u, w), BlockOf(0, NumberOf(k)));
      NoteBlock(prints, second.FrameAt(u + 3, w + 2), BlockOf(100, NumberOf(k)));
    }
    prints.Settle();
    ASSERT_EQ(prints.Count(), 2) << c.name;
    EXPECT_EQ(VouchedByEachPrint(prints), "AAAAAAAA BBBBBBBB") << c.name;
    EXPECT_TRUE(prints.ShowsOnePrint(0) && prints.ShowsOnePrint(1)) << c.name;
    EXPECT_FALSE(prints.ShowsOnlyOnePrint()) << c.name;
  }
}

TEST(PagePrints, PrintsCloserThanALatticeTellsApartVouchForNeither) {
  // Known from one block, a lattice places a block far off only roughly, and may take in a
  // block of a print a fraction of a pitch off. Prints a quarter of a pitch apart or more part
  // once the page is read; closer ones stay one print, whose blocks read two ways each, where
  // the second print's tiles lie whole tiles from the first's.
  struct Case {
    double shift;  // pitches
    const char* shown;
  };
  for (const Case c : {Case{0.21, "--------"}, Case{0.25, "AAAAAAAA BBBBBBBB"}, Case{0.28, "AAAAAAAA BBBBBBBB"}}) {
    const TestLattice first;
    const TestLattice second = Moved(first, c.shift, 0);
    orla::PagePrints prints;
    for (int k = 0; k < 2 * kNumbers; ++k) {
      const auto [u, w] = TileOf(k);
      const auto [farU, farW] = TileOf(2 * kNumbers - 1 - k);
      NoteBlock(prints, first.FrameAt(u, w), BlockOf(0, NumberOf(k)));
      NoteBlock(prints, second.FrameAt(farU + 56, farW), BlockOf(100, NumberOf(k)));
    }
    prints.Settle();
    EXPECT_EQ(VouchedByEachPrint(prints), c.shown) << c.shift;
  }
}

TEST(PagePrints, TwoPrintsOnOneLatticeShowInTwoContestedBlocks) {
  // A page printed twice, moved by whole tiles: one lattice, one grid of tiles, and where the
  // records differ a block reads two ways, each at two places. One such block may be a
  // misreading that passed its check byte alike twice; two are not.
  struct Case {
    int differing;
    bool showsOnePrint;
  };
  for (const Case c : {Case{0, true}, Case{1, true}, Case{2, false}, Case{5, false}}) {
    const TestLattice lattice;
    orla::PagePrints prints;
    for (int k = 0; k < 2 * kNumbers; ++k) {
      const auto [u, w] = TileOf(k);
      const int b = NumberOf(k);
      NoteBlock(prints, lattice.FrameAt(u, w), BlockOf(0, b));
      NoteBlock(prints, lattice.FrameAt(u + 14, w + 70), b <= c.differing ? BlockOf(100, b) : BlockOf(0, b));
    }
    prints.Settle();
    ASSERT_EQ(prints.Count(), 1) << c.differing;
    EXPECT_EQ(prints.ShowsOnePrint(0), c.showsOnePrint) << c.differing;
    EXPECT_EQ(prints.ShowsOnlyOnePrint(), c.differing == 0) << c.differing;
    // A contested block vouches for neither data.
    for (int b = 1; b <= c.differing; ++b) EXPECT_EQ(prints.Vouched(0, b), nullptr) << c.differing << " block " << b;
  }
}

TEST(PagePrints, TwoPrintsOnOneLatticeMovedByPitchesArePartedByTheirTiles) {
  // A page printed twice, moved by some pitches that are not whole tiles: one lattice, and
  // where the prints overlap most blocks are spoiled, so those read may each be read once and
  // none is contested. Their places lie on two grids of tiles, each grid one print's. Where
  // the tiles are wide and the second print lies between the first's blocks, each block's
  // nearest neighbours are the other print's: a grid grown from them alone would hold a column
  // of each. Moved by whole tiles, the places tell nothing: one print, each block read two
  // ways.
  struct Case {
    double moveU;  // pitches
    double moveW;
    int prints;
    const char* shown;
    double spacing = 14;
    bool overTheFirst = false;  // the second print's blocks between the first's, not below them
  };
  const Case cases[] = {{3, 61, 2, "AAAAAAAA BBBBBBBB"},
                        {-7, 5, 2, "AAAAAAAA BBBBBBBB"},
                        {0, 3, 2, "AAAAAAAA BBBBBBBB"},
                        {0, 17, 2, "AAAAAAAA BBBBBBBB", 38, true},
                        {19, 17, 2, "AAAAAAAA BBBBBBBB", 38, true},
                        {0, 56, 1, "--------", 14, true}};
  for (const Case& c : cases) {
    const TestLattice lattice;
    orla::PagePrints prints;
    // Met in page order, the two prints' blocks in turn, four by four tiles each.
    for (int k = 0; k < 2 * kNumbers; ++k) {
      const auto [u, w] = TileOf(k, c.spacing);
      const auto [otherU, otherW] = TileOf(c.overTheFirst ? k : k + 2 * kNumbers, c.spacing);
      NoteBlock(prints, lattice.FrameAt(u, w), BlockOf(0, NumberOf(k)));
      NoteBlock(prints, lattice.FrameAt(otherU + c.moveU, otherW + c.moveW), BlockOf(100, NumberOf(k)));
    }
    prints.Settle();
    ASSERT_EQ(prints.Count(), c.prints) << c.moveU << ", " << c.moveW;
    EXPECT_EQ(VouchedByEachPrint(prints), c.shown) << c.moveU << ", " << c.moveW;
    if (c.prints == 1) continue;
    for (int p = 0; p < prints.Count(); ++p) EXPECT_TRUE(prints.ShowsOnePrint(p)) << c.moveU << ", " << c.moveW;
    EXPECT_FALSE(prints.ShowsOnlyOnePrint()) << c.moveU << ", " << c.moveW;
  }
}

TEST(PagePrints, TwoPrintsSideBySideOnOneLatticeArePartedAtTheGap) {
  // A page printed twice, the second print half a page over: one lattice, every block read two
  // ways, and the margins of both between them. Parted at that gap, each print vouches for its
  // own record. Where the second print follows without such a gap, nothing parts them.
  struct Case {
    double secondU;  // where the second print's first column lies, pitches
    int prints;
    const char* shown;
  };
  for (const Case c : {Case{100, 2, "AAAAAAAA BBBBBBBB"}, Case{56, 1, "--------"}}) {
    // Rows along the page's axes, as the tiles are laid.
    TestLattice lattice;
    lattice.ux = 8.5;
    lattice.uy = 0;
    orla::PagePrints prints;
    for (int k = 0; k < 2 * kNumbers; ++k) {
      const auto [u, w] = TileOf(k);
      NoteBlock(prints, lattice.FrameAt(u, w), BlockOf(0, NumberOf(k)));
      NoteBlock(prints, lattice.FrameAt(c.secondU + u, w), BlockOf(100, NumberOf(k)));
    }
    prints.Settle();
    ASSERT_EQ(prints.Count(), c.prints) << c.secondU;
    EXPECT_EQ(VouchedByEachPrint(prints), c.shown) << c.secondU;
  }
}

TEST(PagePrints, ABlockOfAnotherShapeJoinsNoPrintOfThisOne) {
  // A frame turned a quarter turn is not a block of this lattice's print, wherever it lies.
  const TestLattice lattice;
  TestLattice quarter = lattice;
  quarter.ux = -lattice.uy;
  quarter.uy = lattice.ux;
  orla::PagePrints prints;
  for (int k = 0; k < kNumbers; ++k) {
    const auto [u, w] = TileOf(k);
    NoteBlock(prints, lattice.FrameAt(u, w), BlockOf(0, NumberOf(k)));
  }
  NoteBlock(prints, quarter.FrameAt(3, 30), BlockOf(100, 1));
  prints.Settle();
  ASSERT_EQ(prints.Count(), 2);
  EXPECT_EQ(VouchedRecords(prints, 0), "AAAAAAAA");
  EXPECT_EQ(VouchedRecords(prints, 1), "B-------");
}

}  // namespace

// One print at 300 dots per inch on a lattice along the page's axes, its pitch (4.24 pixels)
// no whole number of pixels, 15 by 14 tiles 20 pitches apart, met from the last row of tiles
// first as a walk may meet them: a lattice known from the first blocks is a few tenths of a
// percent off in pitch, enough to place a block a page away a whole pitch wrong.
TEST(PagePrints, APrintMetFarFromItsFirstBlocksIsOnePrint) {
  for (const int start : {0, 98, 196}) {
    for (const double originX : {61.0, 61.5}) {
      TestLattice lattice;
      lattice.originX = originX;
      lattice.originY = 74;
      lattice.ux = 0;
      lattice.uy = -4.242640687;
      orla::PagePrints prints;
      for (int n = 0; n < 210; ++n) {
        const int k = (start + n) % 210;
        NoteBlock(prints, lattice.FrameAt(-20.0 * (k / 14), 20.0 * (k % 14)), BlockOf(0, NumberOf(k)));
      }
      prints.Settle();
      const std::string what = "from block " + std::to_string(start) + ", origin " + std::to_string(originX);
      ASSERT_EQ(prints.Count(), 1) << what;
      EXPECT_EQ(VouchedRecords(prints, 0), std::string(kNumbers, 'A')) << what;
    }
  }
}
