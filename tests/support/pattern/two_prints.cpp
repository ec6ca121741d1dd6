#include "two_prints.h"

#include <algorithm>
#include <cmath>

#include "damage_levels.h"
#include "seeded_random.h"

namespace orla::pattern {
namespace {

// A quarter of an A4 page, as the scan-damage cases use, at either resolution.
constexpr int kQuarterA4Width300 = 1240;
constexpr int kQuarterA4Height300 = 1754;
// How far the second print of a Near page moves, and so the border both prints leave free.
constexpr int kMostShiftPitches = 40;
constexpr int kFirstPageCopies = 4;
constexpr int kSmallestClipping = 300;
constexpr int kLargestClipping = 800;

const char* RelationName(RecordRelation r) {
  switch (r) {
    case RecordRelation::Different: return "two records";
    case RecordRelation::TimeOnly: return "only the time differs";
    case RecordRelation::OneOrTwoBlocks: return "1-2 blocks differ";
  }
  return "?";
}

const char* LayoutName(TwoPrintLayout l, LatticePhase p, bool shuffled) {
  switch (l) {
    case TwoPrintLayout::Near:
      if (shuffled) return "near, other phase, second shuffled";
      return p == LatticePhase::Same ? "near, same phase" : p == LatticePhase::Other ? "near, other phase" : "near, turned";
    case TwoPrintLayout::Far:
      if (shuffled) return "far, same phase, second shuffled";
      return p == LatticePhase::Same ? "far, same phase" : p == LatticePhase::Other ? "far, other phase" : "far, turned";
    case TwoPrintLayout::ClippingAnywhere: return "clipping anywhere";
    case TwoPrintLayout::ClippingTopEdge: return "clipping along the top edge";
  }
  return "?";
}

std::vector<TwoPrintCase> AllCases() {
  struct Layout {
    TwoPrintLayout layout;
    LatticePhase phase;
    bool shuffled;
  };
  const Layout layouts[] = {
      {TwoPrintLayout::Near, LatticePhase::Same, false},   {TwoPrintLayout::Near, LatticePhase::Other, false},
      {TwoPrintLayout::Near, LatticePhase::Turned, false}, {TwoPrintLayout::Near, LatticePhase::Other, true},
      {TwoPrintLayout::Far, LatticePhase::Same, false},    {TwoPrintLayout::Far, LatticePhase::Other, false},
      {TwoPrintLayout::Far, LatticePhase::Turned, false},  {TwoPrintLayout::Far, LatticePhase::Same, true},
      {TwoPrintLayout::ClippingAnywhere, LatticePhase::Other, false},
      {TwoPrintLayout::ClippingTopEdge, LatticePhase::Other, false},
  };
  std::vector<TwoPrintCase> cases;
  for (const int dpi : {300, 600}) {
    for (const RecordRelation relation :
         {RecordRelation::Different, RecordRelation::TimeOnly, RecordRelation::OneOrTwoBlocks}) {
      for (const Layout& l : layouts) {
        TwoPrintCase c{.name = {}, .relation = relation, .layout = l.layout, .phase = l.phase, .secondShuffled = l.shuffled, .dpi = dpi};
        c.name = std::to_string(dpi) + " dpi, " + RelationName(relation) + ", " + LayoutName(l.layout, l.phase, l.shuffled);
        cases.push_back(std::move(c));
      }
    }
  }
  return cases;
}

PatternRecord SecondRecord(const PatternRecord& first, RecordRelation relation, SeededRandom& random) {
  PatternRecord second = relation == RecordRelation::Different ? RandomRecord(random) : first;
  if (relation == RecordRelation::TimeOnly) {
    while (second.timeStamp == first.timeStamp) second.timeStamp = RandomRecord(random).timeStamp;
  } else if (relation == RecordRelation::OneOrTwoBlocks) {
    const std::string upper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const int changes = 1 + random.Below(2);
    for (int k = 0; k < changes; ++k) {
      char& c = second.serialNumber[static_cast<std::size_t>(random.Below(static_cast<int>(second.serialNumber.size())))];
      const char was = c;
      while (c == was) c = upper[static_cast<std::size_t>(random.Below(static_cast<int>(upper.size())))];
    }
  }
  return second;
}

// The whole lattice vector nearest a pixel vector.
PixelVector NearestLatticeVector(const PageOptions& options, double x, double y) {
  const PixelVector u = LatticeVectorOf(options, 1, 0);
  const PixelVector w = LatticeVectorOf(options, 0, 1);
  const double pitch2 = u.x * u.x + u.y * u.y;
  return LatticeVectorOf(options, std::round((x * u.x + y * u.y) / pitch2), std::round((x * w.x + y * w.y) / pitch2));
}

// The second print's offset from the first's lattice for a phase: none on the same lattice,
// a quarter to three quarters of a pitch along both rows off it, any fraction when turned (the
// turn moves the phase over the page anyway).
PixelVector PhaseOffset(const PageOptions& options, LatticePhase phase, SeededRandom& random) {
  switch (phase) {
    case LatticePhase::Same: return {};
    case LatticePhase::Other: return LatticeVectorOf(options, 0.25 + 0.5 * random.Unit(), 0.25 + 0.5 * random.Unit());
    case LatticePhase::Turned: return LatticeVectorOf(options, random.Unit(), random.Unit());
  }
  return {};
}

double TurnOf(LatticePhase phase, SeededRandom& random) {
  if (phase != LatticePhase::Turned) return 0;
  const double degrees = 0.5 + 0.5 * random.Unit();
  return random.Below(2) == 0 ? degrees : -degrees;
}

// `record` filling the tiles of the region from (left, top) to the page's width and height as
// `base` sets them, with as many copies as the tiles hold (one at least).
PatternPage FilledPrint(const PatternRecord& record, Compression compression, bool shuffled, PatternOptions options,
                        int regionWidth, int regionHeight) {
  options.payload.compression = compression;
  options.shuffle = shuffled;
  PageOptions region = options.page;
  region.width = options.page.left + regionWidth;
  region.height = options.page.top + regionHeight;
  const TileGrid grid = TilesOnPage(region);
  options.page.columns = std::max(1, grid.columns);
  const EncodedPattern once = EncodePattern(record, options);
  const int blocks = std::max<int>(1, static_cast<int>(once.blocks.size()));
  options.copies = std::max(1, grid.columns * grid.rows / blocks);
  return MakePatternPage(record, options);
}

void LayDarker(GreyPage& page, const GreyPage& over) {
  for (std::size_t i = 0; i < page.pixels.size() && i < over.pixels.size(); ++i)
    page.pixels[i] = std::min(page.pixels[i], over.pixels[i]);
}

}  // namespace

const std::vector<TwoPrintCase>& TwoPrintCases() {
  static const std::vector<TwoPrintCase> cases = AllCases();
  return cases;
}

TwoPrintPage MakeTwoPrintPage(const TwoPrintCase& c, Compression compression, std::uint64_t seed) {
  SeededRandom random(seed * 0xD1B54A32D192ED03ull + 0x2F0F5u);
  TwoPrintPage made;
  made.first = RandomRecord(random);
  made.second = SecondRecord(made.first, c.relation, random);

  const int scale = c.dpi / 300;
  const int width = kQuarterA4Width300 * scale;
  const int height = kQuarterA4Height300 * scale;
  PatternOptions options;
  PageOptions& page = options.page;
  page.dpi = c.dpi;
  page.lattice = random.Below(2) == 0 ? Lattice::Diagonal : Lattice::Axis;
  page.quarterTurns = random.Below(4);
  page.dotSize = scale == 1 ? 2 : 3;
  page.width = width;
  page.height = height;
  page.marginPitches = 12;
  page.seed = seed;
  const double pitch = PitchOf(c.dpi);

  PatternPage first;
  PatternPage second;
  const PixelVector phase = PhaseOffset(page, c.phase, random);
  PatternOptions secondOptions = options;
  secondOptions.page.seed = seed + 1;
  secondOptions.page.damage.turnDegrees = TurnOf(c.phase, random);

  switch (c.layout) {
    case TwoPrintLayout::Near: {
      // Both prints over the page less a border as wide as the farthest move, the second moved
      // up to 40 pitches either way along both axes.
      const int border = static_cast<int>(std::ceil(kMostShiftPitches * pitch));
      options.page.left = options.page.top = border;
      secondOptions.page.left = secondOptions.page.top = border;
      const auto move = [&] { return (2 * random.Unit() - 1) * kMostShiftPitches * pitch; };
      const double mx = move();
      const double my = move();
      const PixelVector whole = NearestLatticeVector(page, mx, my);
      secondOptions.page.shiftX = whole.x + phase.x;
      secondOptions.page.shiftY = whole.y + phase.y;
      first = FilledPrint(made.first, compression, false, options, width - 2 * border, height - 2 * border);
      second = FilledPrint(made.second, compression, c.secondShuffled, secondOptions, width - 2 * border,
                           height - 2 * border);
      break;
    }
    case TwoPrintLayout::Far: {
      // The first print in the left half, the second the same layout half a page to the right.
      const PixelVector whole = NearestLatticeVector(page, width / 2.0, 0);
      secondOptions.page.shiftX = whole.x + phase.x;
      secondOptions.page.shiftY = whole.y + phase.y;
      first = FilledPrint(made.first, compression, false, options, width / 2, height);
      second = FilledPrint(made.second, compression, c.secondShuffled, secondOptions, width / 2, height);
      break;
    }
    case TwoPrintLayout::ClippingAnywhere:
    case TwoPrintLayout::ClippingTopEdge: {
      // Four copies of the first record from the top of the page; a piece of a page filled
      // with the second, cut anywhere on it, laid over.
      PatternOptions once = options;
      once.payload.compression = compression;
      once.copies = kFirstPageCopies;
      once.page.columns = std::max(1, TilesOnPage(once.page).columns);
      first = MakePatternPage(made.first, once);
      const PixelVector anyPhase = LatticeVectorOf(page, random.Unit(), random.Unit());
      secondOptions.page.shiftX = anyPhase.x;
      secondOptions.page.shiftY = anyPhase.y;
      second = FilledPrint(made.second, compression, c.secondShuffled, secondOptions, width, height);
      break;
    }
  }
  if (!first.ok() || !second.ok()) {
    made.error = !first.ok() ? first.error : second.error;
    return made;
  }

  made.page = std::move(first.page);
  if (c.layout == TwoPrintLayout::Near || c.layout == TwoPrintLayout::Far) {
    LayDarker(made.page, second.page);
    return made;
  }
  const int clipWidth = kSmallestClipping + random.Below(kLargestClipping - kSmallestClipping + 1);
  const int clipHeight = kSmallestClipping + random.Below(kLargestClipping - kSmallestClipping + 1);
  const int fromX = random.Below(width - clipWidth + 1);
  const int fromY = random.Below(height - clipHeight + 1);
  const int toX = random.Below(width - clipWidth + 1);
  const int toY = c.layout == TwoPrintLayout::ClippingTopEdge ? 0 : random.Below(height - clipHeight + 1);
  for (int y = 0; y < clipHeight; ++y)
    for (int x = 0; x < clipWidth; ++x) made.page.at(toX + x, toY + y) = second.page.at(fromX + x, fromY + y);
  return made;
}

}  // namespace orla::pattern
