#include "page_painter.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <utility>

#include "scan_transform.h"
#include "seeded_random.h"

namespace orla::pattern {
namespace {

struct Basis {
  double ux, uy, wx, wy;
};

// w is always u turned a quarter turn from x towards y: a block printed mirrored would not
// be a block.
Basis LatticeBasis(const PageOptions& options) {
  double ux = 0, uy = 0;
  if (options.lattice == Lattice::Diagonal) {
    ux = uy = options.dpi / 100;
  } else {
    ux = PitchOf(options.dpi);
  }
  for (int turn = 0; turn < ((options.quarterTurns % 4) + 4) % 4; ++turn) {
    const double x = ux;
    ux = -uy;
    uy = x;
  }
  return {ux, uy, -uy, ux};
}

std::string CheckOptions(const PageOptions& o) {
  if (o.dpi <= 0) return "resolution must be positive";
  if (o.lattice == Lattice::Diagonal && o.dpi % 100 != 0)
    return "a diagonal lattice needs a resolution that is a multiple of 100";
  if (o.dotSize < 1 || o.dotSize > 4) return "dot size must be 1 to 4 pixels";
  // A dot as wide as the step to its neighbour touches it, and the reader sees one blot.
  const int step = o.lattice == Lattice::Diagonal ? o.dpi / 100 : static_cast<int>(std::floor(PitchOf(o.dpi)));
  if (o.dotSize >= step) {
    return "dots of " + std::to_string(o.dotSize) + " pixels touch their neighbours " + std::to_string(step) +
           " pixels away";
  }
  if (o.gapPitches < 0 || o.marginPitches < 0 || o.left < 0 || o.top < 0)
    return "gap, margin and offsets must not be negative";
  return {};
}

void PaintSquare(GreyPage& page, int cx, int cy, int size, std::uint8_t grey) {
  // The reader takes the middle of a dot's box rounded down, so an even square extends one
  // pixel further right and down than up and left: its middle is still (cx, cy).
  const int x0 = cx - (size - 1) / 2;
  const int y0 = cy - (size - 1) / 2;
  for (int y = y0; y < y0 + size; ++y)
    for (int x = x0; x < x0 + size; ++x)
      if (page.contains(x, y)) page.at(x, y) = grey;
}

void Blur(GreyPage& page) {
  const GreyPage source = page;
  const int weights[3] = {1, 2, 1};
  for (int y = 0; y < page.height; ++y)
    for (int x = 0; x < page.width; ++x) {
      int sum = 0;
      for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
          const int sx = std::clamp(x + i, 0, page.width - 1);
          const int sy = std::clamp(y + j, 0, page.height - 1);
          sum += weights[i + 1] * weights[j + 1] * source.at(sx, sy);
        }
      page.at(x, y) = static_cast<std::uint8_t>((sum + 8) / 16);
    }
}

// The block's box relative to its origin, from the four corners of its (u, w) extent.
struct BlockBox {
  double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
};

BlockBox BlockBoxOf(const Basis& basis) {
  BlockBox box;
  for (int u : {kBlockMinU, kBlockMaxU})
    for (int w : {kBlockMinW, kBlockMaxW}) {
      const double x = u * basis.ux + w * basis.wx;
      const double y = u * basis.uy + w * basis.wy;
      box.minX = std::min(box.minX, x);
      box.maxX = std::max(box.maxX, x);
      box.minY = std::min(box.minY, y);
      box.maxY = std::max(box.maxY, y);
    }
  return box;
}

double MarginOf(const PageOptions& options) { return options.marginPitches * PitchOf(options.dpi) + options.dotSize; }

// The shortest lattice vector along the page's x axis, which is also the shortest along its y
// axis: two pixel steps of a diagonal lattice (u - w), one pitch of an axis lattice.
double AxisStepOf(const PageOptions& options) {
  return options.lattice == Lattice::Diagonal ? 2.0 * (options.dpi / 100) : PitchOf(options.dpi);
}

}  // namespace

TileSize TileSizeOf(const PageOptions& options) {
  const BlockBox box = BlockBoxOf(LatticeBasis(options));
  const double gap = options.gapPitches * PitchOf(options.dpi);
  const double step = AxisStepOf(options);
  // The nearest whole number of steps to the block, its gap and a dot, but never less than the
  // gap between the dots of neighbouring blocks (the tolerance keeps an exact fit exact).
  const auto steps = [&](double extent) {
    return std::max(std::round((extent + gap + options.dotSize) / step), std::ceil((extent + gap) / step - 1e-9)) *
           step;
  };
  return {steps(box.maxX - box.minX), steps(box.maxY - box.minY)};
}

PixelVector LatticeVectorOf(const PageOptions& options, double u, double w) {
  const Basis basis = LatticeBasis(options);
  return {u * basis.ux + w * basis.wx, u * basis.uy + w * basis.wy};
}

TileGrid TilesOnPage(const PageOptions& options) {
  const TileSize tile = TileSizeOf(options);
  const double margin = MarginOf(options);
  // The last tile of a row or column needs no gap after it.
  const double gap = options.gapPitches * PitchOf(options.dpi);
  const auto fit = [&](int pixels, double size) {
    return std::max(0, static_cast<int>(std::floor((pixels - 2 * margin + gap) / size)));
  };
  return {fit(options.width - options.left, tile.width), fit(options.height - options.top, tile.height)};
}

double PitchOf(int dpi) { return dpi * std::sqrt(2.0) / 100.0; }

PixelPoint PixelOf(const Placement& p, LatticePoint at) {
  return {static_cast<int>(std::floor(p.originX + at.u * p.ux + at.w * p.wx + 0.5)),
          static_cast<int>(std::floor(p.originY + at.u * p.uy + at.w * p.wy + 0.5))};
}

PaintedPage PaintBlocks(const std::vector<EncodedBlock>& blocks, const PageOptions& options) {
  PaintedPage result;
  result.error = CheckOptions(options);
  if (!result.error.empty()) return result;

  const Basis basis = LatticeBasis(options);
  const BlockBox box = BlockBoxOf(basis);
  const int count = static_cast<int>(blocks.size());
  const int columns = options.columns > 0 ? options.columns
                                          : std::max(1, static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count)))));
  const int rows = count == 0 ? 0 : (count + columns - 1) / columns;
  const double gap = options.gapPitches * PitchOf(options.dpi);
  const double margin = MarginOf(options);
  const TileSize tile = TileSizeOf(options);
  const double tileWidth = tile.width;
  const double tileHeight = tile.height;
  const double minX = box.minX;
  const double minY = box.minY;
  const int neededWidth = options.left + static_cast<int>(std::ceil(2 * margin + columns * tileWidth - gap));
  const int neededHeight = options.top + static_cast<int>(std::ceil(2 * margin + std::max(rows, 1) * tileHeight - gap));
  const int width = options.width > 0 ? options.width : neededWidth;
  const int height = options.height > 0 ? options.height : neededHeight;
  if (width < neededWidth || height < neededHeight) {
    result.error = "the page is too small for the blocks: it needs " + std::to_string(neededWidth) + " x " +
                   std::to_string(neededHeight) + " pixels";
    return result;
  }

  GreyPage& page = result.page;
  page.width = width;
  page.height = height;
  page.dpi = options.dpi;
  page.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), options.paperGrey);

  SeededRandom random(options.seed);
  const Damage& damage = options.damage;
  for (int i = 0; i < count; ++i) {
    Placement placement;
    placement.block = i;
    // The first tile's origin on a whole pixel, the others whole lattice vectors from it.
    placement.originX = std::floor(options.left + margin - minX) + (i % columns) * tileWidth + options.shiftX;
    placement.originY = std::floor(options.top + margin - minY) + (i / columns) * tileHeight + options.shiftY;
    placement.ux = basis.ux;
    placement.uy = basis.uy;
    placement.wx = basis.wx;
    placement.wy = basis.wy;
    result.placements.push_back(placement);

    std::vector<BlockDot> dots = BlockDots(blocks[static_cast<std::size_t>(i)]);
    for (const DotEdit& edit : damage.edits) {
      if (edit.placement != i) continue;
      std::erase_if(dots, [&](const BlockDot& d) { return d.at == edit.at; });
      if (edit.dot) dots.push_back({edit.at, DotRole::Data});
    }
    std::set<std::pair<int, int>> occupied;
    for (const BlockDot& d : dots) occupied.insert({d.at.u, d.at.w});
    std::erase_if(dots, [&](const BlockDot& d) {
      const bool codeDot = d.role == DotRole::CellMap || d.role == DotRole::Data;
      return (codeDot || damage.dropFrameDots) && random.Chance(damage.dropDot);
    });
    for (int drop = 0; drop < damage.dropDotsPerBlock; ++drop) {
      std::vector<std::size_t> codeDots;
      for (std::size_t d = 0; d < dots.size(); ++d)
        if (dots[d].role == DotRole::CellMap || dots[d].role == DotRole::Data) codeDots.push_back(d);
      if (codeDots.empty()) break;
      dots.erase(dots.begin() + static_cast<std::ptrdiff_t>(codeDots[static_cast<std::size_t>(
                                    random.Below(static_cast<int>(codeDots.size())))]));
    }
    if (damage.extraDot > 0) {
      for (int w = kBlockMinW; w <= kBlockMaxW; ++w)
        for (int u = kBlockMinU; u <= kBlockMaxU; ++u)
          if (!occupied.contains({u, w}) && random.Chance(damage.extraDot)) dots.push_back({{u, w}, DotRole::Data});
    }
    for (const BlockDot& d : dots) {
      const PixelPoint at = PixelOf(placement, d.at);
      PaintSquare(page, at.x, at.y, options.dotSize, options.dotGrey);
    }
  }

  const int speckSize = damage.speckSize > 0 ? damage.speckSize : options.dotSize;
  for (int s = 0; s < damage.specks; ++s) {
    const int x = random.Below(width);
    const int y = random.Below(height);
    PaintSquare(page, x, y, speckSize, options.dotGrey);
  }
  page = TurnAndScale(page, damage.turnDegrees, damage.scale, options.paperGrey);
  for (int pass = 0; pass < damage.blurPasses; ++pass) Blur(page);
  if (damage.saltPepper > 0 || damage.greyNoise > 0) {
    for (std::uint8_t& pixel : page.pixels) {
      if (damage.greyNoise > 0) {
        const int shift = random.Below(2 * damage.greyNoise + 1) - damage.greyNoise;
        pixel = static_cast<std::uint8_t>(std::clamp(pixel + shift, 0, 255));
      }
      if (random.Chance(damage.saltPepper)) pixel = random.Below(2) == 0 ? 0 : 255;
    }
  }
  return result;
}

}  // namespace orla::pattern
