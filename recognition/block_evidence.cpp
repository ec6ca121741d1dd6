#include "block_evidence.h"

#include <algorithm>
#include <bitset>
#include <cmath>
#include <utility>

#include "block_check.h"
#include "block_data.h"

namespace orla {
namespace {

// Twice the decimal logarithm of a thousand to one.
constexpr int kVouchingMargin = 6;
// Each further reading of the same value: two wrong readings of a symbol agree only when both
// miss it and land on the same one of its seven other values.
constexpr int kAgreement = 2;
constexpr double kLargestDoubt = 1e-3;
constexpr int kCheckItem = kBlockSymbols;
// Readings, at different places, of each of two values before they contest a block: a value
// read at one place only may be the one misreading that a page of many readings holds; read
// alike at two places it is no misreading.
constexpr int kContestingPlaces = 2;  // the check byte, after the 16 symbols
// The odds against a value with each margin short of vouching on its own: 10^(-margin / 2).
constexpr std::array<double, kVouchingMargin> kDoubtOfMargin{1.0, 0.31622776601683794, 0.1, 0.031622776601683794,
                                                              0.01, 0.0031622776601683794};

struct Leader {
  int value = -1;  // -1: no value has support, or two share the most
  int margin = 0;
};

template <std::size_t N>
Leader LeaderOf(const std::array<int, N>& support) {
  int first = 0;
  int second = 0;
  int value = -1;
  for (std::size_t v = 0; v < N; ++v) {
    if (support[v] > first) {
      second = first;
      first = support[v];
      value = static_cast<int>(v);
    } else if (support[v] > second) {
      second = support[v];
    }
  }
  if (first == 0 || first == second) return {};
  return {value, first - second};
}

// The share of the nonzero error patterns over these bits of the block (0 to 47 the data, 48
// to 55 the check byte) that leave the check byte rule holding. An error is missed when its
// bits cancel in the XOR of the bytes: only bits at the same place within their bytes can
// cancel, so with b bits over r places 2^(b - r) - 1 of the 2^b - 1 patterns are missed.
double MissedShare(const std::bitset<56>& bits) {
  std::bitset<8> places;
  for (std::size_t bit = 0; bit < bits.size(); ++bit) {
    if (bits[bit]) places[bit % 8] = true;
  }
  const int b = static_cast<int>(bits.count());
  const int r = static_cast<int>(places.count());
  if (b == 0) return 0;
  return (std::exp2(b - r) - 1) / (std::exp2(b) - 1);
}

}  // namespace

bool BlockEvidence::Note(const BlockReading& asRead, std::span<const std::uint8_t, kBlockSymbols> symbolTrust,
                         int headerTrust, int b) {
  if (asRead.symbolCount <= 0) return vouched_.has_value();
  const auto used = sightings_.begin() + count_;
  auto same = std::find_if(sightings_.begin(), used, [&](const Sighting& s) { return s.reading == asRead; });
  if (same == used) {
    if (count_ == kMostSightings) return vouched_.has_value();
    same = sightings_.begin() + count_++;
    *same = Sighting{asRead, 0, {}, 0};
  }
  ++same->seen;
  for (int i = 0; i < kBlockSymbols; ++i) {
    if (asRead.IsPresent(i)) same->symbolTrust[i] += symbolTrust[i];
  }
  if (asRead.blockNumber == b) same->headerTrust += headerTrust;
  Vouch(b);
  return vouched_.has_value();
}

BlockEvidence::Chosen BlockEvidence::All() const {
  Chosen all;
  for (int i = 0; i < count_; ++i) all[static_cast<std::size_t>(i)] = true;
  return all;
}

void BlockEvidence::Vouch(int b) {
  vouched_ = VouchedBy(All(), b);
  contested_ = ComputeContested(b);
}

bool BlockEvidence::VouchedAlone(const BlockReading& value, int b, int places) const {
  // The value with every reading that agrees with it, and no other.
  Chosen agreeing;
  int seen = 0;
  for (int j = 0; j < count_; ++j) {
    const Sighting& other = sightings_[static_cast<std::size_t>(j)];
    bool agrees = other.reading.blockNumber != b || other.reading.checkByte == value.checkByte;
    for (int k = 0; k < kBlockSymbols && agrees; ++k) {
      agrees = !other.reading.IsPresent(k) || other.reading.Symbol(k) == value.Symbol(k);
    }
    agreeing[static_cast<std::size_t>(j)] = agrees;
    if (agrees) seen += other.seen;
  }
  if (seen < places) return false;
  const std::optional<BlockReading> alone = VouchedBy(agreeing, b);
  return alone && alone->data == value.data && alone->checkByte == value.checkByte;
}

bool BlockEvidence::ComputeContested(int b) const {
  std::optional<BlockReading> strong;
  for (int i = 0; i < count_; ++i) {
    const BlockReading& value = sightings_[static_cast<std::size_t>(i)].reading;
    if (value.blockNumber != b || !IsValidBlock(value, b) || !VouchedAlone(value, b, kContestingPlaces)) continue;
    if (!strong) {
      strong = value;
    } else if (strong->data != value.data || strong->checkByte != value.checkByte) {
      return true;
    }
  }
  return false;
}

bool BlockEvidence::Stands(const BlockReading& value, int b, bool onePrintShown) const {
  if (!onePrintShown && !VouchedAlone(value, b, 1)) return false;
  const int places = onePrintShown ? kContestingPlaces : 1;
  for (int i = 0; i < count_; ++i) {
    const BlockReading& other = sightings_[static_cast<std::size_t>(i)].reading;
    if (other.blockNumber != b || !IsValidBlock(other, b)) continue;
    if (other.data == value.data && other.checkByte == value.checkByte) continue;
    if (VouchedAlone(other, b, places)) return false;
  }
  return true;
}

std::optional<BlockReading> BlockEvidence::VouchedBy(const Chosen& chosen, int b) const {
  // Support is trust, plus the agreement of every reading after the first.
  std::array<std::array<int, 8>, kBlockSymbols> symbolSupport{};
  std::array<int, 256> checkSupport{};
  for (int index = 0; index < count_; ++index) {
    if (!chosen[static_cast<std::size_t>(index)]) continue;
    const Sighting& s = sightings_[static_cast<std::size_t>(index)];
    for (int i = 0; i < kBlockSymbols; ++i) {
      if (s.reading.IsPresent(i)) symbolSupport[i][s.reading.Symbol(i)] += s.symbolTrust[i] + kAgreement * s.seen;
    }
    if (s.reading.blockNumber == b) checkSupport[s.reading.checkByte] += s.headerTrust + kAgreement * s.seen;
  }
  for (auto& values : symbolSupport) {
    for (int& support : values) support = std::max(0, support - kAgreement);
  }
  for (int& support : checkSupport) support = std::max(0, support - kAgreement);

  std::array<Leader, kBlockSymbols + 1> leaders;
  for (int i = 0; i < kBlockSymbols; ++i) leaders[i] = LeaderOf(symbolSupport[i]);
  leaders[kCheckItem] = LeaderOf(checkSupport);

  double doubt = 0;  // the odds, summed, that a value short of the margin is wrong
  std::bitset<56> weakBits;
  for (int item = 0; item <= kCheckItem; ++item) {
    const Leader& leader = leaders[item];
    if (leader.value < 0) return std::nullopt;
    if (leader.margin >= kVouchingMargin) continue;
    doubt += kDoubtOfMargin[leader.margin];
    const int first = item == kCheckItem ? 48 : 3 * item;
    const int width = item == kCheckItem ? 8 : 3;
    for (int bit = first; bit < first + width; ++bit) weakBits[bit] = true;
  }
  if (doubt * MissedShare(weakBits) > kLargestDoubt) return std::nullopt;

  BlockReading formed;
  formed.blockNumber = b;
  for (int i = 0; i < kBlockSymbols; ++i) {
    formed.SetSymbol(i, leaders[i].value);
    formed.SetPresent(i, true);
  }
  formed.symbolCount = kBlockSymbols;
  formed.checkByte = static_cast<std::uint8_t>(leaders[kCheckItem].value);
  if (!IsValidBlock(formed, b)) return std::nullopt;
  return formed;
}

bool NoteBlockReadings(std::span<BlockEvidence> evidence, int b, const BlockReading& reading,
                       const BlockReading& nextReading, const ValueTrust& trust) {
  if (b < 0 || std::cmp_greater_equal(b, evidence.size())) return false;
  // An assembly from vouched data that did not change would fail again as it did before.
  const auto note = [](BlockEvidence& e, int slot, const BlockReading& asRead, const auto& symbolTrust,
                       int headerTrust) {
    const BlockReading* before = e.Vouched();
    const std::optional<BlockReading> was = before != nullptr ? std::optional(*before) : std::nullopt;
    e.Note(asRead, symbolTrust, headerTrust, slot);
    const BlockReading* after = e.Vouched();
    return after != nullptr && (!was || *was != *after);
  };
  bool changed = reading.blockNumber == b && note(evidence[static_cast<std::size_t>(b)], b, reading, trust.symbols,
                                                  trust.header);
  if (std::cmp_less(b + 1, evidence.size()) &&
      note(evidence[static_cast<std::size_t>(b) + 1], b + 1, nextReading, trust.nextSymbols, 0)) {
    changed = true;
  }
  return changed;
}

}  // namespace orla
