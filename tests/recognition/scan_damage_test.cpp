// Pages as scanners hand them over, at every level of damage the outcome bench measures, on a
// fixed set of seeds that includes pages where a plain payload once gave a wrong record: each
// gives its record or nothing, never another one, for plain and gzip payloads alike; clean and
// mildly damaged pages give their record.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "damage_levels.h"
#include "page_outcome.h"

namespace {

using orla::pattern::Compression;
using orla::test::PageOutcome;

// Seeds past the first two of a level: pages whose plain payload was read to a wrong record
// before blocks had to be vouched for.
const std::map<std::string, std::vector<int>> kOnceWrong = {
    {"4 dropped dots a block", {20}},   {"6 dropped dots a block", {9}},   {"8 dropped dots a block", {5}},
    {"10 dropped dots a block", {3}},   {"10,000 specks an A4 page", {43}}, {"salt and pepper 0.5%", {5}},
    {"turned 1 degree", {27}},          {"turned 3 degrees", {24}},
};

TEST(ScanDamage, NeverAWrongRecordAndCleanOrMildPagesAreRead) {
  for (const orla::pattern::DamageLevel& level : orla::pattern::DamageLevels()) {
    std::vector<int> seeds{1, 2};
    if (const auto extra = kOnceWrong.find(level.name); extra != kOnceWrong.end())
      seeds.insert(seeds.end(), extra->second.begin(), extra->second.end());
    const bool mustRead = level.name == "none" || level.name.starts_with("mild");
    for (const int seed : seeds) {
      for (const Compression compression : {Compression::Plain, Compression::Gzip}) {
        const std::string what = level.name + (compression == Compression::Plain ? ", plain" : ", gzip") +
                                 ", seed " + std::to_string(seed);
        const orla::pattern::DamageCase c =
            orla::pattern::MakeDamageCase(level, compression, static_cast<std::uint64_t>(seed));
        ASSERT_TRUE(c.made.ok()) << what << ": " << c.made.error;
        const PageOutcome outcome = orla::test::RecognizeOutcome(c.made.page, c.record);
        EXPECT_NE(outcome, PageOutcome::Wrong) << what;
        if (mustRead) {
          EXPECT_EQ(outcome, PageOutcome::Correct) << what;
        }
      }
    }
  }
}

}  // namespace
