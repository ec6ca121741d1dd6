#include "page_prints.h"

#include <algorithm>
#include <cmath>

#include "fitted_grid.h"

namespace orla {

bool PagePrints::NoteOn(Print& print, const NotedReading& noted) {
  ++print.blocks;
  return NoteBlockReadings(print.evidence, noted.b, noted.reading, noted.nextReading, noted.trust);
}

bool PagePrints::Note(const ReferenceRow& rowA, const ReferenceRow& rowB, int b, const BlockReading& reading,
                      const BlockReading& nextReading, const ValueTrust& trust) {
  const NotedReading& noted = readings_.emplace_back(NotedReading{rowA, rowB, b, reading, nextReading, trust});
  for (Print& print : prints_) {
    if (const std::optional<LatticeOffset> at = print.lattice.Place(rowA, rowB)) {
      print.lattice.Add(rowA, rowB, *at);
      return NoteOn(print, noted);
    }
  }
  if (Count() == kMostPrints) return false;
  return NoteOn(prints_.emplace_back(PrintLattice(rowA, rowB)), noted);
}

void PagePrints::Settle() {
  std::vector<PrintLattice> lattices;
  std::vector<int> order(prints_.size());
  for (std::size_t p = 0; p < order.size(); ++p) order[p] = static_cast<int>(p);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return prints_[static_cast<std::size_t>(a)].blocks > prints_[static_cast<std::size_t>(b)].blocks;
  });
  for (const int p : order) lattices.push_back(prints_[static_cast<std::size_t>(p)].lattice);
  prints_.clear();
  PlaceReadings(lattices, false);
  latticePrints_ = std::move(prints_);
  prints_.clear();
  prints_.reserve(kMostPrints);
  PlaceReadings(lattices, true);
}

void PagePrints::PlaceReadings(const std::vector<PrintLattice>& lattices, bool byGrid) {
  std::vector<bool> taken(readings_.size(), false);
  std::vector<PrintLattice::BlockPlace> places(readings_.size());
  // Blocks on a lattice off the grid of its print, with their places on it and its pitch.
  std::vector<std::pair<double, std::vector<std::size_t>>> left;
  std::vector<PrintLattice::BlockPlace> leftPlaces(readings_.size());
  for (PrintLattice lattice : lattices) {
    // The walk meets blocks in page order, often far from where a young lattice was known:
    // one a few tenths of a percent off in pitch places such a block within its tolerance but
    // a whole pitch wrong, and bends to hold it, until the print parts in two lattices of
    // other pitches, each holding every few columns of it. So the lattice is grown again from
    // the block it places best, nearest blocks first: each next block lies near blocks the
    // lattice already holds, where it cannot be a pitch wrong.
    const std::vector<std::size_t> first = PlacedOn(lattice, taken, places);
    if (first.empty()) continue;
    const std::size_t seed = *std::min_element(first.begin(), first.end(), [&](std::size_t a, std::size_t b) {
      return std::hypot(places[a].offX, places[a].offY) < std::hypot(places[b].offX, places[b].offY);
    });
    lattice = GrownFrom(seed, taken);
    std::vector<std::size_t> members;
    for (int round = 0; round < kSettlingRounds; ++round) {
      const std::vector<std::size_t> on = PlacedOn(lattice, taken, places);
      members.clear();
      if (on.empty()) break;
      if (round + 1 == kSettlingRounds) {
        members = on;
        break;
      }
      // A lattice that grew over the blocks of two prints a fraction of a pitch apart lies
      // between them, and takes in both. Its blocks' offsets from it gather in one cloud for
      // each print: the lattice is fitted again to the densest cloud alone.
      const double pitch = lattice.Pitch();
      const auto apart = [&](std::size_t a, std::size_t b) {
        return std::hypot(places[a].offX - places[b].offX, places[a].offY - places[b].offY);
      };
      std::size_t mode = on.front();
      int most = -1;
      for (const std::size_t a : on) {
        const int near = static_cast<int>(
            std::count_if(on.begin(), on.end(), [&](std::size_t b) { return apart(a, b) <= kCloudRadius * pitch; }));
        if (near > most) {
          most = near;
          mode = a;
        }
      }
      for (const std::size_t i : on) {
        if (apart(i, mode) <= kCloudSpan * pitch) members.push_back(i);
      }
      lattice = FitTo(members, places);
    }
    // Two prints on one lattice lie on two grids of tiles: the grid that holds most of the
    // lattice's blocks is one print. The rest wait until every lattice has taken its print:
    // where a turned print crosses this one's lattice, its blocks lie on both, and belong to
    // the turned print's grid.
    if (members.empty()) continue;
    const std::vector<std::size_t> part = byGrid ? OneGridOf(members, places) : members;
    NoteGridPart(part, places, lattice.Pitch(), taken);
    if (part.size() == members.size()) continue;
    std::vector<std::size_t>& rest = left.emplace_back(lattice.Pitch(), std::vector<std::size_t>{}).second;
    for (const std::size_t i : members) {
      if (!taken[i]) rest.push_back(i);
    }
    for (const std::size_t i : rest) leftPlaces[i] = places[i];
  }
  // The blocks of another grid that no lattice took: a second print on the same lattice,
  // moved by some pitches, grid by grid.
  for (auto& [pitch, rest] : left) {
    for (;;) {
      std::erase_if(rest, [&](std::size_t i) { return taken[i]; });
      if (rest.empty() || Count() == kMostPrints) break;
      NoteGridPart(OneGridOf(rest, leftPlaces), leftPlaces, pitch, taken);
    }
  }
}

void PagePrints::NoteGridPart(const std::vector<std::size_t>& part, const std::vector<PrintLattice::BlockPlace>& places,
                              double pitch, std::vector<bool>& taken) {
  for (const std::size_t i : part) taken[i] = true;
  NoteAsPrint(FitTo(part, places), part);
  // Two prints on one lattice and one grid, side by side with a gap between them, are parted
  // at the gap.
  if (ShowsOnePrint(Count() - 1)) return;
  const std::array<std::vector<std::size_t>, 2> sides = ApartAcrossAGap(part, pitch);
  if (sides[0].empty()) return;
  prints_.pop_back();
  for (const std::vector<std::size_t>& side : sides) NoteAsPrint(FitTo(side, places), side);
}

std::vector<std::size_t> PagePrints::OneGridOf(const std::vector<std::size_t>& members,
                                               const std::vector<PrintLattice::BlockPlace>& places) const {
  // A print's grid is spanned by the steps from a block to its neighbours; where two prints
  // lie on one lattice, the steps to the nearest blocks may be steps to the other print's, and
  // a grid grown from them holds a column or two of each. So the grid is grown from every pair
  // of steps to near blocks that spans a grid of tiles no shorter than a block, over the
  // blocks nearest first, each joining when it lies near a point of the grid as the blocks
  // before it fitted it; the grid that holds most is the print's. It is tried from the best
  // placed block, and from the best placed blocks that no grid tried so far holds.
  std::vector<std::size_t> bySeed = members;
  std::stable_sort(bySeed.begin(), bySeed.end(), [&](std::size_t a, std::size_t b) {
    return std::hypot(places[a].offX, places[a].offY) < std::hypot(places[b].offX, places[b].offY);
  });
  std::vector<std::size_t> best;
  std::vector<bool> held(readings_.size(), false);
  int tries = 0;
  for (const std::size_t seed : bySeed) {
    if (held[seed]) continue;
    if (++tries > kGridTries) break;
    const Point from = readings_[seed].rowA.back();
    const auto distance2 = [&](std::size_t i) {
      const Point at = readings_[i].rowA.back();
      const double dx = at.x - from.x;
      const double dy = at.y - from.y;
      return dx * dx + dy * dy;
    };
    std::vector<std::size_t> order = members;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return distance2(a) < distance2(b); });
    const LatticeOffset origin = places[seed].at;
    std::vector<std::size_t> near;
    for (const std::size_t i : order) {
      if (near.size() == kGridNeighbours) break;
      if (places[i].at != origin) near.push_back(i);
    }
    std::vector<std::size_t> part{seed};
    for (std::size_t a = 0; a < near.size(); ++a) {
      for (std::size_t b = a + 1; b < near.size(); ++b) {
        const LatticeOffset stepA = places[near[a]].at;
        const LatticeOffset stepB = places[near[b]].at;
        BlockGrid spanned;
        spanned.Add(origin);
        spanned.Add(stepA);
        spanned.Add(stepB);
        if (!spanned.OneGrid() || !spanned.Spans()) continue;
        FittedGrid grid(origin, stepA, stepB);
        std::vector<std::size_t> on{seed, near[a], near[b]};
        for (const std::size_t i : order) {
          if (i == seed || i == near[a] || i == near[b]) continue;
          const std::optional<std::array<int, 2>> k = grid.Near(places[i].at);
          if (!k) continue;
          grid.Add(places[i].at, *k);
          on.push_back(i);
        }
        if (on.size() > part.size()) part = std::move(on);
      }
    }
    if (part.size() == 1) {
      // No two steps span a grid: the blocks lie in one line, and their steps along it are
      // whole tiles, exactly.
      BlockGrid grid;
      part.clear();
      for (const std::size_t i : order) {
        BlockGrid with = grid;
        with.Add(places[i].at);
        if (!with.OneGrid()) continue;
        grid = with;
        part.push_back(i);
      }
    }
    for (const std::size_t i : part) held[i] = true;
    if (part.size() > best.size()) best = std::move(part);
    if (best.size() == members.size()) break;
  }
  return best;
}

std::vector<std::size_t> PagePrints::PlacedOn(const PrintLattice& lattice, const std::vector<bool>& taken,
                                              std::vector<PrintLattice::BlockPlace>& places) const {
  std::vector<std::size_t> on;
  for (std::size_t i = 0; i < readings_.size(); ++i) {
    if (taken[i]) continue;
    const std::optional<PrintLattice::BlockPlace> place = lattice.Measure(readings_[i].rowA, readings_[i].rowB);
    if (!place || !place->OnLattice()) continue;
    on.push_back(i);
    places[i] = *place;
  }
  return on;
}

PrintLattice PagePrints::GrownFrom(std::size_t seed, const std::vector<bool>& taken) const {
  const Point from = readings_[seed].rowA.back();
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < readings_.size(); ++i) {
    if (!taken[i] && i != seed) order.push_back(i);
  }
  const auto distance2 = [&](std::size_t i) {
    const Point at = readings_[i].rowA.back();
    const double dx = at.x - from.x;
    const double dy = at.y - from.y;
    return dx * dx + dy * dy;
  };
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return distance2(a) < distance2(b); });
  PrintLattice lattice(readings_[seed].rowA, readings_[seed].rowB);
  for (const std::size_t i : order) {
    const std::optional<PrintLattice::BlockPlace> place = lattice.Measure(readings_[i].rowA, readings_[i].rowB);
    if (place && place->OnLattice()) lattice.Add(readings_[i].rowA, readings_[i].rowB, place->at);
  }
  return lattice;
}

void PagePrints::NoteAsPrint(const PrintLattice& lattice, const std::vector<std::size_t>& members) {
  Print& print = prints_.emplace_back(lattice);
  for (const std::size_t i : members) NoteOn(print, readings_[i]);
}

PrintLattice PagePrints::FitTo(const std::vector<std::size_t>& part,
                               const std::vector<PrintLattice::BlockPlace>& places) const {
  const NotedReading& first = readings_[part.front()];
  PrintLattice lattice(first.rowA, first.rowB);
  const LatticeOffset origin = places[part.front()].at;
  for (std::size_t k = 1; k < part.size(); ++k) {
    const LatticeOffset at = places[part[k]].at;
    lattice.Add(readings_[part[k]].rowA, readings_[part[k]].rowB, {at.u - origin.u, at.w - origin.w});
  }
  return lattice;
}

std::array<std::vector<std::size_t>, 2> PagePrints::ApartAcrossAGap(const std::vector<std::size_t>& members,
                                                                    double pitch) const {
  std::array<std::vector<std::size_t>, 2> best;
  double widest = 0;
  for (const bool alongX : {true, false}) {
    const auto along = [&](std::size_t i) { return alongX ? readings_[i].rowA.back().x : readings_[i].rowA.back().y; };
    std::vector<std::size_t> sorted = members;
    std::sort(sorted.begin(), sorted.end(), [&](std::size_t a, std::size_t b) { return along(a) < along(b); });
    // The steps from one column (or row) of blocks to the next; blocks of one column lie
    // within a few pitches of each other.
    std::vector<std::pair<int, std::size_t>> steps;  // length, index of the first block after it
    for (std::size_t k = 1; k < sorted.size(); ++k) {
      const int step = along(sorted[k]) - along(sorted[k - 1]);
      if (step > kSameColumnPitches * pitch) steps.emplace_back(step, k);
    }
    if (steps.size() < 2) continue;
    std::vector<int> lengths;
    for (const auto& [length, k] : steps) lengths.push_back(length);
    std::nth_element(lengths.begin(), lengths.begin() + static_cast<std::ptrdiff_t>(lengths.size() / 2), lengths.end());
    const double usual = lengths[lengths.size() / 2];
    const auto gap = *std::max_element(steps.begin(), steps.end());
    const std::size_t at = gap.second;
    if (gap.first < kGapOfTwoPrints * usual || gap.first <= widest) continue;
    if (at < kLeastSideReadings || sorted.size() - at < kLeastSideReadings) continue;
    widest = gap.first;
    best = {std::vector<std::size_t>(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(at)),
            std::vector<std::size_t>(sorted.begin() + static_cast<std::ptrdiff_t>(at), sorted.end())};
  }
  return best;
}

bool PagePrints::ShowsOnePrint(int print) const { return FewContests(prints_[static_cast<std::size_t>(print)]); }

bool PagePrints::FewContests(const Print& print) {
  const auto& evidence = print.evidence;
  return std::count_if(evidence.begin(), evidence.end(), [](const BlockEvidence& e) { return e.Contested(); }) <
         kContestsOfTwoPrints;
}

bool PagePrints::ShowsOnlyOnePrint() const {
  if (Count() != 1) return false;
  const auto& evidence = prints_.front().evidence;
  return std::none_of(evidence.begin(), evidence.end(), [](const BlockEvidence& e) { return e.Contested(); });
}

}  // namespace orla
