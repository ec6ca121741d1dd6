#include "page_prints.h"

#include <algorithm>

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

  std::vector<bool> taken(readings_.size(), false);
  std::vector<LatticeOffset> at(readings_.size());
  for (PrintLattice lattice : lattices) {
    std::vector<std::size_t> members;
    for (int round = 0; round < kSettlingRounds; ++round) {
      std::vector<std::pair<double, std::size_t>> on;
      for (std::size_t i = 0; i < readings_.size(); ++i) {
        if (taken[i]) continue;
        const std::optional<PrintLattice::BlockPlace> place = lattice.Measure(readings_[i].rowA, readings_[i].rowB);
        if (!place || place->phase > place->tolerance) continue;
        on.emplace_back(place->phase, i);
        at[i] = place->at;
      }
      members.clear();
      if (on.empty()) break;
      // Before the last round the lattice is fitted again to the closer half of its blocks: a
      // block of another print that the lattice took in while it was young lies off it, near
      // the edge of what it allows, and the fit of its own print's blocks alone leaves it out.
      std::sort(on.begin(), on.end());
      const bool last = round + 1 == kSettlingRounds;
      const std::size_t kept = last ? on.size() : std::max<std::size_t>(1, (on.size() + 1) / 2);
      for (std::size_t k = 0; k < kept; ++k) members.push_back(on[k].second);
      std::sort(members.begin(), members.end());
      if (last) break;
      const NotedReading& first = readings_[members.front()];
      PrintLattice refitted(first.rowA, first.rowB);
      const LatticeOffset origin = at[members.front()];
      for (std::size_t k = 1; k < members.size(); ++k) {
        const NotedReading& noted = readings_[members[k]];
        refitted.Add(noted.rowA, noted.rowB, {at[members[k]].u - origin.u, at[members[k]].w - origin.w});
      }
      lattice = refitted;
    }
    if (members.empty()) continue;
    Print& print = prints_.emplace_back(lattice);
    for (const std::size_t i : members) {
      taken[i] = true;
      NoteOn(print, readings_[i]);
    }
  }
}

bool PagePrints::ShowsOnePrint(int print) const {
  const auto& evidence = prints_[static_cast<std::size_t>(print)].evidence;
  return std::count_if(evidence.begin(), evidence.end(), [](const BlockEvidence& e) { return e.Contested(); }) <
         kContestsOfTwoPrints;
}

bool PagePrints::ShowsOnlyOnePrint() const {
  if (Count() != 1) return false;
  const auto& evidence = prints_.front().evidence;
  return std::none_of(evidence.begin(), evidence.end(), [](const BlockEvidence& e) { return e.Contested(); });
}

}  // namespace orla
