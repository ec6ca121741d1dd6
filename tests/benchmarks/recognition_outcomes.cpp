// How often the recognizer gives the record, nothing, or a wrong record, level by level of
// scan damage, for plain and gzip payloads side by side. A statistics bench, not a timed one:
// the same seeds give the same table on every machine.
//
// Run: build/tests/benchmarks/recognition_outcomes [seeds per level, default 50]
//        [part of a level's name, default every level] [first seed, default 1] [list]
// With "list", every case's outcome is printed on a line of its own, for comparing two builds
// case by case.

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "damage_levels.h"
#include "page_outcome.h"

namespace {

using orla::pattern::Compression;
using orla::test::PageOutcome;

using Tally = std::array<int, 3>;

}  // namespace

int main(int argc, char** argv) {
  const int seeds = argc > 1 ? std::atoi(argv[1]) : 50;
  const std::string only = argc > 2 ? argv[2] : "";
  const int firstSeed = argc > 3 ? std::atoi(argv[3]) : 1;
  const bool list = argc > 4 && std::string(argv[4]) == "list";
  std::printf("%-50s | %-22s | %-22s\n", "level (300 dpi)", "plain: right/none/WRONG", "gzip: right/none/WRONG");
  std::array<Tally, 2> total{};
  for (const orla::pattern::DamageLevel& level : orla::pattern::DamageLevels()) {
    if (!only.empty() && level.name.find(only) == std::string::npos) continue;
    std::array<Tally, 2> tally{};
    std::string wrongSeeds;
    for (int form = 0; form < 2; ++form) {
      const Compression compression = form == 0 ? Compression::Plain : Compression::Gzip;
      for (int seed = firstSeed; seed < firstSeed + seeds; ++seed) {
        const orla::pattern::DamageCase c = orla::pattern::MakeDamageCase(level, compression, static_cast<std::uint64_t>(seed));
        if (!c.made.ok()) {
          std::fprintf(stderr, "%s seed %d: %s\n", level.name.c_str(), seed, c.made.error.c_str());
          return 1;
        }
        const PageOutcome outcome = orla::test::RecognizeOutcome(c.made.page, c.record);
        ++tally[static_cast<std::size_t>(form)][static_cast<std::size_t>(outcome)];
        if (list) {
          std::printf("case %s | %s | %d | %s\n", level.name.c_str(), form == 0 ? "plain" : "gzip", seed,
                      orla::test::NameOf(outcome));
        }
        if (outcome == PageOutcome::Wrong) wrongSeeds += (form == 0 ? " plain:" : " gzip:") + std::to_string(seed);
      }
      for (int k = 0; k < 3; ++k) total[static_cast<std::size_t>(form)][static_cast<std::size_t>(k)] += tally[static_cast<std::size_t>(form)][static_cast<std::size_t>(k)];
    }
    const auto cell = [](const Tally& t) {
      char text[32];
      std::snprintf(text, sizeof text, "%4d /%4d /%4d", t[0], t[1], t[2]);
      return std::string(text);
    };
    std::printf("%-50s | %-22s | %-22s%s%s\n", level.name.c_str(), cell(tally[0]).c_str(), cell(tally[1]).c_str(),
                wrongSeeds.empty() ? "" : "  wrong at", wrongSeeds.c_str());
    std::fflush(stdout);
  }
  std::printf("%-50s | %4d /%4d /%4d       | %4d /%4d /%4d\n", "all", total[0][0], total[0][1], total[0][2], total[1][0],
              total[1][1], total[1][2]);
  return 0;
}
