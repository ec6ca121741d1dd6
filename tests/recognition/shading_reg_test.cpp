// The recognizer object: what construction and the per-page reset leave in it.

#include <gtest/gtest.h>

#include <cmath>

#include "dot_page.h"

namespace {

using orla::Point;
using orla::test::StageRecognizer;

TEST(ShadingRegConstruction, StartsAtSixHundredDotsPerInchWithEmptyTables) {
  StageRecognizer reg;
  EXPECT_EQ(reg.resolution, 600);
  EXPECT_EQ(reg.pageDpiX, 600);
  EXPECT_EQ(reg.pageDpiY, 600);
  EXPECT_EQ(reg.noiseSizeLimit, 2);
  EXPECT_EQ(reg.blockPeriod, (Point{0, 0}));
  EXPECT_EQ(reg.pointCount, 0);
  EXPECT_EQ(reg.points[299], (Point{0, 0}));
  EXPECT_EQ(reg.expectedPayloadLength, 0);
  EXPECT_EQ(reg.page, nullptr);
  EXPECT_DOUBLE_EQ(reg.dotPitch, 8.485281374238571);
  EXPECT_EQ(reg.dotPitch, std::sqrt(2.0) * 6.0);
  // The reset at the end of construction leaves the reference tables at (-1, -1).
  EXPECT_EQ(reg.refA[0], (Point{-1, -1}));
  EXPECT_EQ(reg.refB[11], (Point{-1, -1}));
  EXPECT_EQ(reg.blockSlots[99].cell.blockNumber, -1);
}

TEST(ShadingRegReset, ClearsThePassStateAndKeepsWhatCarriesOver) {
  StageRecognizer reg;
  CHalvoPic pic;
  orla::test::Blank(pic, 4, 4);
  reg.Use(pic);
  reg.resolution = 300;
  reg.dotPitch = 4.0;
  reg.slotsUsed = 5;
  reg.payload[699] = 7;
  reg.payloadHeader[23] = 9;
  reg.refA[3] = Point{1, 2};
  reg.refB[4] = Point{3, 4};
  BlockSlot& slot = reg.blockSlots[42];
  slot.votes[9].blockNumber = 42;
  slot.votes[9].data[6] = 1;
  slot.history[0].present[15] = 1;
  slot.history[0].checkByte = 0xAA;
  slot.history[0].symbolCount = 16;
  slot.cell.blockNumber = 3;
  slot.historyCount = 2;
  slot.voteCount = 3;
  slot.complete = 1;
  reg.pointCount = 4;
  reg.points[3] = Point{5, 6};
  reg.blockPeriod = Point{66, 66};
  reg.noiseSizeLimit = 1;
  reg.expectedPayloadLength = 40;

  reg.ResetPage();

  EXPECT_EQ(reg.resolution, 600);
  EXPECT_EQ(reg.dotPitch, std::sqrt(2.0) * 6.0);
  EXPECT_EQ(reg.slotsUsed, 0);
  EXPECT_EQ(reg.payload[699], 0);
  EXPECT_EQ(reg.payloadHeader[23], 0);
  for (const Point& p : reg.refA) EXPECT_EQ(p, (Point{-1, -1}));
  for (const Point& p : reg.refB) EXPECT_EQ(p, (Point{-1, -1}));
  EXPECT_EQ(slot.votes[9].blockNumber, -1);
  EXPECT_EQ(slot.votes[9].data[6], 0);
  EXPECT_EQ(slot.history[0].present[15], 0);
  EXPECT_EQ(slot.history[0].checkByte, 0);
  EXPECT_EQ(slot.history[0].symbolCount, 0);
  EXPECT_EQ(slot.cell.blockNumber, -1);
  EXPECT_EQ(slot.historyCount, 0);
  EXPECT_EQ(slot.voteCount, 0);
  EXPECT_EQ(slot.complete, 0);
  // Kept: the point table, the block period, the noise limit, the payload length, the page.
  EXPECT_EQ(reg.pointCount, 4);
  EXPECT_EQ(reg.points[3], (Point{5, 6}));
  EXPECT_EQ(reg.blockPeriod, (Point{66, 66}));
  EXPECT_EQ(reg.noiseSizeLimit, 1);
  EXPECT_EQ(reg.expectedPayloadLength, 40);
  EXPECT_EQ(reg.page, &pic);
  EXPECT_EQ(reg.pageWidth, 4);
}

}  // namespace
