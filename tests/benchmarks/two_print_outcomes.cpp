// How often the recognizer gives one of the two records, nothing, or a record spliced from
// both, on pages that carry two prints (two_prints.h), case by case, plain and gzip payloads
// side by side. A statistics bench, not a timed one: the same seeds give the same table on
// every machine.
//
// Run: build/tests/benchmarks/two_print_outcomes [seeds per case, default 30]
//        [part of a case's name, default every case] [first seed, default 1] [list]
// With "list", every page's outcome is printed on a line of its own, for comparing two builds
// page by page.

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "two_print_outcome.h"

namespace {

using orla::pattern::Compression;
using orla::test::TwoPrintOutcome;

using Tally = std::array<int, 3>;

std::string Cell(const Tally& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%4d /%4d /%4d", t[0], t[1], t[2]);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const int seeds = argc > 1 ? std::atoi(argv[1]) : 30;
  const std::string only = argc > 2 ? argv[2] : "";
  const int firstSeed = argc > 3 ? std::atoi(argv[3]) : 1;
  const bool list = argc > 4 && std::string(argv[4]) == "list";
  std::printf("%-66s | %-24s | %-24s\n", "case", "plain: one/none/SPLICED", "gzip: one/none/SPLICED");
  std::array<Tally, 2> total{};
  for (const orla::pattern::TwoPrintCase& c : orla::pattern::TwoPrintCases()) {
    if (!only.empty() && c.name.find(only) == std::string::npos) continue;
    std::array<Tally, 2> tally{};
    std::string splicedSeeds;
    for (int form = 0; form < 2; ++form) {
      const Compression compression = form == 0 ? Compression::Plain : Compression::Gzip;
      for (int seed = firstSeed; seed < firstSeed + seeds; ++seed) {
        const orla::pattern::TwoPrintPage made =
            orla::pattern::MakeTwoPrintPage(c, compression, static_cast<std::uint64_t>(seed));
        if (!made.ok()) {
          std::fprintf(stderr, "%s seed %d: %s\n", c.name.c_str(), seed, made.error.c_str());
          return 1;
        }
        const TwoPrintOutcome outcome = orla::test::RecognizeTwoPrints(made);
        ++tally[static_cast<std::size_t>(form)][static_cast<std::size_t>(outcome)];
        if (list) {
          std::printf("page %s | %s | %d | %s\n", c.name.c_str(), form == 0 ? "plain" : "gzip", seed,
                      orla::test::NameOf(outcome));
        }
        if (outcome == TwoPrintOutcome::Spliced)
          splicedSeeds += (form == 0 ? " plain:" : " gzip:") + std::to_string(seed);
      }
      for (std::size_t k = 0; k < 3; ++k) total[static_cast<std::size_t>(form)][k] += tally[static_cast<std::size_t>(form)][k];
    }
    std::printf("%-66s | %-24s | %-24s%s%s\n", c.name.c_str(), Cell(tally[0]).c_str(), Cell(tally[1]).c_str(),
                splicedSeeds.empty() ? "" : "  spliced at", splicedSeeds.c_str());
    std::fflush(stdout);
  }
  std::printf("%-66s | %-24s | %-24s\n", "all", Cell(total[0]).c_str(), Cell(total[1]).c_str());
  return 0;
}
