#pragma once
// Pages as a scanner hands them over, at named levels of damage, for measuring what the
// recognizer makes of them: correct, nothing, or wrong. Each case is a random record on a
// 300 dpi page filled with its pattern the way a printer fills a page, damaged as its level
// says; everything is drawn from the seed, so a case is replayed from its level and seed.

#include <cstdint>
#include <string>
#include <vector>

#include "pattern_writer.h"
#include "seeded_random.h"

namespace orla::pattern {

struct DamageLevel {
  std::string name;
  // Sets the damage (and any turn or scale) of a case's page; the seed draws what varies.
  void (*apply)(Damage& damage, SeededRandom& random);
};

// No damage; 2 to 12 dropped dots a block; specks; salt and pepper; blur; turns of 0.5, 1 and
// 3 degrees; and a mild mix of turn, scale, blur, noise and a dropped dot or two.
const std::vector<DamageLevel>& DamageLevels();

// A record as printers write them: a valid YYMMDDhhmmss time stamp, a serial number, a MAC
// address in hex, and user, job and description texts of random lengths.
PatternRecord RandomRecord(SeededRandom& random);

struct DamageCase {
  PatternRecord record;
  PatternPage made;
};

// The case of `level` and `seed` with its payload in `compression`.
DamageCase MakeDamageCase(const DamageLevel& level, Compression compression, std::uint64_t seed);

}  // namespace orla::pattern
