#pragma once
// Pages that carry two prints, as real pages do: a photocopy holds the original printer's
// pattern and the copier's, a page printed twice holds two, and a clipping of another print
// laid on a page shows a piece of a second one. Each case is two records laid out as its
// layout says; everything is drawn from the seed, so a case is replayed from its name and seed.
//
// Both prints come from one kind of printer: the same resolution, lattice kind, quarter turn
// and dot size. Prints are laid over each other darker pixel first, as a copier or a second
// pass through a printer would; a clipping covers the page under it.

#include <cstdint>
#include <string>
#include <vector>

#include "pattern_writer.h"

namespace orla::pattern {

// How the second record differs from the first.
enum class RecordRelation {
  Different,       // another record altogether
  TimeOnly,        // the same printer and job, printed at another time
  OneOrTwoBlocks,  // one or two characters of the serial number changed
};

enum class TwoPrintLayout {
  Near,             // both over the same part of the page, the second moved 0 to 40 pitches
  Far,              // side by side, not overlapping
  ClippingAnywhere, // a 300 to 800 pixel piece of a filled print laid on a page of 4 copies
  ClippingTopEdge,  // the same piece laid along the page's top edge
};

// Where the second print's dots lie against the first's: on the same lattice (moved by whole
// pitches), a fraction of a pitch off it, or turned by half a degree to a degree.
enum class LatticePhase { Same, Other, Turned };

struct TwoPrintCase {
  std::string name;
  RecordRelation relation = RecordRelation::Different;
  TwoPrintLayout layout = TwoPrintLayout::Near;
  LatticePhase phase = LatticePhase::Same;
  bool secondShuffled = false;  // the second print's blocks in a random order
  int dpi = 300;
};

// Every case the two-print bench measures, at 300 and at 600 dots per inch.
const std::vector<TwoPrintCase>& TwoPrintCases();

struct TwoPrintPage {
  PatternRecord first;
  PatternRecord second;
  GreyPage page;
  std::string error;  // empty when the page was made
  bool ok() const { return error.empty(); }
};

TwoPrintPage MakeTwoPrintPage(const TwoPrintCase& c, Compression compression, std::uint64_t seed);

}  // namespace orla::pattern
