// Binarization and the dot map: which dark components become dots, where their centres go,
// the noise size limit, and how both stages move the bar and see Cancel.

#include <gtest/gtest.h>

#include <vector>

#include "dot_components.h"
#include "dot_page.h"
#include "scripted_progress.h"

namespace {

using orla::Point;
using orla::test::Blank;
using orla::test::DarkPixels;
using orla::test::PaintDots;
using orla::test::PaintRect;
using orla::test::ScriptedProgress;
using orla::test::StageRecognizer;

TEST(Binarize, SplitsAtTheThreshold) {
  const std::pair<int, int> cases[] = {{0, 0}, {1, 1}, {128, 128}, {255, 255}, {256, 256}};
  for (auto [threshold, darkCount] : cases) {
    CHalvoPic pic;
    Blank(pic, 256, 1);
    for (int x = 0; x < 256; ++x) pic.rows[0][x] = static_cast<std::uint8_t>(x);
    StageRecognizer reg;
    reg.Use(pic);
    EXPECT_EQ(reg.Binarize(threshold, nullptr), orla::kRecognizeFound);
    EXPECT_EQ(DarkPixels(pic), darkCount) << threshold;
    for (int x = 0; x < 256; ++x) ASSERT_TRUE(pic.rows[0][x] == 0 || pic.rows[0][x] == 255);
  }
}

TEST(Binarize, MovesTheBarOnceAndChecksCancelAfterwards) {
  CHalvoPic pic;
  Blank(pic, 8, 8);
  StageRecognizer reg;
  reg.Use(pic);
  ScriptedProgress progress(10, 66);
  EXPECT_EQ(reg.Binarize(128, &progress), orla::kRecognizeFound);
  EXPECT_EQ(progress.positions, std::vector<int>{14});  // 10 + 56 x 8 / 100
  EXPECT_EQ(progress.pumps, 1);

  ScriptedProgress cancelling(70, 66);  // past the pass end: no share
  cancelling.cancelAtPump = 1;
  EXPECT_EQ(reg.Binarize(128, &cancelling), orla::kRecognizeCancelled);
  EXPECT_EQ(cancelling.positions, std::vector<int>{70});

  ScriptedProgress closed(10, 66);
  closed.closeAtPump = 1;
  closed.PumpMessages();
  closed.cancelAtPump = 2;
  EXPECT_EQ(reg.Binarize(128, &closed), orla::kRecognizeFound) << "a closed window is never asked";
  EXPECT_TRUE(closed.positions.empty());
}

struct Shape {
  const char* name;
  std::vector<Point> pixels;
  bool dot;
  Point centre;
};

std::vector<Point> Rect(int w, int h, int x0 = 0, int y0 = 0) {
  std::vector<Point> p;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.push_back(Point{x0 + x, y0 + y});
  return p;
}

std::vector<Point> Without(std::vector<Point> p, Point gone) {
  std::erase(p, gone);
  return p;
}

TEST(DotMap, KeepsSmallCompactSolidComponentsAtTheirCentres) {
  const Shape shapes[] = {
      {"3x3 square", Rect(3, 3), true, {1, 1}},
      {"3x3 ring", Without(Rect(3, 3), {1, 1}), false, {}},
      {"7x2 bar", Rect(7, 2), true, {3, 0}},
      {"7x3 bar", Rect(7, 3), false, {}},
      {"2x7 bar", Rect(2, 7), true, {0, 3}},
      {"3x7 bar", Rect(3, 7), false, {}},
      {"diagonal of 4", {{0, 0}, {1, 1}, {2, 2}, {3, 3}}, false, {}},
      {"diagonal of 2", {{0, 0}, {1, 1}}, true, {0, 0}},
      {"4x4 square", Rect(4, 4), true, {1, 1}},
      {"5x5 square", Rect(5, 5), false, {}},  // 25 pixels
      {"4x6 block", Rect(4, 6), true, {1, 2}},
      {"U shape", Without(Rect(3, 3), {1, 0}), false, {}},
      {"L shape", {{0, 0}, {0, 1}, {1, 1}}, true, {0, 0}},
  };
  for (const Shape& shape : shapes) {
    CHalvoPic pic;
    Blank(pic, 20, 20);
    for (const Point& p : shape.pixels) orla::test::Paint(pic, p.x + 5, p.y + 5);
    StageRecognizer reg;
    reg.Use(pic);
    ASSERT_EQ(reg.CollectComponents(nullptr), orla::kRecognizeFound);
    EXPECT_EQ(DarkPixels(pic), shape.dot ? 1 : 0) << shape.name;
    if (shape.dot) {
      EXPECT_EQ(pic.rows[5 + shape.centre.y][5 + shape.centre.x], 0) << shape.name;
    }
  }
}

TEST(DotMap, LargerDotsAmongNoiseBecomeCentres) {
  CHalvoPic pic;
  Blank(pic, 80, 40);
  // Six 3x3 dots and two single-pixel specks.
  for (int i = 0; i < 6; ++i) PaintRect(pic, 4 + 10 * i, 5, 3, 3);
  PaintDots(pic, {{10, 30}, {40, 30}});
  StageRecognizer reg;
  reg.Use(pic);
  ASSERT_EQ(reg.CollectComponents(nullptr), orla::kRecognizeFound);
  // Mode 9; sizes 1 (2 seen), 2 (none) and 3 (none): the rarest of 1 and 2 is 2, so 1.
  EXPECT_EQ(reg.noiseSizeLimit, 1);
  EXPECT_EQ(DarkPixels(pic), 6);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(pic.rows[6][5 + 10 * i], 0);
}

TEST(DotMap, TheGapTestSeesOtherComponentsInTheBox) {
  // A compact corner of 5 pixels; a lone pixel of its own in the corner's box opens a gap in
  // the box's bottom row, and the corner is rejected.
  for (const bool lonePixel : {false, true}) {
    CHalvoPic pic;
    Blank(pic, 20, 20);
    PaintDots(pic, {{5, 5}, {6, 5}, {7, 5}, {7, 6}, {7, 7}});
    if (lonePixel) PaintDots(pic, {{5, 7}});
    StageRecognizer reg;
    reg.Use(pic);
    ASSERT_EQ(reg.CollectComponents(nullptr), orla::kRecognizeFound);
    EXPECT_EQ(DarkPixels(pic), 1);
    EXPECT_EQ(lonePixel ? pic.rows[7][5] : pic.rows[6][6], 0) << lonePixel;
  }
}

TEST(DotMap, WithoutCandidatesEveryPixelIsWhite) {
  CHalvoPic pic;
  Blank(pic, 30, 30);
  PaintRect(pic, 2, 2, 20, 20);  // 400 pixels: too big
  StageRecognizer reg;
  reg.Use(pic);
  ASSERT_EQ(reg.CollectComponents(nullptr), orla::kRecognizeFound);
  EXPECT_EQ(DarkPixels(pic), 0);
}

TEST(DotMap, HugeComponentsEndTheirFillEarlyAndLeaveNoDot) {
  CHalvoPic pic;
  Blank(pic, 120, 120);
  PaintRect(pic, 0, 0, 110, 110);  // 12100 pixels: three fills of at most 5000
  StageRecognizer reg;
  reg.Use(pic);
  ASSERT_EQ(reg.CollectComponents(nullptr), orla::kRecognizeFound);
  EXPECT_EQ(DarkPixels(pic), 0);
}

TEST(FloodFill, StopsAtFiveThousandPixels) {
  std::vector<std::uint8_t> raster(100 * 60, 0);
  std::vector<std::uint8_t*> rows;
  for (int y = 0; y < 60; ++y) rows.push_back(&raster[static_cast<std::size_t>(y) * 100]);
  auto fill = std::make_unique<orla::FillList>();
  orla::ComponentExtent extent{0, 50, 50, 30, 30};
  EXPECT_EQ(orla::FloodFillComponent(*fill, 50, 30, rows, 100, 60, extent), 0);
  EXPECT_EQ(extent.count, 5000);
  int left = 0;
  for (std::uint8_t v : raster) left += v == 0;
  EXPECT_EQ(left, 1000);

  orla::ComponentExtent small{0, 2, 2, 1, 1};
  std::vector<std::uint8_t> tiny = {255, 0, 255, 255,  //
                                    0,   255, 0, 255,  //
                                    255, 0, 255, 0};
  std::vector<std::uint8_t*> tinyRows = {&tiny[0], &tiny[4], &tiny[8]};
  EXPECT_EQ(orla::FloodFillComponent(*fill, 2, 1, tinyRows, 4, 3, small), 1);
  EXPECT_EQ(small.count, 5);
  EXPECT_EQ((std::array{small.minX, small.maxX, small.minY, small.maxY}), (std::array{0, 3, 0, 2}));
  // Breadth first, neighbours from up clockwise through left: up-left, left, down-left, ...
  EXPECT_EQ(fill->at(1), (Point{1, 0}));
  EXPECT_EQ(fill->at(2), (Point{1, 2}));
  EXPECT_EQ(fill->at(3), (Point{3, 2}));
}

struct LimitCase {
  std::vector<std::pair<int, int>> sizes;  // pixel count, components seen
  int limit;
};

TEST(NoiseSizeLimit, LearnsWhereNoiseEnds) {
  const LimitCase cases[] = {
      {{}, 22},                                    // nothing seen: the largest count is the mode
      {{{3, 50}, {1, 2}}, 0},                      // mode 3 or less: no noise
      {{{12, 20}, {1, 10}, {2, 4}, {3, 7}}, 1},    // the rarest of 1 and 2 is 2
      {{{12, 20}, {1, 10}, {2, 4}, {3, 1}}, 2},    // 3 rarer still
      {{{12, 20}, {1, 3}, {2, 4}, {3, 7}}, 1},     // m = 1 gives 1
      {{{5, 30}, {1, 30}, {2, 30}, {3, 30}}, 3},   // tie: mode 5; m stays 5: 4, then lowered
      {{{4, 30}, {1, 30}, {2, 30}, {3, 30}}, 2},   // 3, then lowered to 2
      {{{4, 20}, {1, 10}, {2, 10}, {3, 1}}, 1},    // 2 from size 3, lowered next to the mode
      {{{5, 9}, {9, 9}}, 1},                       // tie: mode 9; sizes 1 to 3 unseen
      {{{9, 30}, {1, 5}, {2, 40}, {3, 40}}, 0},    // the mode is 3
      {{{9, 50}, {1, 5}, {2, 40}, {3, 40}}, 1},
  };
  for (const LimitCase& c : cases) {
    orla::SizeHistogram h{};
    for (auto [n, seen] : c.sizes) h[static_cast<std::size_t>(n)] = seen;
    EXPECT_EQ(orla::NoiseSizeLimit(h), c.limit);
  }
}

TEST(DotMap, MovesTheBarWithThePixelsAndStopsOnCancel) {
  CHalvoPic pic;
  Blank(pic, 10, 10);
  PaintRect(pic, 1, 1, 2, 2);
  PaintRect(pic, 6, 6, 2, 2);
  StageRecognizer reg;
  reg.Use(pic);
  ScriptedProgress progress(0, 50);  // share 10: one step every ten pixels
  EXPECT_EQ(reg.CollectComponents(&progress), orla::kRecognizeFound);
  EXPECT_EQ(progress.pumps, 100);
  EXPECT_EQ(progress.positions, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(DarkPixels(pic), 2);

  CHalvoPic second;
  Blank(second, 10, 10);
  PaintRect(second, 1, 1, 2, 2);
  PaintRect(second, 6, 6, 2, 2);
  reg.Use(second);
  ScriptedProgress cancelling(0, 50);
  cancelling.cancelAtPump = 30;  // before the second dot is reached
  EXPECT_EQ(reg.CollectComponents(&cancelling), orla::kRecognizeCancelled);
  EXPECT_EQ(cancelling.pumps, 30);
  EXPECT_EQ(DarkPixels(second), 1) << "what was collected before the cancel is painted";
  EXPECT_EQ(second.rows[1][1], 0);

  // A window closed during the scan is left alone from then on.
  CHalvoPic third;
  Blank(third, 10, 10);
  PaintRect(third, 6, 6, 2, 2);
  reg.Use(third);
  ScriptedProgress closing(0, 50);
  closing.closeAtPump = 20;
  EXPECT_EQ(reg.CollectComponents(&closing), orla::kRecognizeFound);
  EXPECT_EQ(closing.pumps, 20);
  EXPECT_EQ(DarkPixels(third), 1);
}

TEST(DotMap, AWindowThatAsksForFewerVisitsIsVisitedEveryThatManyPixels) {
  CHalvoPic pic;
  Blank(pic, 10, 10);
  PaintRect(pic, 1, 1, 2, 2);
  PaintRect(pic, 6, 6, 2, 2);
  StageRecognizer reg;
  reg.Use(pic);
  ScriptedProgress progress(0, 50);  // share 10 over 100 pixels
  progress.pixelsPerVisit = 16;      // pixels 0, 16, 32, ..., 96
  EXPECT_EQ(reg.CollectComponents(&progress), orla::kRecognizeFound);
  EXPECT_EQ(progress.pumps, 7);
  EXPECT_EQ(progress.positions, (std::vector<int>{1, 3, 4, 6, 8, 9}));
  EXPECT_EQ(DarkPixels(pic), 2) << "the dots are collected as they are with a visit every pixel";

  CHalvoPic second;
  Blank(second, 10, 10);
  PaintRect(second, 1, 1, 2, 2);
  PaintRect(second, 6, 6, 2, 2);
  reg.Use(second);
  ScriptedProgress cancelling(0, 50);
  cancelling.pixelsPerVisit = 16;
  cancelling.cancelAtPump = 3;  // at pixel 32, before the second dot
  EXPECT_EQ(reg.CollectComponents(&cancelling), orla::kRecognizeCancelled);
  EXPECT_EQ(DarkPixels(second), 1);
}

}  // namespace
