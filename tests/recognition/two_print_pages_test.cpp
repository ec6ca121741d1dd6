// Pages that carry two prints of different records: the recognizer gives one of the two
// records or nothing, never a record spliced from both, with plain payloads (no check over
// the whole text) and gzip ones alike. The seeds are fixed; among them are pages that a
// recognizer which joins blocks of two prints turns into spliced records.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <ostream>
#include <string>

#include "two_print_outcome.h"

namespace orla::pattern {
// Names the case in test listings, instead of its bytes.
void PrintTo(const TwoPrintCase& c, std::ostream* out) { *out << c.name; }
}  // namespace orla::pattern

namespace {

using orla::pattern::Compression;
using orla::pattern::TwoPrintCase;
using orla::test::TwoPrintOutcome;

constexpr int kSeeds[] = {3, 13, 23};

class TwoPrintPages : public ::testing::TestWithParam<TwoPrintCase> {};

TEST_P(TwoPrintPages, GiveOneOfTheTwoRecordsOrNothing) {
  const TwoPrintCase& c = GetParam();
  for (const Compression compression : {Compression::Plain, Compression::Gzip}) {
    for (const int seed : kSeeds) {
      const orla::pattern::TwoPrintPage made = orla::pattern::MakeTwoPrintPage(c, compression, seed);
      ASSERT_TRUE(made.ok()) << made.error;
      EXPECT_NE(orla::test::RecognizeTwoPrints(made), TwoPrintOutcome::Spliced)
          << c.name << (compression == Compression::Plain ? ", plain" : ", gzip") << ", seed " << seed;
    }
  }
}

// Pages where both prints lie on one lattice: printed twice, moved by some pitches, or a
// clipping that falls in phase with the page. Each block read lies on one lattice with the
// other print's, and read one way only; a record joined of both would pass every check.
TEST(TwoPrintPagesOnOneLattice, GiveOneOfTheTwoRecordsOrNothing) {
  struct Page {
    const char* name;
    int seed;
  };
  const Page pages[] = {{"300 dpi, only the time differs, near, same phase", 46},
                        {"600 dpi, only the time differs, near, same phase", 46},
                        {"300 dpi, only the time differs, clipping anywhere", 55}};
  for (const Page& page : pages) {
    const auto cases = orla::pattern::TwoPrintCases();
    const auto c = std::find_if(cases.begin(), cases.end(), [&](const TwoPrintCase& one) { return one.name == page.name; });
    ASSERT_NE(c, cases.end()) << page.name;
    const orla::pattern::TwoPrintPage made = orla::pattern::MakeTwoPrintPage(*c, Compression::Plain, page.seed);
    ASSERT_TRUE(made.ok()) << made.error;
    EXPECT_NE(orla::test::RecognizeTwoPrints(made), TwoPrintOutcome::Spliced) << page.name << ", seed " << page.seed;
  }
}

// A gzip payload's check covers its whole text, so it is also looked for in the prints as
// their lattices alone part them: on this page its blocks lie on a lattice that the grids of
// tiles part, and each part alone holds too few of them.
TEST(TwoPrintPagesOnOneLattice, AGzipRecordTheLatticeHoldsIsRead) {
  const auto cases = orla::pattern::TwoPrintCases();
  const auto c = std::find_if(cases.begin(), cases.end(),
                              [](const TwoPrintCase& one) { return one.name == "300 dpi, two records, near, turned"; });
  ASSERT_NE(c, cases.end());
  const orla::pattern::TwoPrintPage made = orla::pattern::MakeTwoPrintPage(*c, Compression::Gzip, 42);
  ASSERT_TRUE(made.ok()) << made.error;
  EXPECT_EQ(orla::test::RecognizeTwoPrints(made), TwoPrintOutcome::OneOfTheTwo);
}

std::string TestNameOf(const ::testing::TestParamInfo<TwoPrintCase>& info) {
  std::string name;
  bool upper = true;
  for (const char ch : info.param.name) {
    if (std::isalnum(static_cast<unsigned char>(ch)) == 0) {
      upper = true;
      continue;
    }
    name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(ch))) : ch;
    upper = false;
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, TwoPrintPages, ::testing::ValuesIn(orla::pattern::TwoPrintCases()), TestNameOf);

}  // namespace
