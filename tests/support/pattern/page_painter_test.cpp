#include "page_painter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "pattern_writer.h"
#include "scan_transform.h"

namespace orla::pattern {
namespace {

struct Component {
  int minX, maxX, minY, maxY, pixels;
};

// 8-connected dark components (below 128), as a dot finder would see the page.
std::vector<Component> Components(const GreyPage& page) {
  std::vector<std::uint8_t> seen(page.pixels.size(), 0);
  std::vector<Component> found;
  std::vector<std::pair<int, int>> queue;
  for (int y = 0; y < page.height; ++y)
    for (int x = 0; x < page.width; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(page.width) + static_cast<std::size_t>(x);
      if (seen[i] || page.pixels[i] >= 128) continue;
      Component c{x, x, y, y, 0};
      queue.assign(1, {x, y});
      seen[i] = 1;
      while (!queue.empty()) {
        const auto [px, py] = queue.back();
        queue.pop_back();
        ++c.pixels;
        c.minX = std::min(c.minX, px), c.maxX = std::max(c.maxX, px);
        c.minY = std::min(c.minY, py), c.maxY = std::max(c.maxY, py);
        for (int j = -1; j <= 1; ++j)
          for (int k = -1; k <= 1; ++k) {
            const int nx = px + k, ny = py + j;
            if (!page.contains(nx, ny)) continue;
            const std::size_t n = static_cast<std::size_t>(ny) * static_cast<std::size_t>(page.width) + static_cast<std::size_t>(nx);
            if (!seen[n] && page.pixels[n] < 128) {
              seen[n] = 1;
              queue.push_back({nx, ny});
            }
          }
      }
      found.push_back(c);
    }
  return found;
}

struct LayoutCase {
  int dpi;
  Lattice lattice;
  int turns;
  int dotSize;
};

// On every lattice, turn and dot size the writer allows: each dot is a separate square whose
// box middle is its lattice position, rows are one pitch per dot with w a quarter turn from u,
// and neighbouring blocks keep their gap.
TEST(PagePainter, EveryDotIsItsOwnSquareCentredOnItsLatticePosition) {
  const LayoutCase cases[] = {
      {600, Lattice::Diagonal, 0, 3}, {600, Lattice::Diagonal, 1, 4}, {600, Lattice::Diagonal, 2, 1},
      {600, Lattice::Diagonal, 3, 3}, {300, Lattice::Diagonal, 0, 2}, {300, Lattice::Diagonal, 3, 1},
      {600, Lattice::Axis, 0, 3},     {600, Lattice::Axis, 1, 4},     {300, Lattice::Axis, 2, 3},
      {300, Lattice::Axis, 3, 2},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.dpi << " dpi, lattice " << static_cast<int>(c.lattice) << ", turns " << c.turns
                                    << ", dot " << c.dotSize);
    const PatternPage made = MakePatternPage(
        {}, {.page = {.dpi = c.dpi, .lattice = c.lattice, .quarterTurns = c.turns, .dotSize = c.dotSize}});
    ASSERT_TRUE(made.ok()) << made.error;
    ASSERT_EQ(made.placements.size(), made.blocks.size());
    EXPECT_EQ(made.page.dpi, c.dpi);

    std::map<std::pair<int, int>, int> centres;
    for (const Component& comp : Components(made.page)) {
      EXPECT_EQ(comp.pixels, c.dotSize * c.dotSize);
      ++centres[{(comp.minX + comp.maxX) / 2, (comp.minY + comp.maxY) / 2}];
    }
    std::size_t dots = 0;
    const double pitch = PitchOf(c.dpi);
    std::vector<std::vector<PixelPoint>> pixelsOfBlock;
    for (const Placement& p : made.placements) {
      std::vector<PixelPoint>& own = pixelsOfBlock.emplace_back();
      for (const BlockDot& d : BlockDots(made.blocks[static_cast<std::size_t>(p.block)])) {
        const PixelPoint at = PixelOf(p, d.at);
        EXPECT_EQ((centres[{at.x, at.y}]), 1) << "dot " << d.at.u << "," << d.at.w;
        own.push_back(at);
        ++dots;
      }
      const PixelPoint a0 = PixelOf(p, ReferenceAPosition(0)), a11 = PixelOf(p, ReferenceAPosition(11));
      const PixelPoint b0 = PixelOf(p, ReferenceBPosition(0)), b11 = PixelOf(p, ReferenceBPosition(11));
      const double ux = a11.x - a0.x, uy = a11.y - a0.y, wx = b11.x - b0.x, wy = b11.y - b0.y;
      EXPECT_NEAR(std::hypot(ux, uy), 11 * pitch, 1.0);
      EXPECT_NEAR(std::hypot(wx, wy), 11 * pitch, 1.0);
      EXPECT_NEAR(ux * wx + uy * wy, 0, 2 * 11 * pitch);  // at right angles
      EXPECT_GT(ux * wy - uy * wx, 0);                     // w is u turned from x towards y
      if (c.lattice == Lattice::Diagonal) {
        EXPECT_EQ(std::abs(p.ux), c.dpi / 100);
        EXPECT_EQ(std::abs(p.uy), c.dpi / 100);
      }
    }
    EXPECT_EQ(centres.size(), dots);
    double nearest = 1e9;
    for (std::size_t i = 0; i < pixelsOfBlock.size(); ++i)
      for (std::size_t j = i + 1; j < pixelsOfBlock.size(); ++j)
        for (const PixelPoint& a : pixelsOfBlock[i])
          for (const PixelPoint& b : pixelsOfBlock[j]) nearest = std::min(nearest, std::hypot(a.x - b.x, a.y - b.y));
    EXPECT_GE(nearest, 4 * pitch - 1.0) << "blocks closer than their gap";
  }
}

// A printer lays every dot of a page on one lattice: every block's origin lies a whole number
// of pitches along u and w from the first block's, and a shifted print moves all of them alike.
TEST(PagePainter, EveryBlockOfAPrintLiesOnOneLattice) {
  const LayoutCase cases[] = {
      {600, Lattice::Diagonal, 0, 3}, {300, Lattice::Diagonal, 1, 2}, {600, Lattice::Axis, 0, 3},
      {300, Lattice::Axis, 3, 2},
  };
  for (const LayoutCase& c : cases) {
    for (const double shift : {0.0, 7.3}) {
      SCOPED_TRACE(testing::Message() << c.dpi << " dpi, lattice " << static_cast<int>(c.lattice) << ", turns "
                                      << c.turns << ", shift " << shift);
      PatternOptions options{.copies = 3, .page = {.dpi = c.dpi, .lattice = c.lattice, .quarterTurns = c.turns,
                                                   .dotSize = c.dotSize, .left = 5, .top = 2}};
      const PatternPage plain = MakePatternPage({}, options);
      options.page.shiftX = shift;
      options.page.shiftY = -shift / 2;
      const PatternPage made = MakePatternPage({}, options);
      ASSERT_TRUE(made.ok()) << made.error;
      ASSERT_GT(made.placements.size(), 4u);
      const Placement& first = made.placements[0];
      EXPECT_DOUBLE_EQ(first.originX, plain.placements[0].originX + shift);
      EXPECT_DOUBLE_EQ(first.originY, plain.placements[0].originY - shift / 2);
      for (const Placement& p : made.placements) {
        // (dx, dy) = a u + b w with u, w at right angles and of one pitch.
        const double dx = p.originX - first.originX;
        const double dy = p.originY - first.originY;
        const double pitch2 = p.ux * p.ux + p.uy * p.uy;
        const double a = (dx * p.ux + dy * p.uy) / pitch2;
        const double b = (dx * p.wx + dy * p.wy) / pitch2;
        EXPECT_NEAR(a, std::round(a), 1e-9) << "block " << p.block;
        EXPECT_NEAR(b, std::round(b), 1e-9) << "block " << p.block;
      }
    }
  }
}

TEST(PagePainter, RefusesWhatThePageCannotHold) {
  const std::vector<EncodedBlock> blocks = EncodePattern({}).blocks;
  const struct {
    PageOptions options;
    const char* why;
  } cases[] = {
      {{.dpi = 250}, "diagonal lattice off whole pixels"},
      {{.dpi = 0, .lattice = Lattice::Axis}, "no resolution"},
      {{.dotSize = 5}, "dot too big to be a dot"},
      {{.dotSize = 0}, "no dot"},
      {{.dpi = 300, .dotSize = 3}, "diagonal neighbours 3 pixels apart would touch"},
      {{.dpi = 300, .lattice = Lattice::Axis, .dotSize = 4}, "axis neighbours 4 pixels apart would touch"},
      {{.dpi = 100, .dotSize = 1}, "diagonal neighbours 1 pixel apart would touch"},
      {{.width = 100, .height = 100}, "page too small"},
  };
  for (const auto& c : cases) {
    const PaintedPage painted = PaintBlocks(blocks, c.options);
    EXPECT_FALSE(painted.error.empty()) << c.why;
    EXPECT_TRUE(painted.page.empty()) << c.why;
  }
  const PaintedPage fitted = PaintBlocks(blocks);
  const PaintedPage big = PaintBlocks(blocks, {.width = 3000, .height = 2000, .left = 1000, .top = 700});
  EXPECT_TRUE(big.error.empty()) << big.error;
  EXPECT_EQ(big.page.width, 3000);
  EXPECT_EQ(big.page.height, 2000);
  // The grid moved by the offsets, its pixels unchanged.
  for (int y = 0; y < fitted.page.height; ++y)
    for (int x = 0; x < fitted.page.width; ++x) ASSERT_EQ(big.page.at(x + 1000, y + 700), fitted.page.at(x, y));
  EXPECT_FALSE(PaintBlocks(blocks, {.width = fitted.page.width, .left = 1}).error.empty());
}

TEST(PagePainter, GreysAndTargetedDotEdits) {
  const std::vector<EncodedBlock> blocks = EncodePattern({}).blocks;
  const std::vector<BlockDot> dots = BlockDots(blocks[1]);
  const LatticePoint removed = dots.back().at;  // a data dot
  const LatticePoint added{-11, 1};             // inside row A's inner band
  const PaintedPage painted = PaintBlocks(blocks, {.dotGrey = 90, .paperGrey = 230,
                                                   .damage = {.edits = {{1, removed, false}, {1, added, true}}}});
  ASSERT_TRUE(painted.error.empty());
  const Placement& p = painted.placements[1];
  EXPECT_EQ(painted.page.at(PixelOf(p, removed).x, PixelOf(p, removed).y), 230);
  EXPECT_EQ(painted.page.at(PixelOf(p, added).x, PixelOf(p, added).y), 90);
  EXPECT_EQ(painted.page.at(PixelOf(p, dots.front().at).x, PixelOf(p, dots.front().at).y), 90);
  // Other placements are untouched by the edits.
  const PixelPoint elsewhere = PixelOf(painted.placements[0], added);
  EXPECT_EQ(painted.page.at(elsewhere.x, elsewhere.y), 230);
  for (std::uint8_t v : painted.page.pixels) EXPECT_TRUE(v == 90 || v == 230);
}

TEST(PagePainter, RandomDamageIsReplayableFromItsSeed) {
  const std::vector<EncodedBlock> blocks = EncodePattern({}).blocks;
  const Damage damage{.dropDot = 0.05, .extraDot = 0.02, .specks = 40, .saltPepper = 0.001, .greyNoise = 10, .blurPasses = 1};
  const PaintedPage first = PaintBlocks(blocks, {.damage = damage, .seed = 7});
  const PaintedPage again = PaintBlocks(blocks, {.damage = damage, .seed = 7});
  const PaintedPage other = PaintBlocks(blocks, {.damage = damage, .seed = 8});
  EXPECT_EQ(first.page.pixels, again.page.pixels);
  EXPECT_NE(first.page.pixels, other.page.pixels);
}

TEST(PagePainter, EachKindOfDamageDoesWhatItSays) {
  const std::vector<EncodedBlock> blocks = EncodePattern({}).blocks;
  const PaintedPage clean = PaintBlocks(blocks);
  const auto darkAt = [](const PaintedPage& painted, int placement, LatticePoint at) {
    const PixelPoint p = PixelOf(painted.placements[static_cast<std::size_t>(placement)], at);
    return painted.page.at(p.x, p.y) < 128;
  };

  // Every code dot dropped, the frame kept.
  const PaintedPage dropped = PaintBlocks(blocks, {.damage = {.dropDot = 1.0}});
  for (const BlockDot& d : BlockDots(blocks[0])) {
    const bool frame = d.role != DotRole::CellMap && d.role != DotRole::Data;
    EXPECT_EQ(darkAt(dropped, 0, d.at), frame) << d.at.u << "," << d.at.w;
  }
  const PaintedPage bare = PaintBlocks(blocks, {.damage = {.dropDot = 1.0, .dropFrameDots = true}});
  EXPECT_EQ(std::count(bare.page.pixels.begin(), bare.page.pixels.end(), 0), 0);

  // Extra dots fill every empty lattice position of each block's box.
  const PaintedPage filled = PaintBlocks(blocks, {.damage = {.extraDot = 1.0}});
  for (int w = kBlockMinW; w <= kBlockMaxW; ++w)
    for (int u = kBlockMinU; u <= kBlockMaxU; ++u) EXPECT_TRUE(darkAt(filled, 2, {u, w})) << u << "," << w;

  // Specks add dark pixels away from the lattice; noise stays within its amplitude.
  const PaintedPage specks = PaintBlocks(blocks, {.damage = {.specks = 30, .speckSize = 1}});
  const auto darkCount = [](const GreyPage& page) { return std::count(page.pixels.begin(), page.pixels.end(), 0); };
  EXPECT_GT(darkCount(specks.page), darkCount(clean.page));
  EXPECT_LE(darkCount(specks.page), darkCount(clean.page) + 30);

  const PaintedPage noisy = PaintBlocks(blocks, {.paperGrey = 200, .damage = {.greyNoise = 12}});
  const PaintedPage calm = PaintBlocks(blocks, {.paperGrey = 200});
  for (std::size_t i = 0; i < noisy.page.pixels.size(); ++i)
    ASSERT_LE(std::abs(noisy.page.pixels[i] - calm.page.pixels[i]), 12);
  EXPECT_NE(noisy.page.pixels, calm.page.pixels);

  const PaintedPage salted = PaintBlocks(blocks, {.damage = {.saltPepper = 0.01}});
  long changed = 0;
  for (std::size_t i = 0; i < salted.page.pixels.size(); ++i) changed += salted.page.pixels[i] != clean.page.pixels[i];
  const double expected = 0.005 * static_cast<double>(clean.page.pixels.size());  // half of them land on the same value
  EXPECT_GT(changed, expected * 0.7);
  EXPECT_LT(changed, expected * 1.3);

  // A light blur softens the edges of a 3 x 3 dot but keeps its middle dark.
  const PaintedPage blurred = PaintBlocks(blocks, {.damage = {.blurPasses = 1}});
  const PixelPoint a0 = PixelOf(blurred.placements[0], ReferenceAPosition(0));
  EXPECT_LT(blurred.page.at(a0.x, a0.y), 64);
  EXPECT_GT(blurred.page.at(a0.x + 1, a0.y + 1), 0);
  EXPECT_LT(blurred.page.at(a0.x + 2, a0.y), 255);
}

TEST(PagePainter, DropsExactlyTheAskedNumberOfCodeDotsFromEveryBlock) {
  const std::vector<EncodedBlock> blocks = EncodePattern({}).blocks;
  const PaintedPage clean = PaintBlocks(blocks);
  for (const int drops : {1, 5, 12}) {
    const PaintedPage dropped = PaintBlocks(blocks, {.damage = {.dropDotsPerBlock = drops}, .seed = 3});
    for (std::size_t b = 0; b < blocks.size(); ++b) {
      int lostCode = 0;
      for (const BlockDot& d : BlockDots(blocks[b])) {
        const PixelPoint p = PixelOf(dropped.placements[b], d.at);
        const bool lost = dropped.page.at(p.x, p.y) != clean.page.at(p.x, p.y);
        const bool code = d.role == DotRole::CellMap || d.role == DotRole::Data;
        EXPECT_FALSE(lost && !code) << "a frame dot of block " << b << " was dropped";
        lostCode += lost;
      }
      EXPECT_EQ(lostCode, drops) << "block " << b;
    }
  }
}

TEST(PagePainter, APageFilledWithTilesHoldsExactlyThem) {
  const std::vector<EncodedBlock> one = EncodePattern({}).blocks;
  for (const Lattice lattice : {Lattice::Diagonal, Lattice::Axis}) {
    PageOptions options{.dpi = 300, .lattice = lattice, .dotSize = 2, .width = 1240, .height = 1754};
    const TileGrid grid = TilesOnPage(options);
    ASSERT_GT(grid.columns * grid.rows, 0);
    options.columns = grid.columns;
    std::vector<EncodedBlock> blocks;
    while (static_cast<int>(blocks.size()) < grid.columns * grid.rows) blocks.push_back(one[blocks.size() % one.size()]);
    EXPECT_TRUE(PaintBlocks(blocks, options).error.empty());
    blocks.insert(blocks.end(), one.begin(), one.begin() + grid.columns);  // one row of tiles more
    EXPECT_FALSE(PaintBlocks(blocks, options).error.empty());
    options.columns = grid.columns + 1;
    blocks.resize(static_cast<std::size_t>(grid.rows * (grid.columns + 1)));
    EXPECT_FALSE(PaintBlocks(blocks, options).error.empty()) << "one column more";
  }
}

TEST(ScanTransform, TurnsAboutTheCentreAndScalesFromIt) {
  GreyPage page{.width = 21, .height = 11, .dpi = 300, .pixels = std::vector<std::uint8_t>(21 * 11, 255)};
  page.at(15, 5) = 0;  // 5 to the right of the centre (10, 5)

  EXPECT_EQ(TurnAndScale(page, 0, 1, 255).pixels, page.pixels);

  // A quarter turn takes x towards y: the dot goes 5 below the centre.
  const GreyPage turned = TurnAndScale(page, 90, 1, 255);
  ASSERT_EQ(turned.width, 21);
  ASSERT_EQ(turned.height, 11);
  EXPECT_EQ(turned.at(10, 10), 0);
  EXPECT_EQ(turned.at(15, 5), 255);

  // Twice the size: the page grows to 42 x 22, the dot goes twice as far from the middle and
  // its grey is shared among the pixels around where it lands.
  const GreyPage bigger = TurnAndScale(page, 0, 2, 255);
  ASSERT_EQ(bigger.width, 42);
  ASSERT_EQ(bigger.height, 22);
  EXPECT_EQ(bigger.dpi, 300);
  const auto darkest = std::min_element(bigger.pixels.begin(), bigger.pixels.end());
  const int at = static_cast<int>(darkest - bigger.pixels.begin());
  EXPECT_NEAR(at % 42, 30.5, 1.0);
  EXPECT_NEAR(at / 42, 10.5, 1.0);
  EXPECT_LT(*darkest, 128);

  // A small turn moves a far dot by the arc, and what comes from beyond the page is paper.
  const GreyPage slight = TurnAndScale(page, 3, 1, 200);
  EXPECT_EQ(TurnAndScale(page, 45, 1, 200).at(20, 0), 200);
  const auto dark = std::min_element(slight.pixels.begin(), slight.pixels.end()) - slight.pixels.begin();
  EXPECT_EQ(dark % 21, 15);
  EXPECT_NEAR(static_cast<double>(dark / 21), 5 + 5 * std::sin(3 * 3.14159265 / 180), 0.5);
}

TEST(PagePainter, TheScanComesBeforeBlurAndNoise) {
  const std::vector<EncodedBlock> blocks = EncodePattern({}).blocks;
  const PaintedPage straight = PaintBlocks(blocks, {.damage = {.scale = 1.5}});
  const PaintedPage clean = PaintBlocks(blocks);
  EXPECT_EQ(straight.page.width, static_cast<int>(std::lround(clean.page.width * 1.5)));
  // Noise lands on the turned page: paper pixels of the top row, which the turn leaves as
  // paper, spread over the noise's whole amplitude and no further.
  const PaintedPage noisy = PaintBlocks(blocks, {.paperGrey = 200, .damage = {.greyNoise = 12, .turnDegrees = 1}});
  const auto top = noisy.page.pixels.begin();
  const auto [low, high] = std::minmax_element(top, top + noisy.page.width);
  EXPECT_EQ(*low, 188);
  EXPECT_EQ(*high, 212);
}

TEST(PatternWriter, CopiesAndShuffledOrder) {
  const EncodedPattern once = EncodePattern({});
  ASSERT_TRUE(once.error.empty());
  EXPECT_EQ(once.blocks.size(), static_cast<std::size_t>(BlockCountOf(once.payload)));
  const EncodedPattern thrice = EncodePattern({}, {.copies = 3, .shuffle = true, .page = {.seed = 3}});
  ASSERT_EQ(thrice.blocks.size(), 3 * once.blocks.size());
  std::map<int, int> seen;
  bool inOrder = true;
  for (std::size_t i = 0; i < thrice.blocks.size(); ++i) {
    ++seen[thrice.blocks[i].plan.blockNumber];
    inOrder = inOrder && thrice.blocks[i].plan.blockNumber == static_cast<int>(i % once.blocks.size());
  }
  EXPECT_FALSE(inOrder);
  for (const auto& [number, count] : seen) EXPECT_EQ(count, 3) << number;
  EXPECT_EQ(EncodePattern({}, {.copies = 3, .shuffle = true, .page = {.seed = 3}}).blocks.size(), thrice.blocks.size());

  PatternRecord huge;
  huge.jobName = std::string(400, 'x');
  const PatternPage tooLong = MakePatternPage(huge, {.payload = {.compression = Compression::Plain}});
  EXPECT_FALSE(tooLong.ok());
  EXPECT_TRUE(tooLong.page.empty());
}

}  // namespace
}  // namespace orla::pattern
