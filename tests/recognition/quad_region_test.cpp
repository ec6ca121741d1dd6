// The quadrilateral region's fill rule, and counting dots inside one.

#include <gtest/gtest.h>

#include "dot_page.h"
#include "quad_region.h"

namespace {

using orla::Point;
using orla::QuadRegion;

struct ContainsCase {
  Point p;
  bool inside;
};

TEST(QuadRegion, IncludesTheLeftAndTopEdgesButNotTheRightAndBottom) {
  const QuadRegion square({Point{2, 2}, Point{6, 2}, Point{6, 5}, Point{2, 5}});
  const ContainsCase cases[] = {
      {{2, 2}, true},  {{5, 2}, true},  {{6, 2}, false}, {{2, 4}, true}, {{2, 5}, false},
      {{5, 4}, true},  {{6, 4}, false}, {{5, 5}, false}, {{1, 3}, false}, {{3, 1}, false},
  };
  for (const ContainsCase& c : cases) EXPECT_EQ(square.Contains(c.p.x, c.p.y), c.inside) << c.p.x << "," << c.p.y;
  // The same square given clockwise from another corner fills the same pixels.
  const QuadRegion again({Point{6, 5}, Point{6, 2}, Point{2, 2}, Point{2, 5}});
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(square.Contains(x, y), again.Contains(x, y));
}

TEST(QuadRegion, DiamondsAndBowTiesFollowTheEvenOddRule) {
  // A diamond around (10, 10): on line y the crossings are 10 -+ (4 - |y - 10|).
  const QuadRegion diamond({Point{10, 6}, Point{14, 10}, Point{10, 14}, Point{6, 10}});
  const ContainsCase cases[] = {
      {{10, 6}, false},  // the top vertex: crossings 10 and 10, an empty span
      {{10, 7}, true},  {{9, 7}, true},  {{11, 7}, false}, {{6, 10}, true}, {{13, 10}, true},
      {{14, 10}, false}, {{10, 13}, true}, {{10, 14}, false},
  };
  for (const ContainsCase& c : cases) EXPECT_EQ(diamond.Contains(c.p.x, c.p.y), c.inside) << c.p.x << "," << c.p.y;

  // A bow tie crossing at (5, 5): its left and right triangles are filled, nothing else.
  const QuadRegion bowTie({Point{0, 0}, Point{10, 10}, Point{10, 0}, Point{0, 10}});
  EXPECT_FALSE(bowTie.Contains(5, 1));
  EXPECT_FALSE(bowTie.Contains(5, 8));
  EXPECT_TRUE(bowTie.Contains(1, 5));
  EXPECT_TRUE(bowTie.Contains(9, 5));
  EXPECT_TRUE(bowTie.Contains(0, 1));
  EXPECT_FALSE(bowTie.Contains(1, 1));

  const QuadRegion flat({Point{0, 3}, Point{9, 3}, Point{9, 3}, Point{0, 3}});
  for (int x = 0; x < 10; ++x) EXPECT_FALSE(flat.Contains(x, 3));
}

TEST(QuadRegion, CountsOnlyDotsInsideThePage) {
  CHalvoPic pic;
  orla::test::Blank(pic, 10, 10);
  orla::test::PaintDots(pic, {{0, 0}, {9, 9}, {5, 5}, {9, 0}});
  orla::test::StageRecognizer reg;
  reg.Use(pic);
  EXPECT_EQ(reg.CountDarkInRegion(QuadRegion({Point{-5, -5}, Point{20, -5}, Point{20, 20}, Point{-5, 20}})), 4);
  EXPECT_EQ(reg.CountDarkInRegion(QuadRegion({Point{0, 0}, Point{9, 0}, Point{9, 9}, Point{0, 9}})), 2);
  EXPECT_EQ(reg.CountDarkInRegion(QuadRegion({Point{5, 5}, Point{5, 5}, Point{5, 5}, Point{5, 5}})), 0);
}

}  // namespace
