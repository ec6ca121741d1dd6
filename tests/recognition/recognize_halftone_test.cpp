// A photo printed above the pattern: its ordered-dither screen leaves lattices of specks that
// pass for a block, and the search must not end at such a block. Pages at 600 dots per inch
// with the photo in their top 40 percent, for each kind of screen.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "dot_page.h"
#include "halftone.h"
#include "pass_thresholds.h"
#include "record_expect.h"
#include "scripted_progress.h"
#include "tracking_records.h"
#include "writer_options.h"

namespace {

using orla::pattern::Compression;
using orla::pattern::HalftoneScreen;
using orla::pattern::PatternRecord;

constexpr HalftoneScreen kScreens[] = {HalftoneScreen::Dispersed8x8, HalftoneScreen::Clustered6x6,
                                       HalftoneScreen::Dispersed4x4};
constexpr double kPhotoShare = 0.4;
// Half an A4 page at 600 dots per inch: room for the photo and some forty copies of a block.
constexpr int kWidth = 3508;
constexpr int kHeight = 2480 * 2;

const PatternRecord kRecord{"260314151617", "LM40299001", "00A0C9AA01FE", "photo-desk", "holiday-prints.pdf",
                            "Studio"};

orla::pattern::PatternPage PhotoPage(HalftoneScreen screen, bool withPattern,
                                     Compression compression = Compression::Gzip, std::uint64_t seed = 1) {
  orla::pattern::PatternOptions options = orla::test::WriterOptions(600, orla::pattern::Lattice::Diagonal, 0, compression);
  options.page.width = kWidth;
  options.page.height = kHeight;
  options.page.seed = seed;
  return orla::pattern::MakeHalftonePage(kRecord, options, screen, kPhotoShare, withPattern);
}

std::string What(HalftoneScreen screen, Compression compression = Compression::Gzip) {
  return std::string(orla::pattern::NameOf(screen)) + (compression == Compression::Gzip ? ", gzip" : ", plain");
}

class HalftonePages : public ::testing::Test {
 protected:
  void SetUp() override { ClearTrackingRecords(); }
  void TearDown() override { ClearTrackingRecords(); }
};

// What the issue saw: every pass's threshold gives the same dot map of the screen, and the first
// block found in it lies inside the photo, with a pitch and a period the pattern does not have.
TEST_F(HalftonePages, TheFirstBlockFoundLiesInThePhoto) {
  for (const HalftoneScreen screen : kScreens) {
    const orla::pattern::PatternPage made = PhotoPage(screen, true);
    ASSERT_TRUE(made.ok()) << made.error;
    CHalvoPic page;
    ASSERT_TRUE(orla::pattern::ToHalvoPic(made.page, page));
    orla::test::StageRecognizer reg;
    reg.Use(page);
    const std::array<int, orla::kPasses> thresholds = orla::PassThresholds(reg.ComputeThreshold());
    for (const int threshold : thresholds) {
      const std::string what = What(screen) + ", threshold " + std::to_string(threshold);
      CHalvoPic work;
      work = page;
      reg.Use(work);
      reg.ResetPage();
      ASSERT_EQ(reg.Binarize(threshold, nullptr), orla::kRecognizeFound);
      ASSERT_EQ(reg.CollectComponents(nullptr), orla::kRecognizeFound);
      ASSERT_EQ(reg.FindFirstBlock(nullptr), orla::kRecognizeFound) << what;
      EXPECT_LT(std::max(reg.refA[0].y, reg.refB[11].y), static_cast<int>(kHeight * kPhotoShare)) << what;
      EXPECT_NE(reg.resolution, 600) << what;
      if (screen == HalftoneScreen::Dispersed4x4) {
        // The screen's specks every 4 pixels along the axes: 4 x 100 / sqrt 2 = 282, taken for
        // 300 dots per inch.
        EXPECT_EQ(reg.resolution, 300) << what;
        EXPECT_NEAR(reg.dotPitch, 4.243, 0.001) << what;
        EXPECT_EQ(std::abs(reg.blockPeriod.x) + std::abs(reg.blockPeriod.y), 44) << what;
        EXPECT_EQ(reg.blockPeriod.x * reg.blockPeriod.y, 0) << what;
      }
    }
  }
}

TEST_F(HalftonePages, ThePatternBelowAPhotoGivesItsRecord) {
  const struct {
    HalftoneScreen screen;
    Compression compression;
  } cases[] = {{HalftoneScreen::Dispersed8x8, Compression::Gzip},
               {HalftoneScreen::Clustered6x6, Compression::Gzip},
               {HalftoneScreen::Dispersed4x4, Compression::Gzip},
               {HalftoneScreen::Dispersed4x4, Compression::Plain}};
  for (const auto& c : cases) {
    const std::string what = What(c.screen, c.compression);
    const orla::pattern::PatternPage made = PhotoPage(c.screen, true, c.compression);
    ASSERT_TRUE(made.ok()) << made.error;
    CHalvoPic page;
    ASSERT_TRUE(orla::pattern::ToHalvoPic(made.page, page));
    ClearTrackingRecords();
    CShadingReg reg;
    EXPECT_EQ(reg.Recognize(&page, 0), orla::kRecognizeFound) << what;
    EXPECT_EQ(g_TrackingRecords.size(), 1u) << what;
    if (!g_TrackingRecords.empty()) orla::test::ExpectRecord(g_TrackingRecords[0], kRecord, what);
  }
}

// Past the photo's false blocks the bar still only moves forward, stays below 100 until the
// end, and a Cancel pressed while the search goes on past them ends the run at that visit.
TEST_F(HalftonePages, TheSearchPastAFalseBlockKeepsTheBarAndCancel) {
  const orla::pattern::PatternPage made = PhotoPage(HalftoneScreen::Dispersed4x4, true);
  ASSERT_TRUE(made.ok()) << made.error;
  CHalvoPic page;
  ASSERT_TRUE(orla::pattern::ToHalvoPic(made.page, page));
  orla::test::ScriptedProgress reference(0, 100);
  reference.pixelsPerVisit = 4096;
  page.progress = &reference;
  CShadingReg reg;
  ASSERT_EQ(reg.Recognize(&page, 0), orla::kRecognizeFound);
  ASSERT_EQ(g_TrackingRecords.size(), 1u);
  ASSERT_GE(reference.positions.size(), 2u);
  EXPECT_TRUE(std::is_sorted(reference.positions.begin(), reference.positions.end()));
  EXPECT_LE(*std::max_element(reference.positions.begin(), reference.positions.end() - 1), 99);
  EXPECT_EQ(reference.positions.back(), 100);

  for (const int at : {reference.pumps / 2, reference.pumps * 9 / 10}) {
    ClearTrackingRecords();
    orla::test::ScriptedProgress cancelling(0, 100);
    cancelling.pixelsPerVisit = 4096;
    cancelling.cancelAtPump = at;
    page.progress = &cancelling;
    EXPECT_EQ(reg.Recognize(&page, 0), orla::kRecognizeCancelled) << at;
    EXPECT_TRUE(g_TrackingRecords.empty()) << at;
    EXPECT_EQ(cancelling.pumps, at + 1) << at << ": the cancelling visit and the last one at 100";
  }
  page.progress = nullptr;
}

TEST_F(HalftonePages, APhotoWithoutAPatternGivesNothing) {
  for (const HalftoneScreen screen : kScreens) {
    const orla::pattern::PatternPage made = PhotoPage(screen, false);
    ASSERT_TRUE(made.ok()) << made.error;
    CHalvoPic page;
    ASSERT_TRUE(orla::pattern::ToHalvoPic(made.page, page));
    orla::test::ScriptedProgress progress(0, 100);
    page.progress = &progress;
    CShadingReg reg;
    EXPECT_EQ(reg.Recognize(&page, 0), orla::kRecognizeNothingFound) << What(screen);
    EXPECT_TRUE(g_TrackingRecords.empty()) << What(screen);
    ASSERT_FALSE(progress.positions.empty());
    EXPECT_TRUE(std::is_sorted(progress.positions.begin(), progress.positions.end())) << What(screen);
    EXPECT_LE(*std::max_element(progress.positions.begin(), progress.positions.end() - 1), 99) << What(screen);
    EXPECT_EQ(progress.positions.back(), 100) << What(screen);
  }
}

}  // namespace
