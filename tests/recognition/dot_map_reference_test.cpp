// The dot map against a reference written here straight from the rules: the binarized page
// copied twice, the fill run over one copy (FloodFillComponent marks what it takes with 255),
// the gap test read from the other, every pixel visited in turn with the progress window due
// at every k-th one. On seeded random pages, with and without a window, with Cancel pressed
// part way, CollectComponents must leave the same dot map, the same noise size limit, the same
// bar positions and the same number of pumps.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "dot_components.h"
#include "dot_page.h"
#include "flood_fill.h"
#include "scripted_progress.h"
#include "seeded_random.h"

namespace {

using orla::test::ScriptedProgress;

struct DotMapOutcome {
  std::vector<std::uint8_t> pixels;
  int noiseSizeLimit = -1;
  std::vector<int> positions;
  int pumps = 0;
  int result = -1;
};

// The progress window of a case: none, or one visited every `every` pixels, Cancel pressed at
// pump `cancelAt` (0: never).
struct Window {
  int every = 0;
  int cancelAt = 0;
};

constexpr int kStart = 10;
constexpr int kPassEnd = 66;

std::vector<std::uint8_t> PixelsOf(const CHalvoPic& pic) {
  std::vector<std::uint8_t> pixels;
  for (int y = 0; y < pic.height; ++y) {
    const std::uint8_t* row = pic.rows[static_cast<std::size_t>(y)].get();
    pixels.insert(pixels.end(), row, row + pic.width);
  }
  return pixels;
}

DotMapOutcome Reference(const CHalvoPic& pic, Window window) {
  const int width = pic.width;
  const int height = pic.height;
  std::vector<std::uint8_t> fillCopy = PixelsOf(pic);
  const std::vector<std::uint8_t> reference = fillCopy;
  std::vector<std::uint8_t*> fillRows;
  std::vector<const std::uint8_t*> referenceRows;
  for (int y = 0; y < height; ++y) {
    fillRows.push_back(&fillCopy[static_cast<std::size_t>(y * width)]);
    referenceRows.push_back(&reference[static_cast<std::size_t>(y * width)]);
  }
  DotMapOutcome out;
  const int share = (kPassEnd - kStart) * 20 / 100;
  const double pixels = static_cast<double>(width) * height;
  int lastDelta = 0;
  bool cancelled = false;
  struct Found {
    int x, y, n;
  };
  std::vector<Found> found;
  orla::SizeHistogram sizes{};
  auto fill = std::make_unique<orla::FillList>();
  for (int index = 0; index < width * height && !cancelled; ++index) {
    const int x = index % width;
    const int y = index / width;
    if (window.every > 0 && index % window.every == 0) {
      const int delta = static_cast<int>(static_cast<double>(index) * share / pixels);
      if (delta != lastDelta) {
        lastDelta = delta;
        out.positions.push_back(kStart + delta);
      }
      ++out.pumps;
      if (out.pumps == window.cancelAt) {
        cancelled = true;
        break;
      }
    }
    if (fillRows[static_cast<std::size_t>(y)][x] != 0) continue;
    orla::ComponentExtent e{0, x, x, y, y};
    orla::FloodFillComponent(*fill, x, y, fillRows, width, height, e);
    if (!orla::HasDotShape(e) || orla::HasRowGap(e, referenceRows)) continue;
    found.push_back(Found{(e.minX + e.maxX) / 2, (e.minY + e.maxY) / 2, e.count});
    ++sizes[static_cast<std::size_t>(e.count)];
  }
  out.noiseSizeLimit = orla::NoiseSizeLimit(sizes);
  out.pixels.assign(static_cast<std::size_t>(width * height), 255);
  for (const Found& f : found) {
    if (f.n > out.noiseSizeLimit) out.pixels[static_cast<std::size_t>(f.y * width + f.x)] = 0;
  }
  out.result = cancelled ? orla::kRecognizeCancelled : orla::kRecognizeFound;
  return out;
}

DotMapOutcome Recognizer(const CHalvoPic& pic, Window window) {
  CHalvoPic copy;
  copy = pic;
  orla::test::StageRecognizer reg;
  reg.Use(copy);
  ScriptedProgress progress(kStart, kPassEnd);
  progress.pixelsPerVisit = window.every;
  progress.cancelAtPump = window.cancelAt;
  DotMapOutcome out;
  out.result = reg.CollectComponents(window.every > 0 ? &progress : nullptr);
  out.pixels = PixelsOf(copy);
  out.noiseSizeLimit = reg.noiseSizeLimit;
  out.positions = progress.positions;
  out.pumps = progress.pumps;
  return out;
}

// Specks, blobs, bars and rings of dark pixels, touching and crossing at random, over paper
// that is white, or (for a page read as it is, not binarized) of any grey but 0.
void RandomPage(CHalvoPic& pic, orla::pattern::SeededRandom& random) {
  const int width = 20 + random.Below(140);
  const int height = 10 + random.Below(90);
  pic.CreateBlank8(width, height);
  const bool greyPaper = random.Chance(0.3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pic.rows[static_cast<std::size_t>(y)][x] = greyPaper ? static_cast<std::uint8_t>(1 + random.Below(255)) : 255;
  const int marks = random.Below(width * height / 12);
  for (int m = 0; m < marks; ++m) {
    const int x = random.Below(width);
    const int y = random.Below(height);
    const int w = 1 + random.Below(random.Chance(0.2) ? 12 : 4);
    const int h = 1 + random.Below(random.Chance(0.2) ? 12 : 4);
    const bool hollow = random.Chance(0.2);
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i)
        if (!hollow || i == 0 || j == 0 || i == w - 1 || j == h - 1) orla::test::Paint(pic, x + i, y + j);
  }
  const double salt = random.Chance(0.5) ? 0.02 * random.Unit() : 0.0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (random.Chance(salt)) orla::test::Paint(pic, x, y);
}

TEST(DotMapReference, RandomPagesGiveTheSameDotMapLimitBarAndPumps) {
  for (std::uint64_t seed = 1; seed <= 400; ++seed) {
    orla::pattern::SeededRandom random(seed);
    CHalvoPic pic;
    RandomPage(pic, random);
    const Window windows[] = {{0, 0}, {1, 0}, {7, 0}, {4096, 0}, {1, 1 + random.Below(pic.width * pic.height)},
                              {3, 1 + random.Below(pic.width * pic.height / 3 + 1)}};
    for (const Window& window : windows) {
      SCOPED_TRACE(testing::Message() << "seed " << seed << ", page " << pic.width << " x " << pic.height
                                      << ", window every " << window.every << " cancel at " << window.cancelAt);
      const DotMapOutcome expected = Reference(pic, window);
      const DotMapOutcome seen = Recognizer(pic, window);
      ASSERT_EQ(seen.result, expected.result);
      ASSERT_EQ(seen.noiseSizeLimit, expected.noiseSizeLimit);
      ASSERT_EQ(seen.pixels, expected.pixels);
      ASSERT_EQ(seen.positions, expected.positions);
      ASSERT_EQ(seen.pumps, expected.pumps);
    }
  }
}

}  // namespace
