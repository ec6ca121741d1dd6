// Finding block frames on dot maps of pages from the pattern writer: entered through either
// row, from either end, at every quarter turn and both resolutions, and with the frame
// damaged in the ways the search must refuse or bridge.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "dot_page.h"
#include "pattern_writer.h"

namespace {

using orla::Point;
using orla::pattern::DotEdit;
using orla::pattern::LatticePoint;
using orla::test::StageRecognizer;

struct Layout {
  int dpi;
  orla::pattern::Lattice lattice;
  int quarterTurns;
  std::string name() const {
    return std::to_string(dpi) + (lattice == orla::pattern::Lattice::Diagonal ? " diagonal" : " axis") + " turn " +
           std::to_string(quarterTurns);
  }
};

const Layout kLayouts[] = {
    {600, orla::pattern::Lattice::Diagonal, 0}, {600, orla::pattern::Lattice::Diagonal, 1},
    {600, orla::pattern::Lattice::Diagonal, 2}, {600, orla::pattern::Lattice::Diagonal, 3},
    {300, orla::pattern::Lattice::Diagonal, 0}, {300, orla::pattern::Lattice::Diagonal, 1},
    {600, orla::pattern::Lattice::Axis, 0},     {600, orla::pattern::Lattice::Axis, 3},
};

LatticePoint A(int k) { return orla::pattern::ReferenceAPosition(k); }
LatticePoint B(int k) { return orla::pattern::ReferenceBPosition(k); }

// A pattern page turned into a dot map by the recognizer's own first two stages.
class FramePage {
 public:
  FramePage(const Layout& layout, std::vector<LatticePoint> removed = {}, std::vector<LatticePoint> added = {}) {
    orla::pattern::PatternOptions options;
    options.page.dpi = layout.dpi;
    options.page.lattice = layout.lattice;
    options.page.quarterTurns = layout.quarterTurns;
    options.page.dotSize = layout.dpi == 300 ? 2 : 3;
    for (const LatticePoint& at : removed) options.page.damage.edits.push_back(DotEdit{0, at, false});
    for (const LatticePoint& at : added) options.page.damage.edits.push_back(DotEdit{0, at, true});
    made_ = orla::pattern::MakePatternPage({}, options);
    ok_ = made_.ok() && orla::pattern::ToHalvoPic(made_.page, pic_);
    if (!ok_) return;
    reg.Use(pic_);
    ok_ = reg.Binarize(128, nullptr) == orla::kRecognizeFound && reg.CollectComponents(nullptr) == orla::kRecognizeFound;
  }

  bool ok() const { return ok_; }

  // The dot of the map nearest to where the writer put lattice position `at` of block 0.
  std::optional<Point> Dot(LatticePoint at) const {
    const orla::pattern::PixelPoint p = orla::pattern::PixelOf(made_.placements[0], at);
    Point dot;
    if (!reg.FindDot(Point{p.x, p.y}, 2.0, dot)) return std::nullopt;
    return dot;
  }
  Point Expected(LatticePoint at) const {
    const std::optional<Point> dot = Dot(at);
    return dot ? *dot : Point{-9, -9};
  }

  int Enter(LatticePoint d, LatticePoint e) {
    const Point dot = Expected(d);
    const Point neighbour = Expected(e);
    reg.dotPitch = std::hypot(dot.x - neighbour.x, dot.y - neighbour.y);
    return reg.FindFirstBlockRegion(dot.x, dot.y, neighbour.x, neighbour.y);
  }

  int EnterAlongPeriod(int k) {
    const Point start = Expected(A(k));
    reg.blockPeriod = Expected(A(11)) - Expected(A(0));
    reg.dotPitch = orla::pattern::PitchOf(made_.page.dpi);
    return reg.FindBlockRegionAt(start.x, start.y, reg.blockPeriod.x, reg.blockPeriod.y);
  }

  // A dot at the pixel nearest to (u, w) of block 0, on the lattice or between its points.
  void AddDotAt(double u, double w) {
    const orla::pattern::Placement& p = made_.placements[0];
    const Point origin = Expected(A(11));
    orla::test::Paint(pic_, origin.x + static_cast<int>(std::lround(u * p.ux + w * p.wx)),
                      origin.y + static_cast<int>(std::lround(u * p.uy + w * p.wy)));
  }
  // The dot at `at` of block 0 moved by `offset` pixels.
  void MoveDot(LatticePoint at, Point offset) {
    const Point dot = Expected(at);
    orla::test::Paint(pic_, dot.x, dot.y, 255);
    orla::test::Paint(pic_, dot.x + offset.x, dot.y + offset.y);
  }

  void ExpectTables(const std::string& what) const {
    for (int k = 0; k < 12; ++k) {
      EXPECT_EQ(reg.refA[k], Expected(A(k))) << what << " A[" << k << "]";
      EXPECT_EQ(reg.refB[k], Expected(B(k))) << what << " B[" << k << "]";
    }
  }

  StageRecognizer reg;

 private:
  orla::pattern::PatternPage made_;
  CHalvoPic pic_;
  bool ok_ = false;
};

struct Entry {
  const char* name;
  LatticePoint d;
  LatticePoint e;
};

TEST(BlockFrame, IsFoundFromEitherRowAndEitherEndAtEveryTurn) {
  const Entry entries[] = {
      {"row A at the corner", A(10), A(11)},
      {"row A at the far end", A(1), A(0)},  // the second attempt reads it backwards
      {"row A mid-row", A(6), A(7)},
      {"row B at the corner", B(1), B(0)},  // side 2
      {"row B at the far end", B(10), B(11)},
  };
  for (const Layout& layout : kLayouts) {
    FramePage page(layout);
    ASSERT_TRUE(page.ok()) << layout.name();
    for (const Entry& entry : entries) {
      page.reg.refA.fill(Point{-1, -1});
      page.reg.refB.fill(Point{-1, -1});
      EXPECT_EQ(page.Enter(entry.d, entry.e), orla::kFrameFitted) << layout.name() << ", " << entry.name;
      page.ExpectTables(layout.name() + ", " + entry.name);
    }
    EXPECT_EQ(page.EnterAlongPeriod(5), orla::kFrameFitted) << layout.name();
    page.ExpectTables(layout.name() + " along the period");
  }
}

struct Damaged {
  const char* name;
  std::vector<LatticePoint> removed;
  std::vector<LatticePoint> added;
  int first;  // FindFirstBlockRegion through A[10], A[11]
  int along;  // FindBlockRegionAt from A[5]
};

TEST(BlockFrame, RefusesOrBridgesDamagedFrames) {
  const int fit = orla::kFrameFitted;
  const int none = orla::kFrameNotFitted;
  const Damaged cases[] = {
      {"one marker dot missing", {{1, 1}}, {}, none, fit},
      {"only marker dot (2, 2)", {{1, 1}, {1, 2}, {2, 1}}, {}, none, fit},
      {"only marker dot (1, 2)", {{1, 1}, {2, 2}, {2, 1}}, {}, none, fit},
      {"only marker dot (2, 1)", {{1, 1}, {1, 2}, {2, 2}}, {}, none, fit},
      {"only marker dot (1, 1)", {{2, 1}, {1, 2}, {2, 2}}, {}, none, fit},
      {"no marker dot", {{1, 1}, {1, 2}, {2, 1}, {2, 2}}, {}, none, none},
      {"a gap inside row B", {B(5)}, {}, fit, fit},
      {"B[0] missing", {B(0)}, {}, fit, fit},
      {"B[0] missing and a gap inside row B", {B(0), B(5)}, {}, none, none},
      {"B[11] missing", {B(11)}, {}, none, none},
      {"three dots in the inner band of row A", {}, {{-2, 1}, {-5, 1}, {-8, 1}}, fit, fit},
      // With the cell-map line beside it on the outer side, both strips are full.
      {"four dots in the inner band of row A", {}, {{-2, 1}, {-4, 1}, {-6, 1}, {-8, 1}}, none, none},
  };
  for (const Layout& layout : {kLayouts[0], kLayouts[5]}) {
    for (const Damaged& c : cases) {
      FramePage page(layout, c.removed, c.added);
      ASSERT_TRUE(page.ok()) << c.name;
      const std::string what = layout.name() + ", " + c.name;
      EXPECT_EQ(page.Enter(A(10), A(11)), c.first) << what;
      EXPECT_EQ(page.EnterAlongPeriod(5), c.along) << what;
      if (c.along == fit && c.removed.size() <= 3 && c.added.empty()) {
        for (int k = 0; k < 12; ++k) EXPECT_EQ(page.reg.refA[k], page.Expected(A(k))) << what;
        if (page.Dot(B(5))) {
          EXPECT_EQ(page.reg.refB[5], page.Expected(B(5))) << what;
        }
        EXPECT_EQ(page.reg.refB[11], page.Expected(B(11))) << what;
      }
    }
  }
}

TEST(BlockFrame, RowAAlongThePeriodBridgesTwoGapsButNotThree) {
  const struct {
    std::vector<int> gaps;
    int start;
    int along;
  } cases[] = {
      {{3, 8}, 5, orla::kFrameFitted},
      {{3, 8}, 0, orla::kFrameFitted},  // the misses before A[0] are dropped and not counted
      {{1, 2}, 0, orla::kFrameFitted},
      {{2, 7, 9}, 5, orla::kFrameNotFitted},
      {{1, 2, 3}, 0, orla::kFrameNotFitted},
  };
  for (const Layout& layout : {kLayouts[0], kLayouts[5]}) {
    for (const auto& c : cases) {
      std::vector<LatticePoint> removed;
      for (const int k : c.gaps) removed.push_back(A(k));
      FramePage page(layout, removed);
      ASSERT_TRUE(page.ok());
      std::string what = layout.name() + ", from A[" + std::to_string(c.start) + "], gaps";
      for (const int k : c.gaps) what += " " + std::to_string(k);
      EXPECT_EQ(page.EnterAlongPeriod(c.start), c.along) << what;
      if (c.along != orla::kFrameFitted) continue;
      for (int k = 0; k < 12; ++k) {
        if (page.Dot(A(k))) {
          EXPECT_EQ(page.reg.refA[k], page.Expected(A(k))) << what << " A[" << k << "]";
        }
        EXPECT_EQ(page.reg.refB[k], page.Expected(B(k))) << what << " B[" << k << "]";
      }
    }
  }
}

TEST(BlockFrame, TheInnerBandOfRowAReachesFromHalfAPitchToOneAndAHalf) {
  // Four dots between the lattice points beside row A, clear of the row's own dots.
  const struct {
    double w;
    int first;  // FindFirstBlockRegion through A[10], A[11]
    int along;  // FindBlockRegionAt from A[5]
  } cases[] = {
      {0.25, orla::kFrameFitted, orla::kFrameFitted},
      {1.25, orla::kFrameNotFitted, orla::kFrameNotFitted},  // and the outer band holds a cell-map line
      {1.75, orla::kFrameFitted, orla::kFrameFitted},
  };
  for (const Layout& layout : {kLayouts[0], kLayouts[5], kLayouts[6]}) {
    for (const auto& c : cases) {
      FramePage page(layout);
      ASSERT_TRUE(page.ok());
      for (const double u : {-9.5, -7.5, -5.5, -3.5}) page.AddDotAt(u, c.w);
      const std::string what = layout.name() + ", dots at w " + std::to_string(c.w);
      EXPECT_EQ(page.Enter(A(10), A(11)), c.first) << what;
      EXPECT_EQ(page.EnterAlongPeriod(5), c.along) << what;
      if (c.along == orla::kFrameFitted) page.ExpectTables(what);
    }
  }
}

TEST(BlockFrame, MarkerDotsAreLookedForWithinAThirdOfAPitch) {
  // Marker dot (2, 1) moved off its place: a third of a pitch is 2.83 pixels at 600 dots per
  // inch (a search reaches a squared distance of 9) and 1.41 at 300 (3).
  const struct {
    Layout layout;
    Point offset;
    int first;
  } cases[] = {
      {kLayouts[0], {2, 2}, orla::kFrameFitted},
      {kLayouts[0], {3, 1}, orla::kFrameNotFitted},
      {kLayouts[0], {-1, -3}, orla::kFrameNotFitted},
      {kLayouts[5], {1, 1}, orla::kFrameFitted},
      {kLayouts[5], {2, 0}, orla::kFrameNotFitted},
  };
  for (const auto& c : cases) {
    FramePage page(c.layout);
    ASSERT_TRUE(page.ok());
    page.MoveDot({2, 1}, c.offset);
    const std::string what =
        c.layout.name() + ", moved by " + std::to_string(c.offset.x) + ", " + std::to_string(c.offset.y);
    EXPECT_EQ(page.Enter(A(10), A(11)), c.first) << what;
    // Without the marker required, row B is found from the other three marker dots.
    EXPECT_EQ(page.EnterAlongPeriod(5), orla::kFrameFitted) << what;
    page.ExpectTables(what);
  }
}

TEST(BlockFrame, RowInsideAFieldOfDotsIsRefusedAtOnce) {
  // Three full rows: the middle one has 12 dots in the strip on each side.
  CHalvoPic pic;
  orla::test::Blank(pic, 200, 120);
  for (int row = 0; row < 3; ++row)
    for (int k = 0; k < 12; ++k) orla::test::Paint(pic, 10 + 8 * k, 40 + 8 * row);
  StageRecognizer reg;
  reg.Use(pic);
  reg.dotPitch = 8.0;
  reg.refA.fill(Point{3, 3});
  EXPECT_EQ(reg.FindFirstBlockRegion(90, 48, 98, 48), orla::kFrameNotFitted);
  EXPECT_EQ(reg.refA[0], (Point{3, 3})) << "the tables keep their contents";
  // A lone row is traced but has no marker.
  EXPECT_EQ(reg.FindFirstBlockRegion(90, 40, 98, 40), orla::kFrameNotFitted);
  // Entered at the top row's first dot: traced across its end, still no marker.
  EXPECT_EQ(reg.FindFirstBlockRegion(10, 40, 18, 40), orla::kFrameNotFitted);
}

}  // namespace
