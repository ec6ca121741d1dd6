// Which dots lie inside a field of dots: the specks of a halftone screen's light tones do, and no
// reference dot of a block does, at either resolution, on either lattice, in any quarter turn.

#include <gtest/gtest.h>

#include <string>

#include "block_layout.h"
#include "dot_page.h"
#include "writer_dot_map.h"

namespace {

using orla::Point;
using orla::pattern::Lattice;

const orla::pattern::PatternRecord kRecord{"261210090745", "LM40211783", "00A0C9143B7E", "operator", "report.docx",
                                           "Accounts"};

TEST(DotFields, NoReferenceDotLiesInsideAField) {
  const struct {
    int dpi;
    Lattice lattice;
    int quarterTurns;
  } layouts[] = {{300, Lattice::Diagonal, 0}, {600, Lattice::Diagonal, 0}, {300, Lattice::Axis, 0},
                 {600, Lattice::Axis, 0},     {300, Lattice::Diagonal, 1}, {600, Lattice::Axis, 3}};
  for (const auto& l : layouts) {
    orla::pattern::PatternOptions options;
    options.page.dpi = l.dpi;
    options.page.dotSize = l.dpi == 300 ? 2 : 3;
    options.page.lattice = l.lattice;
    options.page.quarterTurns = l.quarterTurns;
    orla::test::WriterDotMap map(options, kRecord);
    const std::string what = std::to_string(l.dpi) + " dpi, " + (l.lattice == Lattice::Axis ? "axis" : "diagonal") +
                             ", " + std::to_string(l.quarterTurns) + " quarter turns";
    ASSERT_TRUE(map.ok()) << what;
    int referenceDots = 0;
    for (std::size_t p = 0; p < map.made().placements.size(); ++p) {
      for (int k = 0; k < 12; ++k) {
        for (const orla::pattern::LatticePoint at :
             {orla::pattern::ReferenceAPosition(k), orla::pattern::ReferenceBPosition(k)}) {
          const std::optional<Point> dot = map.Dot(static_cast<int>(p), at);
          if (!dot) continue;
          ++referenceDots;
          EXPECT_FALSE(map.reg.InsideDotField(dot->x, dot->y))
              << what << ", block " << p << " at (" << dot->x << ", " << dot->y << ")";
        }
      }
    }
    EXPECT_GT(referenceDots, 24 * static_cast<int>(map.made().placements.size()) * 9 / 10) << what;
  }
}

TEST(DotFields, AScreensLightTonesAreFieldsOfDots) {
  // A field of 9 x 9 dots on the lattice of steps u and its quarter turn; which of its centre
  // dot, the middle of its top edge and its corner lie inside.
  const struct {
    Point u;
    bool centre, edge, corner;
  } screens[] = {
      {{2, 0}, true, true, false},   // every other pixel: the edge's dots too lie between two
      {{2, 2}, true, true, false},   //
      {{4, 0}, true, false, false},  // every fourth pixel along the axes, as a 4 x 4 screen's lightest tone
      {{3, 3}, true, false, false},  // the pitch of 300 dots per inch, filled as no block is
      {{8, 0}, true, false, false},  // an 8 x 8 screen's lightest tone
      {{9, 0}, false, false, false}, // steps beyond a block's empty band are not looked at
  };
  for (const auto& s : screens) {
    CHalvoPic pic;
    orla::test::Blank(pic, 200, 200);
    const Point across{-s.u.y, s.u.x};
    const auto at = [&](int i, int j) {
      return Point{100 + (i - 4) * s.u.x + (j - 4) * across.x, 100 + (i - 4) * s.u.y + (j - 4) * across.y};
    };
    for (int i = 0; i < 9; ++i)
      for (int j = 0; j < 9; ++j) orla::test::Paint(pic, at(i, j).x, at(i, j).y);
    orla::test::StageRecognizer reg;
    reg.Use(pic);
    const std::string what = "step (" + std::to_string(s.u.x) + ", " + std::to_string(s.u.y) + ")";
    EXPECT_EQ(reg.InsideDotField(at(4, 4).x, at(4, 4).y), s.centre) << what << ", centre";
    EXPECT_EQ(reg.InsideDotField(at(4, 0).x, at(4, 0).y), s.edge) << what << ", edge";
    EXPECT_EQ(reg.InsideDotField(at(0, 0).x, at(0, 0).y), s.corner) << what << ", corner";
  }
}

}  // namespace
