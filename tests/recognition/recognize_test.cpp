// The pass loop: thresholds, what it returns and leaves behind, the progress bar and Cancel,
// on blank pages, pages of marks that are not a pattern, and small pattern pages.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "dot_page.h"
#include "pass_thresholds.h"
#include "pattern_writer.h"
#include "record_expect.h"
#include "same_binarization.h"
#include "scripted_progress.h"
#include "tracking_records.h"

namespace {

using orla::test::ScriptedProgress;

const orla::pattern::PatternRecord kRecord{"260102030405", "SER1", "0011223344AB", "user", "job.pdf", "desc"};

class Recognize : public ::testing::Test {
 protected:
  void SetUp() override { ClearTrackingRecords(); }
  void TearDown() override { ClearTrackingRecords(); }
};

// A small pattern page at 300 dots per inch.
void PatternPage(CHalvoPic& pic, const orla::pattern::PatternRecord& record = kRecord) {
  orla::pattern::PatternOptions options;
  options.page.dpi = 300;
  options.page.dotSize = 2;
  const orla::pattern::PatternPage made = orla::pattern::MakePatternPage(record, options);
  ASSERT_TRUE(made.ok()) << made.error;
  ASSERT_TRUE(orla::pattern::ToHalvoPic(made.page, pic));
}

std::vector<std::uint8_t> Pixels(const CHalvoPic& pic) {
  std::vector<std::uint8_t> pixels;
  for (int y = 0; y < pic.height; ++y) {
    pixels.insert(pixels.end(), pic.rows[static_cast<std::size_t>(y)].get(),
                  pic.rows[static_cast<std::size_t>(y)].get() + pic.stride);
  }
  return pixels;
}

// Word-like rows of strokes, letter boxes and full stops: marks of every size, none of them
// a pattern.
void TextLikePage(CHalvoPic& pic) {
  orla::test::Blank(pic, 640, 300);
  std::mt19937 random(42);
  for (int line = 20; line + 20 < pic.height; line += 30) {
    int x = 15;
    while (x + 40 < pic.width) {
      const int letters = 2 + static_cast<int>(random() % 7);
      for (int l = 0; l < letters; ++l, x += 12) {
        const int height = random() % 3 == 0 ? 18 : 12;
        orla::test::PaintRect(pic, x, line + 18 - height, 2, height);
        if (random() % 2 == 0) orla::test::PaintRect(pic, x, line + 6, 8, 2);
        if (random() % 2 == 0) orla::test::PaintRect(pic, x + 6, line + 6, 2, 12);
        if (random() % 3 == 0) orla::test::PaintRect(pic, x, line + 16, 8, 2);
        if (random() % 5 == 0) orla::test::PaintRect(pic, x + 3, line + 1, 2, 2);  // the dot of an i
      }
      orla::test::PaintRect(pic, x, line + 16, 3, 3);  // a full stop
      x += 14;
    }
  }
}

void SpeckPage(CHalvoPic& pic) {
  orla::pattern::PageOptions options;
  options.width = 500;
  options.height = 400;
  options.damage.specks = 3000;
  const orla::pattern::PaintedPage painted = orla::pattern::PaintBlocks({}, options);
  ASSERT_TRUE(painted.error.empty()) << painted.error;
  ASSERT_TRUE(orla::pattern::ToHalvoPic(painted.page, pic));
}

// Dots on a regular lattice, like a halftone, with no frame anywhere.
void DotFieldPage(CHalvoPic& pic) {
  orla::test::Blank(pic, 400, 300);
  std::mt19937 random(9);
  for (int y = 6; y + 3 < pic.height; y += 6)
    for (int x = 6 + (y / 6 % 2) * 6; x + 3 < pic.width; x += 12)
      if (random() % 2 == 0) orla::test::PaintRect(pic, x, y, 3, 3, 40);
}

TEST(PassThresholds, FromThePageEstimate) {
  const struct {
    int t0;
    std::array<int, 3> thresholds;
  } cases[] = {{200, {200, 125, 235}}, {201, {201, 125, 185}}, {160, {160, 185, 235}}, {161, {161, 125, 235}},
               {249, {249, 125, 185}}, {125, {125, 185, 235}}, {192, {192, 125, 235}}};
  for (const auto& c : cases) EXPECT_EQ(orla::PassThresholds(c.t0), c.thresholds) << c.t0;
}

TEST(AlikeBefore, ThresholdsWithNoGreyOfThePageBetweenThemMakeOnePage) {
  // Thresholds 192, 125, 235: a grey is dark below a threshold.
  const struct {
    std::vector<std::uint8_t> greys;
    std::array<bool, 3> alike;
  } cases[] = {
      {{0, 255}, {false, true, true}},  {{100, 240}, {false, true, true}}, {{150}, {false, false, true}},
      {{200}, {false, true, false}},    {{192}, {false, true, false}},     {{191}, {false, false, true}},
      {{150, 200}, {false, false, false}}, {{234, 0}, {false, true, false}}, {{235}, {false, true, true}},
  };
  for (const auto& c : cases) {
    CHalvoPic pic;
    orla::test::Blank(pic, 8, 3);
    for (std::size_t i = 0; i < c.greys.size(); ++i) pic.rows[1][i] = c.greys[i];
    EXPECT_EQ(orla::AlikeBefore(pic, std::array<int, 3>{192, 125, 235}), c.alike) << int{c.greys[0]};
  }
}

TEST_F(Recognize, NothingFoundOnPagesWithoutAPatternAfterTheLastPass) {
  const struct {
    const char* name;
    void (*make)(CHalvoPic&);
  } pages[] = {
      {"blank", [](CHalvoPic& pic) { orla::test::Blank(pic, 300, 200); }},
      {"random specks", SpeckPage},
      {"text-like marks", TextLikePage},
      {"a field of dots", DotFieldPage},
  };
  for (const auto& p : pages) {
    CHalvoPic pic;
    p.make(pic);
    pic.dpiX = pic.dpiY = 600;
    const std::vector<std::uint8_t> before = Pixels(pic);
    ScriptedProgress progress(0, 100);
    pic.progress = &progress;
    CShadingReg reg;
    EXPECT_EQ(reg.Recognize(&pic, 0), orla::kRecognizeNothingFound) << p.name;
    EXPECT_TRUE(g_TrackingRecords.empty()) << p.name;
    EXPECT_EQ(progress.PassEnd(), 100) << p.name << ": the bar went on to the last pass";
    ASSERT_FALSE(progress.positions.empty()) << p.name;
    EXPECT_EQ(progress.positions.back(), 100) << p.name;
    EXPECT_TRUE(std::is_sorted(progress.positions.begin(), progress.positions.end())) << p.name;
    EXPECT_LE(*std::max_element(progress.positions.begin(), progress.positions.end() - 1), 99) << p.name;
    EXPECT_EQ(Pixels(pic), before) << p.name << ": the caller's page is never changed";
    EXPECT_EQ(reg.page, nullptr) << p.name << ": nothing points at a freed pass copy";
  }
}

// A pass reads nothing but its black and white page: a threshold that makes the page an earlier
// pass read in vain is not read again. The bar then stays in the first pass's third until the
// end; a page with greys between the thresholds is read by every pass.
TEST_F(Recognize, APageEveryThresholdMakesAlikeIsReadOnce) {
  const struct {
    const char* name;
    bool grey;
  } pages[] = {{"a field of dots", false}, {"the same field over a grey ramp", true}};
  for (const auto& p : pages) {
    CHalvoPic pic;
    DotFieldPage(pic);
    if (p.grey) {
      for (int y = 0; y < pic.height; ++y) {
        for (int x = 0; x < pic.width; ++x) {
          std::uint8_t& v = pic.rows[static_cast<std::size_t>(y)][x];
          if (v == 255) v = static_cast<std::uint8_t>(100 + 155 * x / pic.width);
        }
      }
    }
    pic.dpiX = pic.dpiY = 600;
    ScriptedProgress progress(0, 100);
    pic.progress = &progress;
    CShadingReg reg;
    EXPECT_EQ(reg.Recognize(&pic, 0), orla::kRecognizeNothingFound) << p.name;
    ASSERT_GE(progress.positions.size(), 2u) << p.name;
    const int highest = *std::max_element(progress.positions.begin(), progress.positions.end() - 1);
    if (p.grey) {
      EXPECT_GT(highest, 66) << p.name << ": the third pass ran";
    } else {
      EXPECT_LE(highest, 33) << p.name << ": only the first pass ran";
    }
  }
}

TEST_F(Recognize, APatternPageDecodesAndStaysAsItWas) {
  CHalvoPic pic;
  PatternPage(pic);
  const std::vector<std::uint8_t> before = Pixels(pic);
  ScriptedProgress progress(0, 100);
  pic.progress = &progress;
  CShadingReg reg;
  ASSERT_EQ(reg.Recognize(&pic, 0), orla::kRecognizeFound);
  ASSERT_EQ(g_TrackingRecords.size(), 1u);
  orla::test::ExpectRecord(g_TrackingRecords[0], kRecord);
  EXPECT_EQ(progress.PassEnd(), 33) << "the first pass found it";
  EXPECT_EQ(progress.positions.back(), 100);
  EXPECT_EQ(Pixels(pic), before);
  EXPECT_EQ(reg.page, nullptr);

  // The same recognizer serves the next page of a file; this one has no resolution (as a
  // PDF page has none) and a different record.
  const orla::pattern::PatternRecord second{"270203040506", "X", "", "", "", ""};
  CHalvoPic next;
  PatternPage(next, second);
  next.dpiX = next.dpiY = 0;
  ASSERT_EQ(reg.Recognize(&next, 0), orla::kRecognizeFound);
  ASSERT_EQ(g_TrackingRecords.size(), 2u);
  orla::test::ExpectRecord(g_TrackingRecords[1], second);
  orla::test::ExpectRecord(g_TrackingRecords[0], kRecord);
}

TEST_F(Recognize, NothingOnePassCollectedIsLeftForTheNext) {
  // Pale dots on white: the page's own threshold (pass 1) reads every block, the fixed ones of
  // passes 2 and 3 see blank paper. The record is one the text rules refuse, so pass 1 ends
  // with its slots full and no record.
  orla::pattern::PatternOptions options;
  options.page.dpi = 300;
  options.page.dotSize = 2;
  options.page.dotGrey = 210;
  const orla::pattern::PatternPage made =
      orla::pattern::MakePatternPage({"261210090745", "LM402117830", "", "", "", ""}, options);
  ASSERT_TRUE(made.ok()) << made.error;
  CHalvoPic pic;
  ASSERT_TRUE(orla::pattern::ToHalvoPic(made.page, pic));
  orla::test::StageRecognizer probe;
  probe.Use(pic);
  probe.resolution = 300;
  const int t0 = probe.ComputeThreshold();
  ASSERT_GT(t0, 210) << "pass 1 sees the dots, and passes 2 and 3 (thresholds 125 and 185) do not";

  ScriptedProgress progress(0, 100);
  pic.progress = &progress;
  CShadingReg reg;
  EXPECT_EQ(reg.Recognize(&pic, 0), orla::kRecognizeNothingFound);
  EXPECT_EQ(progress.PassEnd(), 100);
  EXPECT_TRUE(g_TrackingRecords.empty());
  // The last pass read (pass 2: pass 3's threshold makes the same blank page) started from
  // empty slots and found nothing to put in them.
  EXPECT_EQ(reg.slotsUsed, 0);
  for (const BlockSlot& slot : reg.blockSlots) {
    EXPECT_EQ(slot.voteCount, 0);
    EXPECT_EQ(slot.historyCount, 0);
    EXPECT_EQ(slot.complete, 0);
  }
}

TEST_F(Recognize, EveryPassStartsFromTheSmallerOfThePagesTwoResolutions) {
  // On a blank page no block re-estimates it, so the last pass's starting value stays.
  for (const auto& [dpiX, dpiY] : {std::pair{300, 600}, std::pair{600, 300}}) {
    CHalvoPic pic;
    orla::test::Blank(pic, 60, 40);
    pic.dpiX = dpiX;
    pic.dpiY = dpiY;
    CShadingReg reg;
    EXPECT_EQ(reg.Recognize(&pic, 0), orla::kRecognizeNothingFound);
    EXPECT_EQ(reg.resolution, 300) << dpiX << " x " << dpiY;
    EXPECT_EQ(reg.pageDpiX, dpiX);
    EXPECT_EQ(reg.pageDpiY, dpiY);
  }
}

TEST_F(Recognize, PagesItCannotReadAreNothingFound) {
  const struct {
    const char* name;
    void (*spoil)(CHalvoPic&);
  } cases[] = {
      {"24 bits per pixel", [](CHalvoPic& pic) { pic.bitsPerPixel = 24; }},
      {"1 bit per pixel", [](CHalvoPic& pic) { pic.bitsPerPixel = 1; }},
      {"no rows", [](CHalvoPic& pic) { pic.rows.clear(); }},
      {"fewer rows than lines", [](CHalvoPic& pic) { pic.rows.pop_back(); }},
      {"a missing row", [](CHalvoPic& pic) { pic.rows[3].reset(); }},
      {"freed", [](CHalvoPic& pic) { pic.Free(); }},
      {"width 0", [](CHalvoPic& pic) { pic.width = 0; }},
      {"height 0", [](CHalvoPic& pic) { pic.height = 0; }},
      {"negative width", [](CHalvoPic& pic) { pic.width = -5; }},
      {"rows shorter than the width", [](CHalvoPic& pic) { pic.width = pic.stride + 1; }},
  };
  for (const auto& c : cases) {
    CHalvoPic pic;
    orla::test::Blank(pic, 40, 30);
    c.spoil(pic);
    ScriptedProgress progress(10, 100);
    pic.progress = &progress;
    CShadingReg reg;
    EXPECT_EQ(reg.Recognize(&pic, 0), orla::kRecognizeNothingFound) << c.name;
    EXPECT_EQ(progress.positions, std::vector<int>{100}) << c.name;
    EXPECT_EQ(reg.page, nullptr) << c.name;
  }
  CShadingReg reg;
  EXPECT_EQ(reg.Recognize(nullptr, 0), orla::kRecognizeNothingFound);
  EXPECT_TRUE(g_TrackingRecords.empty());
}

TEST_F(Recognize, CancelEndsTheRunWithoutARecord) {
  // Per pass on a blank page of W x H pixels: 1 pump after binarizing, W x H while collecting
  // components, W x H in the first block search; then 1 between passes. Two of its pixels are
  // greys between the thresholds (125, 192, 235), so that every pass reads a page of its own.
  constexpr int kW = 60;
  constexpr int kH = 40;
  constexpr int kPass = 2 * kW * kH + 1;
  const struct {
    const char* name;
    int cancelAt;
    int pumps;  // every pump of the run, the last one after the bar is set to 100
    int passEnd;
  } cases[] = {
      {"while collecting components in pass 1", 100, 101, 33},
      {"in the first block search of pass 2", kPass + 1 + kW * kH + 50, kPass + 1 + kW * kH + 51, 66},
      {"between passes 1 and 2: ends at once", kPass + 1, kPass + 2, 33},
      {"between passes 2 and 3", 2 * (kPass + 1), 2 * (kPass + 1) + 1, 66},
      {"after pass 3", 3 * (kPass + 1), 3 * (kPass + 1) + 1, 100},
  };
  for (const auto& c : cases) {
    CHalvoPic pic;
    orla::test::Blank(pic, kW, kH);
    pic.rows[0][0] = 150;
    pic.rows[0][1] = 210;
    ScriptedProgress progress(0, 100);
    progress.cancelAtPump = c.cancelAt;
    pic.progress = &progress;
    CShadingReg reg;
    EXPECT_EQ(reg.Recognize(&pic, 0), orla::kRecognizeCancelled) << c.name;
    EXPECT_EQ(progress.pumps, c.pumps) << c.name;
    EXPECT_EQ(progress.PassEnd(), c.passEnd) << c.name;
    EXPECT_EQ(progress.positions.back(), 100) << c.name;
  }

  // On a pattern page: cancelled in the first block search, and late in the collection.
  CHalvoPic pic;
  PatternPage(pic);
  ScriptedProgress reference(0, 100);
  pic.progress = &reference;
  CShadingReg reg;
  ASSERT_EQ(reg.Recognize(&pic, 0), orla::kRecognizeFound);
  ClearTrackingRecords();
  const int pixels = pic.width * pic.height;
  for (const int at : {1 + pixels + 1, reference.pumps - 3}) {
    ScriptedProgress progress(0, 100);
    progress.cancelAtPump = at;
    pic.progress = &progress;
    EXPECT_EQ(reg.Recognize(&pic, 0), orla::kRecognizeCancelled) << at;
    EXPECT_TRUE(g_TrackingRecords.empty()) << at;
    EXPECT_EQ(progress.pumps, at + 1) << at;
  }
}

TEST_F(Recognize, AWindowVisitedEveryFewThousandPixelsGivesTheSameResults) {
  CHalvoPic pic;
  PatternPage(pic);
  ScriptedProgress sparse(0, 100);
  sparse.pixelsPerVisit = 4096;
  pic.progress = &sparse;
  CShadingReg reg;
  ASSERT_EQ(reg.Recognize(&pic, 0), orla::kRecognizeFound);
  ASSERT_EQ(g_TrackingRecords.size(), 1u);
  orla::test::ExpectRecord(g_TrackingRecords[0], kRecord);
  EXPECT_EQ(sparse.positions.back(), 100);
  EXPECT_LT(sparse.pumps, pic.width * pic.height / 1000);

  // A cancel is still seen at the next visit.
  ClearTrackingRecords();
  ScriptedProgress cancelling(0, 100);
  cancelling.pixelsPerVisit = 4096;
  cancelling.cancelAtPump = 5;
  pic.progress = &cancelling;
  EXPECT_EQ(reg.Recognize(&pic, 0), orla::kRecognizeCancelled);
  EXPECT_EQ(cancelling.pumps, 6) << "the cancelling visit and the last one at 100";
  EXPECT_TRUE(g_TrackingRecords.empty());
}

TEST_F(Recognize, WithoutAWorkingProgressWindowItIsNeverCancelled) {
  CHalvoPic pic;
  PatternPage(pic);
  CShadingReg reg;
  EXPECT_EQ(reg.Recognize(&pic, 0), orla::kRecognizeFound);

  // Closed in the first pass: it is never drawn on or asked again, not even at the end.
  ScriptedProgress closing(0, 100);
  closing.closeAtPump = 50;
  closing.cancelAtPump = 51;
  pic.progress = &closing;
  EXPECT_EQ(reg.Recognize(&pic, 0), orla::kRecognizeFound);
  EXPECT_EQ(closing.pumps, 50);
  EXPECT_EQ(g_TrackingRecords.size(), 2u);

  CHalvoPic blank;
  orla::test::Blank(blank, 50, 50);
  EXPECT_EQ(reg.Recognize(&blank, 0), orla::kRecognizeNothingFound);
}

TEST_F(Recognize, ASinglePassReadsABlackAndWhitePageAsItIs) {
  CHalvoPic pic;
  PatternPage(pic);
  // A page scanned at 1 bit per pixel: black and white already, no binarization.
  for (int y = 0; y < pic.height; ++y)
    for (int x = 0; x < pic.width; ++x) {
      std::uint8_t& v = pic.rows[static_cast<std::size_t>(y)][x];
      v = v < 128 ? 0 : 255;
    }
  ScriptedProgress progress(0, 50);
  pic.progress = &progress;
  CShadingReg reg;
  ASSERT_EQ(reg.Recognize(&pic, 1), orla::kRecognizeFound);
  orla::test::ExpectRecord(g_TrackingRecords.at(0), kRecord);
  EXPECT_EQ(progress.PassEnd(), 100);

  // Nothing found: one pass only, and no pump for binarizing or between passes.
  CHalvoPic blank;
  orla::test::Blank(blank, 30, 20);
  ScriptedProgress once(0, 100);
  blank.progress = &once;
  EXPECT_EQ(reg.Recognize(&blank, 1), orla::kRecognizeNothingFound);
  EXPECT_EQ(once.pumps, 2 * 30 * 20 + 1);
  EXPECT_EQ(once.PassEnd(), 100);
  EXPECT_EQ(once.positions.back(), 100);
}

}  // namespace
