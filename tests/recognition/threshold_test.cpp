// The page threshold: the votes of single specks, the band search, the result table, and
// whole pages painted with specks.

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "dot_page.h"
#include "pattern_writer.h"
#include "threshold.h"

namespace {

using orla::test::Blank;
using orla::test::PaintRect;

struct VoteCase {
  std::vector<std::uint8_t> greys;
  std::optional<int> vote;
};

TEST(ThresholdSpeckVote, UsesTheFifthDarkestPixelOrTheBrightest) {
  const VoteCase cases[] = {
      {{100, 100}, 101},                      // two pixels: the brightest
      {{50, 60, 90, 120, 70}, 121},           // five: still the brightest
      {{200, 150, 90, 95, 100, 110}, 151},    // six: the second brightest
      {{90, 91, 92, 93, 94, 95, 96}, 95},     // seven: the third brightest
      {{80, 10}, std::nullopt},               // 80 or darker with few pixels: no vote
      {{50, 50, 50, 50, 50, 50, 50, 50}, std::nullopt},
      {{50, 50, 50, 50, 50, 50, 50, 50, 50}, 81},  // nine or more: the floor level
      {{81, 81}, 82},
      {{255, 255, 255}, 255},                 // clamped
  };
  for (const VoteCase& c : cases) {
    EXPECT_EQ(orla::SpeckVote(c.greys), c.vote) << "speck of " << c.greys.size();
  }
}

struct BandCase {
  std::vector<std::pair<int, int>> votes;  // level, count
  int bandEnd;
};

TEST(ThresholdBandSearch, PicksTheBestAverageAndTheLowerBandOnATie) {
  const BandCase cases[] = {
      {{}, 0},
      {{{100, 1}}, 100},
      {{{50, 3}, {200, 3}}, 50},
      {{{50, 2}, {200, 5}}, 200},
      {{{100, 4}, {101, 2}}, 100},  // the band holding only 100 averages higher
      {{{100, 2}, {103, 4}, {104, 4}}, 106},  // first band past 100 that holds 103 and 104
      {{{249, 1}}, 249},
      {{{250, 1}}, 0},  // no band reaches level 250
  };
  for (const BandCase& c : cases) {
    orla::VoteHistogram votes{};
    for (auto [level, count] : c.votes) votes[static_cast<std::size_t>(level)] = count;
    EXPECT_EQ(orla::BestBandEnd(votes), c.bandEnd);
  }
}

TEST(ThresholdBandTable, MapsTheBandEndAtEveryBoundary) {
  const std::pair<int, int> cases[] = {
      {0, 192},   {-1, 192},  {251, 192}, {250, 250}, {134, 134}, {135, 125}, {159, 125},
      {160, 185}, {169, 185}, {170, 170}, {205, 205}, {206, 240}, {219, 240}, {220, 235},
      {224, 239}, {225, 225}, {249, 249},
  };
  for (auto [bandEnd, threshold] : cases) EXPECT_EQ(orla::ThresholdFromBandEnd(bandEnd), threshold) << bandEnd;
}

// Specks of w x h pixels of grey `grey` every 12 pixels over the rectangle.
void PaintSpecks(CHalvoPic& pic, int x0, int y0, int x1, int y1, int w, int h, std::uint8_t grey) {
  for (int y = y0; y + h <= y1; y += 12)
    for (int x = x0; x + w <= x1; x += 12) PaintRect(pic, x, y, w, h, grey);
}

TEST(ThresholdPage, BlankPaperGivesTheDefault) {
  CHalvoPic pic;
  Blank(pic, 120, 90);
  EXPECT_EQ(orla::EstimateThreshold(pic, 600), 192);
}

TEST(ThresholdPage, SpecksVoteForTheLevelAboveTheirGrey) {
  CHalvoPic pic;
  Blank(pic, 300, 200);
  PaintSpecks(pic, 20, 20, 280, 180, 3, 3, 100);
  EXPECT_EQ(orla::EstimateThreshold(pic, 600), 101);
  EXPECT_EQ(orla::EstimateThreshold(pic, 300), 192) << "nine pixels exceed the limit below 600 dpi";
}

struct SpeckSizeCase {
  int w;
  int h;
  int resolution;
  bool cutCorner;  // one pixel less, still compact
  int threshold;
};

TEST(ThresholdPage, SpecksReachingTheSizeLimitAreGivenUp) {
  const SpeckSizeCase cases[] = {
      {2, 3, 300, false, 101},  // 6 pixels
      {2, 4, 300, true, 101},   // 7 pixels: one below the limit of 8
      {2, 4, 300, false, 192},  // 8 pixels
      {5, 6, 600, true, 101},   // 29 pixels: one below the limit of 30
      {5, 6, 600, false, 192},  // 30 pixels
  };
  for (const SpeckSizeCase& c : cases) {
    CHalvoPic pic;
    Blank(pic, 300, 200);
    for (int y = 20; y + c.h <= 180; y += 12) {
      for (int x = 20; x + c.w <= 280; x += 12) {
        PaintRect(pic, x, y, c.w, c.h, 100);
        if (c.cutCorner) PaintRect(pic, x + c.w - 1, y + c.h - 1, 1, 1, 255);
      }
    }
    EXPECT_EQ(orla::EstimateThreshold(pic, c.resolution), c.threshold) << c.w << "x" << c.h;
  }
}

TEST(ThresholdPage, SparseSpecksCastNoVote) {
  CHalvoPic pic;
  Blank(pic, 300, 200);
  // Diagonal pairs fill only half their box (4 x 2 is not more than 3 x 4).
  for (int y = 20; y < 180; y += 12)
    for (int x = 20; x < 280; x += 12) {
      PaintRect(pic, x, y, 1, 1, 100);
      PaintRect(pic, x + 1, y + 1, 1, 1, 100);
    }
  EXPECT_EQ(orla::EstimateThreshold(pic, 600), 192);
}

struct SampleCase {
  int width;
  int height;
  bool dotsInTopCorner;  // else in the band from row 200 on
  int threshold;
};

TEST(ThresholdPage, LargePagesAreSampledInTwoBands) {
  const SampleCase cases[] = {
      {641, 880, true, 101},   // not tall enough: the top-left corner
      {640, 881, true, 101},   // not wide enough: the top-left corner
      {641, 881, true, 192},   // two bands, neither holds rows 0 to 150
      {641, 881, false, 101},  // the first band holds rows 200 to 439
  };
  for (const SampleCase& c : cases) {
    CHalvoPic pic;
    Blank(pic, c.width, c.height);
    if (c.dotsInTopCorner) {
      PaintSpecks(pic, 20, 20, 600, 150, 3, 3, 100);
    } else {
      PaintSpecks(pic, 20, 250, 600, 420, 3, 3, 100);
    }
    EXPECT_EQ(orla::EstimateThreshold(pic, 600), c.threshold) << c.width << "x" << c.height;
  }
}

// A speck of two pixels of grey 215 is darker than 0.85 of white paper's mean, but not of a
// mean that takes in a line of 80 near-black pixels (value 1, which does count). Where the
// line no longer changes the speck's fate is where the window ends. The line breaks up into
// specks of 8 pixels, which are given up at 300 dots per inch; the lone speck votes for 216,
// whose band gives 240.
struct WindowCase {
  bool column;  // a line down the page beside the speck, else a line across it
  int offset;   // from the speck's column or row
  int threshold;
};

TEST(ThresholdPage, TheLocalWindowRunsFrom39PixelsBeforeTo40After) {
  const WindowCase cases[] = {
      {true, -40, 240}, {true, -39, 192}, {true, 40, 192}, {true, 41, 240},
      {false, -40, 240}, {false, -39, 192}, {false, 40, 192}, {false, 41, 240},
  };
  const int x = 300;
  const int y = 240;
  for (const WindowCase& c : cases) {
    CHalvoPic pic;
    Blank(pic, 640, 480);
    if (c.column) {
      PaintRect(pic, x + c.offset, 0, 1, 480, 1);
      PaintRect(pic, x, y, 1, 2, 215);
    } else {
      PaintRect(pic, 0, y + c.offset, 640, 1, 1);
      PaintRect(pic, x, y, 2, 1, 215);
    }
    EXPECT_EQ(orla::EstimateThreshold(pic, 300), c.threshold) << (c.column ? "column " : "row ") << c.offset;
  }
}

TEST(ThresholdPage, TheBandsOfALargePageEndAtTheirRows) {
  // 700 x 1000: the bands are rows 200 to 439 and 561 to 800, from column 30 on. A speck of
  // two pixels in one row (as above) is sampled, and votes, only in a band.
  const struct {
    int row;
    int threshold;
  } cases[] = {{199, 192}, {200, 240}, {439, 240}, {440, 192}, {560, 192}, {561, 240}, {800, 240}, {801, 192}};
  for (const auto& c : cases) {
    CHalvoPic pic;
    Blank(pic, 700, 1000);
    PaintRect(pic, 330, c.row, 2, 1, 215);
    EXPECT_EQ(orla::EstimateThreshold(pic, 300), c.threshold) << "row " << c.row;
  }
}

TEST(ThresholdPage, TheRecognizerUsesItsCurrentPageAndResolution) {
  CHalvoPic pic;
  Blank(pic, 300, 200);
  PaintSpecks(pic, 20, 20, 280, 180, 2, 3, 180);
  orla::test::StageRecognizer reg;
  EXPECT_EQ(reg.ComputeThreshold(), 192) << "no page yet";
  reg.Use(pic);
  reg.resolution = 300;
  EXPECT_EQ(reg.ComputeThreshold(), 181);
  reg.resolution = 600;
  EXPECT_EQ(reg.ComputeThreshold(), 181);
}

}  // namespace

namespace {

struct PatternCase {
  int dpi;
  int dotSize;
  std::uint8_t dotGrey;
  int threshold;
};

TEST(ThresholdPatternPage, FollowsTheGreyOfThePrintedDots) {
  const PatternCase cases[] = {
      {600, 3, 120, 121},  // nine pixels of 120: the level above them
      {600, 3, 0, 81},     // black dots of nine pixels vote for the floor level
      {600, 2, 0, 192},    // black dots of four pixels cast no vote
      {300, 2, 150, 125},  // a band ending at 151 stands for 125
  };
  for (const PatternCase& c : cases) {
    orla::pattern::PatternOptions options;
    options.page.dpi = c.dpi;
    options.page.dotSize = c.dotSize;
    options.page.dotGrey = c.dotGrey;
    const orla::pattern::PatternPage made = orla::pattern::MakePatternPage({}, options);
    ASSERT_TRUE(made.ok()) << made.error;
    CHalvoPic pic;
    ASSERT_TRUE(orla::pattern::ToHalvoPic(made.page, pic));
    EXPECT_EQ(orla::EstimateThreshold(pic, c.dpi), c.threshold) << c.dpi << " dpi, grey " << int{c.dotGrey};
  }
}

}  // namespace
