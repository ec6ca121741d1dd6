// The block stages of a pass. A first block teaches the pitch, the resolution and the block
// period, and the collection reads the page along them. A photo's halftone screen leaves
// lattices of specks that can pass for a block; along such a lattice no other block's check
// byte ever holds. So a first block after which the collection committed nothing taught
// nothing true: the search sets it aside (the first block stage has painted its dots out) and
// goes on past it, with the slots, the evidence and all it taught forgotten.
//
// What the failed collection painted out stays out: every frame it painted fitted the false
// lattice and read there, so it belongs to the same screen, and leaving it would only let the
// walk find it again. A block of a print has its own pitch and cannot fit a frame of another.
//
// With it goes the inside of the false lattice's field: every dot whose four neighbours one
// pitch along and across the false rows are dots too. A screen lays such fields over whole
// tones of the photo, and each of their dots would otherwise be tried again as a first block,
// at the cost of the whole walk; a print's blocks are sparse on any lattice but their own. A
// pass that got here had ended with nothing before, so nothing it paints can cost a record a
// pass found; the next pass starts from a fresh copy of the page.
//
// Once a first block proved false, every dot inside a field of dots of any short step is
// marked, and no walk of the pass starts at one again: the screen's other tones lay fields of
// their own, each of whose dots would cost a frame search, and no reference dot lies inside a
// field (InsideDotField). They stay on the page for the frames traced through them.
//
// The search goes on for a bounded number of collections a pass; a first block on a lattice
// already collected in vain in this pass is set aside without one, as the walk along that
// lattice has painted out all it could read.

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "page_walk.h"
#include "shading_reg.h"

namespace {

constexpr int kMostCollections = 8;

struct Lattice {
  int resolution = 0;
  orla::Point period{};
  friend bool operator==(const Lattice&, const Lattice&) = default;
};

}  // namespace

orla::Point CShadingReg::LatticeStep() const {
  const auto eleventh = [](int v) { return static_cast<int>(std::lround(v / 11.0)); };
  return orla::Point{eleventh(blockPeriod.x), eleventh(blockPeriod.y)};
}

void CShadingReg::EraseLatticeField(orla::Point step) {
  if (step == orla::Point{}) return;
  // The whole field is measured on the page as it stands, then painted out.
  std::vector<orla::Point> inside;
  for (int y = 0; y < pageHeight; ++y) {
    const std::uint8_t* row = page->rows[y].get();
    for (int x = orla::NextDot(row, 0, pageWidth); x < pageWidth; x = orla::NextDot(row, x + 1, pageWidth)) {
      if (HasDotsAround(x, y, step)) inside.push_back(orla::Point{x, y});
    }
  }
  for (const orla::Point& p : inside) page->rows[p.y][p.x] = 255;
}

void CShadingReg::MarkFieldDots() {
  fieldDots.emplace(pageWidth, pageHeight);
  for (int y = 0; y < pageHeight; ++y) {
    const std::uint8_t* row = page->rows[y].get();
    for (int x = orla::NextDot(row, 0, pageWidth); x < pageWidth; x = orla::NextDot(row, x + 1, pageWidth)) {
      if (InsideDotField(x, y)) fieldDots->Set(x, y);
    }
  }
}

orla::RecognizeResult CShadingReg::SearchBlocks(orla::ProgressSink* progress) {
  firstBlockFrom = orla::Point{};
  fieldDots.reset();
  std::array<Lattice, kMostCollections> failed{};
  int collections = 0;
  for (;;) {
    const orla::RecognizeResult first = FindFirstBlock(progress);
    if (first != orla::kRecognizeFound) return first;
    const Lattice lattice{resolution, blockPeriod};
    bool known = false;
    for (int i = 0; i < collections; ++i) known = known || failed[i] == lattice;
    if (!known) {
      const orla::RecognizeResult collected = CollectBlocks(progress);
      if (collected != orla::kRecognizeNothingFound || blocksCollected > 0) return collected;
      failed[collections++] = lattice;
      // One pitch along the false rows, as whole pixels: a screen's lattice lies on them.
      EraseLatticeField(LatticeStep());
      if (!fieldDots) MarkFieldDots();
      if (collections == kMostCollections) return orla::kRecognizeNothingFound;
    }
    // The next first block starts from nothing, as a pass does; the pass copy stays as it is.
    ResetPage();
    resolution = std::min(pageDpiX, pageDpiY);
    blockPeriod = orla::Point{};
  }
}
