#include "halftone.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "seeded_random.h"

namespace orla::pattern {
namespace {

// The recursive dispersed order: each doubling of the side puts the next four levels of a
// cell at its corners in the order 0, 2, 3, 1 (top-left, bottom-right, top-right, bottom-left),
// so that every level lies as far as it can from those before it.
ThresholdMatrix Dispersed(int side) {
  ThresholdMatrix m{1, {0}};
  while (m.side < side) {
    const int n = m.side;
    ThresholdMatrix next{2 * n, std::vector<int>(static_cast<std::size_t>(4 * n * n))};
    const int corner[2][2] = {{0, 2}, {3, 1}};
    for (int y = 0; y < 2 * n; ++y) {
      for (int x = 0; x < 2 * n; ++x) {
        next.order[static_cast<std::size_t>(y * 2 * n + x)] = 4 * m.at(x, y) + corner[y / n][x / n];
      }
    }
    m = std::move(next);
  }
  return m;
}

// Two dots a cell on a screen turned 45 degrees: one grows from the cell's middle, the other
// from its corner, each pixel belonging to the nearer of the two; the dots take the levels in
// turn, pixel by pixel outwards from their middles (ties by angle, so the order is fixed).
ThresholdMatrix Clustered6x6() {
  constexpr int kSide = 6;
  struct Pixel {
    int index;
    int dot;
    double distance;
    double angle;
  };
  std::vector<Pixel> pixels;
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      // Pixel middles at (x + 0.5, y + 0.5); dot middles at (3, 3) and at the corners.
      const double px = x + 0.5;
      const double py = y + 0.5;
      const double toMiddle = std::hypot(px - 3.0, py - 3.0);
      const double cx = px < 3.0 ? 0.0 : 6.0;
      const double cy = py < 3.0 ? 0.0 : 6.0;
      const double toCorner = std::hypot(px - cx, py - cy);
      const bool middle = toMiddle <= toCorner;
      const double dx = middle ? px - 3.0 : px - cx;
      const double dy = middle ? py - 3.0 : py - cy;
      pixels.push_back({y * kSide + x, middle ? 0 : 1, middle ? toMiddle : toCorner, std::atan2(dy, dx)});
    }
  }
  std::vector<Pixel> byDot[2];
  for (const Pixel& p : pixels) byDot[p.dot].push_back(p);
  for (auto& dot : byDot) {
    std::stable_sort(dot.begin(), dot.end(), [](const Pixel& a, const Pixel& b) {
      return a.distance != b.distance ? a.distance < b.distance : a.angle < b.angle;
    });
  }
  ThresholdMatrix m{kSide, std::vector<int>(kSide * kSide)};
  int level = 0;
  for (std::size_t k = 0; k < std::max(byDot[0].size(), byDot[1].size()); ++k) {
    for (const auto& dot : byDot) {
      if (k < dot.size()) m.order[static_cast<std::size_t>(dot[k].index)] = level++;
    }
  }
  return m;
}

}  // namespace

const char* NameOf(HalftoneScreen screen) {
  switch (screen) {
    case HalftoneScreen::Dispersed8x8:
      return "dispersed 8x8";
    case HalftoneScreen::Clustered6x6:
      return "clustered 6x6 at 45 degrees";
    case HalftoneScreen::Dispersed4x4:
      return "dispersed 4x4";
  }
  return "?";
}

ThresholdMatrix MatrixOf(HalftoneScreen screen) {
  switch (screen) {
    case HalftoneScreen::Dispersed8x8:
      return Dispersed(8);
    case HalftoneScreen::Dispersed4x4:
      return Dispersed(4);
    case HalftoneScreen::Clustered6x6:
      break;
  }
  return Clustered6x6();
}

SyntheticPhoto::SyntheticPhoto(int width, int height, std::uint64_t seed) : width_(width), height_(height) {
  SeededRandom random(seed);
  angle_ = random.Unit() * 2.0 * std::acos(-1.0);
  const int blobs = 3 + random.Below(4);
  const double size = std::max(1, std::min(width, height));
  for (int b = 0; b < blobs; ++b) {
    blobs_.push_back({random.Unit() * width, random.Unit() * height, size * (0.1 + 0.3 * random.Unit()),
                      random.Unit() * 1.2 - 0.6});
  }
  const double pi = std::acos(-1.0);
  const int patches = 4 + random.Below(5);
  for (int r = 0; r < patches; ++r) {
    // Within a few degrees of one axis, 20 to 60 pixels from crest to crest.
    const double angle = (random.Below(2) * 90.0 + (random.Unit() * 6.0 - 3.0)) * pi / 180.0;
    const double k = 2.0 * pi / (20.0 + 40.0 * random.Unit());
    ripples_.push_back({random.Unit() * width, random.Unit() * height, size * (0.15 + 0.35 * random.Unit()),
                        0.02 + 0.06 * random.Unit(), -k * std::sin(angle), k * std::cos(angle),
                        random.Unit() * 2.0 * pi});
  }
}

double SyntheticPhoto::ToneAt(int x, int y) const {
  // A gradient across the band from white to black along the drawn angle...
  const double diagonal = std::hypot(static_cast<double>(width_), static_cast<double>(height_));
  const double along = ((x - width_ / 2.0) * std::cos(angle_) + (y - height_ / 2.0) * std::sin(angle_)) / diagonal;
  double tone = 0.5 + along;
  // ...under soft round shapes, darker or lighter.
  for (const Blob& blob : blobs_) {
    const double dx = (x - blob.cx) / blob.radius;
    const double dy = (y - blob.cy) / blob.radius;
    tone -= blob.depth * std::exp(-(dx * dx + dy * dy));
  }
  for (const Ripples& r : ripples_) {
    const double dx = (x - r.cx) / r.radius;
    const double dy = (y - r.cy) / r.radius;
    tone += r.amplitude * std::exp(-(dx * dx + dy * dy)) * std::sin(r.kx * x + r.ky * y + r.phase);
  }
  return std::clamp(tone, 0.0, 1.0);
}

void PaintHalftoneBand(GreyPage& page, HalftoneScreen screen, int top, int height, std::uint64_t seed) {
  const int first = std::max(0, top);
  const int end = std::min(page.height, top + height);
  if (first >= end || page.width <= 0) return;
  const ThresholdMatrix matrix = MatrixOf(screen);
  const int levels = matrix.side * matrix.side;
  const SyntheticPhoto photo(page.width, end - first, seed);
  for (int y = first; y < end; ++y) {
    for (int x = 0; x < page.width; ++x) {
      // A pixel is inked when the photo's darkness covers its level: darkness d inks the
      // round(d * levels) lowest levels of every cell.
      const double darkness = 1.0 - photo.ToneAt(x, y - first);
      const bool inked = darkness * levels > matrix.at(x, y) + 0.5;
      page.at(x, y) = inked ? 0 : 255;
    }
  }
}

PatternPage MakeHalftonePage(const PatternRecord& record, PatternOptions options, HalftoneScreen screen,
                             double bandShare, bool withPattern) {
  PatternPage made;
  const int band = static_cast<int>(options.page.height * bandShare);
  if (withPattern) {
    const EncodedPattern once = EncodePattern(record, options);
    const TileGrid grid = TilesOnPage(options.page);
    options.page.columns = grid.columns;
    if (!once.blocks.empty()) {
      options.copies = std::max<int>(1, grid.columns * grid.rows / static_cast<int>(once.blocks.size()));
    }
    made = MakePatternPage(record, options);
    if (!made.ok()) return made;
  } else {
    made.page.width = options.page.width;
    made.page.height = options.page.height;
    made.page.dpi = options.page.dpi;
    made.page.pixels.assign(static_cast<std::size_t>(options.page.width) * static_cast<std::size_t>(options.page.height),
                            options.page.paperGrey);
  }
  PaintHalftoneBand(made.page, screen, 0, band, options.page.seed);
  return made;
}

}  // namespace orla::pattern
