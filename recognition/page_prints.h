#pragma once
// The prints a page shows, each known by its lattice, with what the readings of its blocks
// vouch for. A photocopy carries two prints' patterns, and a clipping laid on a page shows a
// piece of another print; a record must come from one print, so a plain payload, which has no
// check over its whole text, is assembled only from the data one print vouches for.
//
// While the page is walked, a reading joins the first print whose lattice its block lies on,
// and teaches that lattice its dots; a block on none starts a print of its own. Early in the
// walk a lattice is known from a few blocks only, so once the whole page has been read the
// readings are placed again, each on the lattices as all their blocks fitted them, the print
// with the most blocks first, each lattice grown afresh from its best placed block outwards:
// one print's blocks come together again where the walk had parted them, and a block of
// another print that a young lattice took in leaves it.
//
// Two prints on one lattice (a page printed twice, moved by whole pitches, or a clipping that
// falls in phase) lie on two grids of tiles: the grid that holds most of a lattice's blocks is
// a print, and the blocks of another grid are a print of their own once every lattice has
// taken its print. A plain record is made only from the prints so settled. A grid is spanned by
// two steps to near blocks no shorter than a block (BlockGrid) and fitted to the places of the
// blocks it takes in (FittedGrid): a lattice fitted over a damaged page may be a percent or two
// off in pitch, and its places a pitch or two off whole tiles a page away.
//
// A print shows one print unless two of its blocks are contested (two data each, each vouched
// for by its own readings at two places): then two prints lie on one lattice and one grid (a
// page printed twice, moved by whole tiles), and nothing it vouches for can be told from the
// other's. One contested block is not enough: a page of one print holds, now and then, a
// misreading read alike at two places that its check byte lets pass, and two prints whose
// records differ in one block only make one record or the other from it, never a third. Where
// such a print lies on both sides of a gap across the page, as two prints side by side do, it
// is parted there.

#include <array>
#include <optional>
#include <span>
#include <vector>

#include "block_data.h"
#include "block_evidence.h"
#include "block_grid.h"
#include "print_lattice.h"

namespace orla {

inline constexpr int kNoPrint = -1;

class PagePrints {
 public:
  static constexpr int kBlockNumbers = 100;
  // Room for the prints of a page: the page's own, a copier's, a clipping's, and one more; a
  // block on none of them is left out of every plain payload.
  static constexpr int kMostPrints = 4;
  static constexpr int kContestsOfTwoPrints = 2;
  // Fits of a lattice to the densest cloud of its blocks' offsets before the last placing: the
  // offsets of one print's blocks gather within a tenth of a pitch of each other, and the
  // cloud spans a fifth; two prints' clouds lie a quarter of a pitch apart or more.
  static constexpr int kSettlingRounds = 3;
  static constexpr double kCloudRadius = 0.1;
  static constexpr double kCloudSpan = 0.2;
  // Two prints on one lattice side by side (a page printed twice, moved by half a page) show
  // as one print whose blocks are contested, with a gap between its two halves: the margins
  // of both, twice the step from one column of blocks to the next or more. Such a print is
  // parted at the gap; a page of one print has its columns evenly spaced, and a print whose
  // blocks are contested gives no plain record either way.
  static constexpr double kSameColumnPitches = 3.0;
  static constexpr double kGapOfTwoPrints = 1.6;
  static constexpr std::size_t kLeastSideReadings = 4;
  // A print's grid is looked for among the steps to this many of a block's nearest blocks,
  // from at most this many blocks.
  static constexpr std::size_t kGridNeighbours = 8;
  static constexpr int kGridTries = 8;
  using ReferenceRow = PrintLattice::ReferenceRow;

  PagePrints() { prints_.reserve(kMostPrints); }
  void Clear() {
    prints_.clear();
    latticePrints_.clear();
    readings_.clear();
  }

  // Notes the readings of block b, read from the block with these reference rows, on the
  // print it lies on: true when what that print vouches for changed.
  bool Note(const ReferenceRow& rowA, const ReferenceRow& rowB, int b, const BlockReading& reading,
            const BlockReading& nextReading, const ValueTrust& trust);
  // Places every reading noted so far again, on the lattices as the whole page fitted them.
  void Settle();

  int Count() const { return static_cast<int>(prints_.size()); }
  const BlockReading* Vouched(int print, int block) const { return EvidenceOf(print, block).Vouched(); }
  // Whether data of the block once vouched for still stands on the print (BlockEvidence::Stands).
  bool Stands(int print, int block, const BlockReading& value) const {
    return EvidenceOf(print, block).Stands(value, block, ShowsOnlyOnePrint());
  }
  // Fewer than two of the print's blocks are contested.
  bool ShowsOnePrint(int print) const;
  // The page shows one print and no block of it is contested at all.
  bool ShowsOnlyOnePrint() const;
  // Once the page is settled, the prints as their lattices alone part them, before their
  // grids do: a gzip payload, whose check covers its whole text, is also looked for in what
  // each of them vouches for, as it was before prints were parted by grid. None while the page
  // is walked.
  int LatticeCount() const { return static_cast<int>(latticePrints_.size()); }
  const BlockReading* LatticeVouched(int print, int block) const {
    return latticePrints_[static_cast<std::size_t>(print)].evidence[static_cast<std::size_t>(block)].Vouched();
  }
  bool LatticeShowsOnePrint(int print) const { return FewContests(latticePrints_[static_cast<std::size_t>(print)]); }

 private:
  struct Print {
    explicit Print(const PrintLattice& fitted) : lattice(fitted) {}
    PrintLattice lattice;
    std::array<BlockEvidence, kBlockNumbers> evidence{};
    int blocks = 0;
  };
  struct NotedReading {
    ReferenceRow rowA{};
    ReferenceRow rowB{};
    int b = 0;
    BlockReading reading;
    BlockReading nextReading;
    ValueTrust trust;
  };

  const BlockEvidence& EvidenceOf(int print, int block) const {
    return prints_[static_cast<std::size_t>(print)].evidence[static_cast<std::size_t>(block)];
  }
  static bool NoteOn(Print& print, const NotedReading& noted);
  static bool FewContests(const Print& print);
  // Places every reading on the lattices, the print with the most blocks first, each print
  // parted by grid when `byGrid`.
  void PlaceReadings(const std::vector<PrintLattice>& lattices, bool byGrid);
  // The readings not `taken` whose blocks lie on the lattice, in the order noted, with their
  // places put in `places`.
  std::vector<std::size_t> PlacedOn(const PrintLattice& lattice, const std::vector<bool>& taken,
                                    std::vector<PrintLattice::BlockPlace>& places) const;
  // The lattice grown afresh from the reading `seed` over the readings not `taken`, nearest
  // first, each joining when it lies on the lattice as the nearer blocks fitted it.
  PrintLattice GrownFrom(std::size_t seed, const std::vector<bool>& taken) const;
  void NoteAsPrint(const PrintLattice& lattice, const std::vector<std::size_t>& members);
  // Notes the readings `part`, placed at `places` on one lattice of pitch `pitch`, as a print
  // (as two where such a print is contested and lies on both sides of a gap), and takes them.
  void NoteGridPart(const std::vector<std::size_t>& part, const std::vector<PrintLattice::BlockPlace>& places,
                    double pitch, std::vector<bool>& taken);
  // Those of the `members`, placed at `places` on one lattice, that lie on the grid of tiles
  // that holds most of them.
  std::vector<std::size_t> OneGridOf(const std::vector<std::size_t>& members,
                                     const std::vector<PrintLattice::BlockPlace>& places) const;
  // The lattice of the readings `part`, placed at `places` on one lattice.
  PrintLattice FitTo(const std::vector<std::size_t>& part, const std::vector<PrintLattice::BlockPlace>& places) const;
  // The readings of a print of lattice pitch `pitch` on either side of a gap across the page,
  // along x or y, wider than the steps between its columns (rows) of blocks; none where there
  // is none.
  std::array<std::vector<std::size_t>, 2> ApartAcrossAGap(const std::vector<std::size_t>& members,
                                                          double pitch) const;

  std::vector<Print> prints_;
  std::vector<Print> latticePrints_;
  std::vector<NotedReading> readings_;
};

}  // namespace orla
