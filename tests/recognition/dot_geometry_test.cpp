// Predicting, snapping to and following dots on hand-laid dot maps.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "dot_page.h"

namespace {

using orla::Point;
using orla::test::Blank;
using orla::test::Paint;
using orla::test::StageRecognizer;

struct AlongCase {
  Point start;
  Point direction;
  double distance;
  Point result;
};

TEST(PointAlong, AddsThreeTenthsAndTruncatesTowardZero) {
  const double pitch = 8.485281374238571;
  const AlongCase cases[] = {
      {{10, 10}, {3, 4}, 5.0, {13, 14}},
      {{10, 10}, {0, 0}, 5.0, {-1, -1}},
      {{10, 10}, {-3, 0}, 1.0, {9, 10}},      // 9.3
      {{10, 10}, {0, -1}, 10.5, {10, 0}},     // -0.2 truncates to 0
      {{10, 10}, {0, -1}, 11.5, {10, -1}},    // -1.2
      {{0, 0}, {1, 1}, pitch, {6, 6}},        // 45 degrees: 6.0000000000000009 + 0.3
      {{0, 0}, {-1, 1}, pitch, {-5, 6}},      // -5.7 truncates to -5
      {{100, 100}, {5, 2}, pitch, {108, 103}},  // an odd angle: 107.878, 103.451
      {{100, 100}, {5, 2}, 2.0 * pitch, {116, 106}},  // 116.06, 106.60
      {{0, 0}, {1, 0}, 0.7, {1, 0}},          // 0.7 + 0.3 is exactly 1
  };
  for (const AlongCase& c : cases) {
    EXPECT_EQ(CGetPosition::PointAlong(c.start, c.direction, c.distance), c.result)
        << c.direction.x << "," << c.direction.y << " by " << c.distance;
  }
}

class DotMapTest : public ::testing::Test {
 protected:
  void Lay(int width, int height, std::initializer_list<Point> dots) {
    Blank(pic, width, height);
    for (const Point& d : dots) Paint(pic, d.x, d.y);
    reg.Use(pic);
  }
  void Lay(int width, int height, const std::vector<Point>& dots) {
    Blank(pic, width, height);
    for (const Point& d : dots) Paint(pic, d.x, d.y);
    reg.Use(pic);
  }
  CHalvoPic pic;
  StageRecognizer reg;
};

TEST_F(DotMapTest, NearestDotSearchesARingAndPrefersTheFirstOfEqualDistance) {
  Lay(40, 40, {{23, 21}});
  Point dot;
  EXPECT_TRUE(reg.FindDot({20, 20}, 3.0, dot));  // offset (3, 1): 10 <= 9 + 1
  EXPECT_EQ(dot, (Point{23, 21}));
  Lay(40, 40, {{23, 22}});
  EXPECT_FALSE(reg.FindDot({20, 20}, 3.0, dot));  // offset (3, 2): 13 > 10

  Lay(40, 40, {{22, 20}, {20, 18}, {18, 20}});
  ASSERT_TRUE(reg.FindDot({20, 20}, 3.0, dot));
  EXPECT_EQ(dot, (Point{20, 18})) << "met first, row by row";

  Lay(40, 40, {{20, 20}, {21, 20}});
  ASSERT_TRUE(reg.FindDot({20, 20}, 3.0, dot));
  EXPECT_EQ(dot, (Point{20, 20})) << "the prediction itself";

  std::array<Point, 3> out{};
  Lay(40, 40, {{20, 17}, {22, 20}, {21, 21}, {10, 10}});
  EXPECT_EQ(reg.FindNearestDots(out, 20, 20, 0.0, 3.0, 1.0), 3);
  EXPECT_EQ(out, (std::array<Point, 3>{Point{21, 21}, Point{22, 20}, Point{20, 17}}));
  EXPECT_EQ(reg.FindNearestDots(out, 20, 20, 2.5, 3.0, 1.0), 1) << "the inner radius leaves out the two nearer";
  EXPECT_EQ(out[0], (Point{20, 17}));

  std::array<Point, 1> one{Point{7, 7}};
  Lay(40, 40, {});
  EXPECT_EQ(reg.FindNearestDots(one, 20, 20, 0.0, 3.0, 0.0), 0);
  EXPECT_EQ(one[0], (Point{0, 0}));
  Lay(40, 40, {{0, 1}, {1, 0}});
  EXPECT_EQ(reg.FindNearestDots(one, 0, 0, 0.0, 2.0, 0.0), 1) << "the page edge holds no dots";
  EXPECT_EQ(one[0], (Point{1, 0}));
}

TEST_F(DotMapTest, NearestDotKeepsOnlyTheFirstFiveCandidatesPerDotWanted) {
  // Five dots far up in the square are met before a nearer one below.
  Lay(40, 40, {{17, 17}, {18, 17}, {19, 17}, {21, 17}, {22, 17}, {20, 21}});
  Point dot;
  ASSERT_TRUE(reg.FindDot({20, 20}, 4.3, dot));
  EXPECT_EQ(dot, (Point{19, 17}));
}

// 12 dots from `first` along `step` per dot, leaving out those listed.
std::vector<Point> Row(Point first, Point step, std::initializer_list<int> missing = {}) {
  std::vector<Point> dots;
  for (int k = 0; k < 12; ++k) {
    if (std::find(missing.begin(), missing.end(), k) != missing.end()) continue;
    dots.push_back(Point{first.x + k * step.x, first.y + k * step.y});
  }
  return dots;
}

Point RowDot(Point first, Point step, int k) { return Point{first.x + k * step.x, first.y + k * step.y}; }

struct Lattice {
  Point step;
  double pitch;
};

const Lattice kLattices[] = {
    {{6, 6}, 8.485281374238571},   // 45 degrees at 600 dpi
    {{-6, 6}, 8.485281374238571},  // the same turned a quarter
    {{3, -3}, 4.242640687119285},  // 45 degrees at 300 dpi
    {{8, 0}, 8.0},                 // axis-aligned
    {{0, -8}, 8.0},
};

TEST_F(DotMapTest, TraceLineFollowsTheRowFromEitherEnd) {
  for (const Lattice& l : kLattices) {
    const Point first{100, 100};
    Lay(200, 200, Row(first, l.step));
    CGetPosition::Run out{};
    ASSERT_EQ(reg.TraceLine(out, RowDot(first, l.step, 10), RowDot(first, l.step, 11), l.pitch, l.pitch / 3.0), 12);
    for (int k = 0; k < 12; ++k) EXPECT_EQ(out[k], RowDot(first, l.step, k)) << k;
    // Entered in the middle: past a to the row's start, then past b to its end.
    ASSERT_EQ(reg.TraceLine(out, RowDot(first, l.step, 4), RowDot(first, l.step, 5), l.pitch, l.pitch / 3.0), 12);
    for (int k = 0; k < 12; ++k) EXPECT_EQ(out[k], RowDot(first, l.step, k)) << k;
  }
}

TEST_F(DotMapTest, TraceLineBridgesOneGapAndDropsTheSecond) {
  const Point first{100, 100};
  const Point step{6, 6};
  const double pitch = 8.485281374238571;
  // Entered at dots 10 and 11; past a the dots 7 and 4 are missing.
  Lay(200, 200, Row(first, step, {7, 4}));
  CGetPosition::Run out{};
  const int n = reg.TraceLine(out, RowDot(first, step, 10), RowDot(first, step, 11), pitch, pitch / 3.0);
  // Past a: 9, 8, 7 (predicted), 6, 5; the miss at 4 is dropped; then a and b; past b the
  // first prediction (no dot 12) is a miss and ends the walk.
  EXPECT_EQ(n, 7);
  const std::vector<int> expected = {5, 6, 7, 8, 9, 10, 11};
  for (int i = 0; i < n; ++i) EXPECT_EQ(out[i], RowDot(first, step, expected[i])) << i;
}

TEST_F(DotMapTest, TraceDirectionBridgesInteriorGapsOnlyWhenAllowed) {
  const Point first{60, 60};
  const Point step{6, 6};
  const double pitch = 8.485281374238571;
  struct Case {
    std::initializer_list<int> missing;
    int maxMisses;
    int forwardOnly;
    int start;
    int result;
  };
  const Case cases[] = {
      {{}, 0, 1, 0, 12},
      {{5}, 0, 1, 0, 5},    // stops at the first missing dot
      {{5}, 1, 1, 0, 12},   // the gap is bridged by its prediction
      {{11}, 1, 1, 0, 11},  // a gap at the very end is dropped
      {{5, 8}, 1, 1, 0, 8},
      {{}, 2, 0, 6, 12},    // backward to the row's start, then forward
      {{2}, 2, 0, 6, 12},
      {{0}, 2, 0, 6, 11},   // the missing far end is dropped; forward fills up to 11
  };
  for (const Case& c : cases) {
    std::vector<Point> dots = Row(first, step, c.missing);
    Lay(250, 250, dots);
    CGetPosition::Run out{};
    EXPECT_EQ(reg.TraceDirection(out, c.maxMisses, c.forwardOnly, RowDot(first, step, c.start), step, pitch,
                                 pitch / 3.0),
              c.result)
        << "start " << c.start << " misses " << c.maxMisses;
    if (c.result == 12 && c.forwardOnly == 1) {
      for (int k = 0; k < 12; ++k) EXPECT_EQ(out[k], RowDot(first, step, k));
    }
  }
}

TEST_F(DotMapTest, FollowDotLineFlagsEachStep) {
  Lay(100, 100, {{18, 10}, {34, 10}});
  std::array<Point, 3> positions{};
  std::array<std::uint8_t, 3> found{};
  EXPECT_EQ(reg.FollowDotLine(3, positions, found, {10, 10}, {1, 0}, 8.0, 8.0 / 3.0), 2);
  EXPECT_EQ(found, (std::array<std::uint8_t, 3>{1, 0, 1}));
  EXPECT_EQ(positions[1], (Point{26, 10}));
  std::vector<Point> room(60);
  std::vector<std::uint8_t> flags(60);
  EXPECT_EQ(reg.FollowDotLine(50, room, flags, {10, 10}, {1, 0}, 8.0, 1.0), -1);
  EXPECT_EQ(reg.FollowDotLine(49, room, flags, {10, 10}, {1, 0}, 8.0, 1.0), 2);
}

TEST_F(DotMapTest, ReadDotBitsSetsABitPerDotAndRecordsTheDots) {
  Lay(200, 50, {{10, 10}, {26, 11}, {34, 10}, {98, 10}});
  std::array<std::uint8_t, 3> bits{};
  Point first{};
  Point next{};
  EXPECT_EQ(reg.ReadDotBits(bits, 2, first, next, {10, 10}, {1, 0}, 8.0), 14);
  // Bits 2 to 13 at x = 10, 18, 26 (snapped to y 11), 34 (snapped back), 42, ..., 90, 98.
  EXPECT_EQ(first, (Point{10, 10}));
  EXPECT_EQ(bits[0], 0x20 + 0x08 + 0x04);
  EXPECT_EQ(bits[1], 0x04);
  EXPECT_EQ(next, (Point{106, 10}));
  EXPECT_EQ(reg.pointCount, 4);
  EXPECT_EQ(reg.points[1], (Point{26, 11}));

  // Running off the page through a missing dot stops, still answering first bit + 12.
  Lay(40, 20, {{30, 5}});
  bits = {};
  reg.pointCount = 0;
  EXPECT_EQ(reg.ReadDotBits(bits, 0, first, next, {22, 5}, {1, 0}, 8.0), 12);
  EXPECT_EQ(bits[0], 0x40);
  EXPECT_EQ(next, (Point{46, 5}));
  EXPECT_EQ(reg.pointCount, 1);
}

TEST_F(DotMapTest, ReadDotBitsStopsRecordingAtThreeHundredPoints) {
  Lay(100, 10, Row({4, 4}, {8, 0}));
  reg.pointCount = 295;
  std::array<std::uint8_t, 2> bits{};
  Point first{};
  Point next{};
  reg.ReadDotBits(bits, 0, first, next, {4, 4}, {1, 0}, 8.0);
  EXPECT_EQ(bits[0], 0xFF);
  EXPECT_EQ(bits[1], 0xF0);
  EXPECT_EQ(reg.pointCount, 300);
}

TEST_F(DotMapTest, ReferenceCellReadsTheCrossingsOfARowWithTheColumns) {
  // An axis-aligned block: row A along +x ending at (100, 20), row B from (124, 44) down.
  CShadingReg::ReferenceRow a{};
  CShadingReg::ReferenceRow b{};
  for (int k = 0; k < 12; ++k) {
    a[k] = Point{12 + 8 * k, 20};
    b[k] = Point{124, 44 + 8 * k};
  }
  // Row 2 of the cells lies at y = 60; column i at x = 100 - 8 i.
  std::vector<Point> dots = {{100, 60}, {92, 61}, {68, 60}, {12, 60}};
  Lay(200, 200, dots);
  std::array<std::uint8_t, 2> bits{};
  EXPECT_EQ(reg.ReadReferenceCell(bits, a, b, 2, 8.0), 1);
  EXPECT_EQ(bits[0], 0x80 + 0x40 + 0x08);
  EXPECT_EQ(bits[1], 0x10);
  EXPECT_EQ(reg.pointCount, 4);

  bits = {};
  CShadingReg::ReferenceRow parallel = b;
  for (int k = 0; k < 12; ++k) parallel[k] = Point{124 - 8 * k, 44};
  EXPECT_EQ(reg.ReadReferenceCell(bits, a, parallel, 2, 8.0), 0);
  EXPECT_EQ(bits, (std::array<std::uint8_t, 2>{0, 0}));
}

TEST_F(DotMapTest, ReferenceCellLooksForEachCrossingFromTheDotFoundBefore) {
  // The block of the test above; row 2 of the cells bends away from the crossings at y = 60.
  // A search reaches a squared distance of 17 (half the step is 4), so from the crossings
  // alone only the dots up to 4 pixels off would be found.
  CShadingReg::ReferenceRow a{};
  CShadingReg::ReferenceRow b{};
  for (int k = 0; k < 12; ++k) {
    a[k] = Point{12 + 8 * k, 20};
    b[k] = Point{124, 44 + 8 * k};
  }
  const struct {
    const char* name;
    std::vector<Point> dots;  // by column, from the column of A[11]
    std::vector<int> missing;
  } cases[] = {
      {"each dot a pixel below the one before: each found from the one before",
       {{100, 60}, {92, 61}, {84, 62}, {76, 63}, {68, 64}, {60, 65},
        {52, 66}, {44, 67}, {36, 68}, {28, 69}, {20, 70}, {12, 71}},
       {}},
      {"after a missing dot the crossing again, not the prediction 8 pixels below it",
       {{100, 60}, {92, 62}, {84, 64}, {76, 66}, {60, 60}, {52, 60}, {44, 60}, {36, 60}, {28, 60}, {20, 60}, {12, 60}},
       {4}},
  };
  for (const auto& c : cases) {
    Lay(200, 200, c.dots);
    reg.pointCount = 0;
    std::array<std::uint8_t, 2> bits{};
    EXPECT_EQ(reg.ReadReferenceCell(bits, a, b, 2, 8.0), 1) << c.name;
    std::array<std::uint8_t, 2> expected{};
    for (int i = 0; i < 12; ++i) {
      if (std::find(c.missing.begin(), c.missing.end(), i) != c.missing.end()) continue;
      expected[static_cast<std::size_t>(i / 8)] |= static_cast<std::uint8_t>(0x80 >> (i % 8));
    }
    EXPECT_EQ(bits, expected) << c.name;
    ASSERT_EQ(reg.pointCount, static_cast<int>(c.dots.size())) << c.name;
    for (std::size_t i = 0; i < c.dots.size(); ++i) EXPECT_EQ(reg.points[i], c.dots[i]) << c.name << ", dot " << i;
  }
}

TEST_F(DotMapTest, ReferenceCellCrossingRoundsWithFourTenths) {
  // At 45 degrees the crossings fall on whole pixels.
  CShadingReg::ReferenceRow a{};
  CShadingReg::ReferenceRow b{};
  const Point a11{100, 60};
  for (int k = 0; k < 12; ++k) a[k] = Point{a11.x + 6 * (k - 11), a11.y + 6 * (k - 11)};
  // u = (6, 6), w = (-6, 6): B[k] at 3u + (3 + k)w.
  for (int k = 0; k < 12; ++k) b[k] = Point{a11.x + 18 - 6 * (3 + k), a11.y + 18 + 6 * (3 + k)};
  const Point cell00{a11.x - 6 * 3, a11.y + 6 * 3};  // (0, 3): column of A[11], row B[0]
  Lay(250, 250, {cell00});
  std::array<std::uint8_t, 2> bits{};
  EXPECT_EQ(reg.ReadReferenceCell(bits, a, b, 0, 8.485281374238571), 1);
  EXPECT_EQ(bits[0], 0x80);
}

TEST_F(DotMapTest, ReferenceCellCrossingRoundsWithFourTenthsAtAnOddAngle) {
  // Rows along (4, 3) and (-3, 4), row B one pixel off the lattice: the crossing of line 2
  // with the column of A[11] is (184.52, 120.64). Adding 0.4 gives (184, 121); 0.3 would give
  // (184, 120) and 0.5 (185, 121). Each of the three is a dot, so the point recorded tells
  // which prediction was made.
  CShadingReg::ReferenceRow a{};
  CShadingReg::ReferenceRow b{};
  for (int k = 0; k < 12; ++k) {
    a[k] = Point{200 + 4 * (k - 11), 100 + 3 * (k - 11)};
    b[k] = Point{200 + 12 - 3 * (3 + k), 100 + 9 + 4 * (3 + k) + 1};
  }
  Lay(300, 300, {{184, 121}, {184, 120}, {185, 121}});
  std::array<std::uint8_t, 2> bits{};
  EXPECT_EQ(reg.ReadReferenceCell(bits, a, b, 2, 5.0), 1);
  EXPECT_EQ(bits[0], 0x80);
  ASSERT_EQ(reg.pointCount, 1);
  EXPECT_EQ(reg.points[0], (Point{184, 121}));
}

}  // namespace
