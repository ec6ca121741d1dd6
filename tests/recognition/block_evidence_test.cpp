// What a page vouches for about one block: readings as read, each value weighed by how it was
// decoded and by how many readings agree, against the rule that a wrong value must have no
// plausible way past the block's check byte.

#include "block_evidence.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "bit_fields.h"
#include "block_check.h"
#include "block_reading_expect.h"
#include "codeword.h"
#include "payload.h"

namespace {

using orla::test::MakeReading;
using Values = std::array<std::optional<int>, 16>;

constexpr int kBlock = 7;
// The block's 16 symbols; its check byte follows from them.
constexpr std::array<int, 16> kSymbols{0, 4, 4, 3, 2, 5, 3, 6, 1, 7, 0, 2, 6, 7, 4, 5};

const int kClean = orla::CodewordTrust(7, 0);            // 8
const int kCleanLastRow = orla::CodewordTrust(6, 0);     // 4
const int kCorrectedLastRow = orla::CodewordTrust(6, 1);  // 1
const int kCorrectedTwice = orla::CodewordTrust(7, 2);    // 2

int TrueCheckByte() {
  Values all;
  for (std::size_t i = 0; i < 16; ++i) all[i] = kSymbols[i];
  return orla::CheckByteOf(MakeReading(kBlock, all));
}

// A reading of the block with its true symbols at `at` (all 16 when empty), `changes` applied,
// and the check byte when it has the header.
struct Read {
  std::vector<int> at{};
  std::vector<std::pair<int, int>> changes{};  // symbol, value
  bool header = true;
  int symbolTrust = kClean;
  int lastRowTrust = kCleanLastRow;
  int headerTrust = kClean;
  int checkByte = -1;  // -1: the true one
};

bool NoteAll(orla::BlockEvidence& evidence, const std::vector<Read>& reads, int b = kBlock) {
  bool vouched = false;
  for (const Read& r : reads) {
    Values values;
    std::vector<int> at = r.at;
    if (at.empty())
      for (int i = 0; i < 16; ++i) at.push_back(i);
    for (int i : at) values[static_cast<std::size_t>(i)] = kSymbols[static_cast<std::size_t>(i)];
    for (const auto& [i, v] : r.changes) values[static_cast<std::size_t>(i)] = v;
    const BlockReading reading =
        MakeReading(r.header ? b : -1, values, r.header ? (r.checkByte >= 0 ? r.checkByte : TrueCheckByte()) : 0);
    std::array<std::uint8_t, 16> trust{};
    for (std::size_t i = 0; i < 16; ++i) trust[i] = static_cast<std::uint8_t>(i >= 12 ? r.lastRowTrust : r.symbolTrust);
    vouched = evidence.Note(reading, trust, r.headerTrust, b);
  }
  return vouched;
}

TEST(BlockEvidence, VouchesOnlyWhereChanceCannotPlausiblyHaveMadeTheData) {
  const Read clean{};
  const Read lastRowCorrected{.lastRowTrust = kCorrectedLastRow};
  const Read symbol3Other{.changes = {{3, 6}}};
  const struct {
    const char* name;
    std::vector<Read> reads;
    bool vouched;
  } cases[] = {
      {"one clean reading", {clean}, true},
      {"one reading whose 6-symbol last row was corrected once", {lastRowCorrected}, false},
      {"two such readings that agree", {lastRowCorrected, lastRowCorrected}, true},
      {"one reading corrected twice in every row",
       {{.symbolTrust = kCorrectedTwice, .lastRowTrust = kCorrectedTwice, .headerTrust = kCorrectedTwice}}, false},
      {"three such readings that agree",
       {{.symbolTrust = kCorrectedTwice, .lastRowTrust = kCorrectedTwice, .headerTrust = kCorrectedTwice},
        {.symbolTrust = kCorrectedTwice, .lastRowTrust = kCorrectedTwice, .headerTrust = kCorrectedTwice},
        {.symbolTrust = kCorrectedTwice, .lastRowTrust = kCorrectedTwice, .headerTrust = kCorrectedTwice}},
       true},
      {"two clean readings that disagree in symbol 3", {clean, symbol3Other}, false},
      {"two clean readings against one other", {clean, symbol3Other, clean}, true},
      {"a clean reading whose check byte does not hold", {{.checkByte = TrueCheckByte() ^ 0x10}}, false},
      {"this block's symbols 0 to 9 and the check byte, the run-over of the block before for 10 to 15",
       {{.at = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}}, {.at = {10, 11, 12, 13, 14, 15}, .header = false}}, true},
      {"no reading of symbol 9", {{.at = {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15}}}, false},
      // One weak value is enough: an error in one symbol alone never passes the check byte.
      {"symbol 9 from a single reading corrected twice",
       {{.at = {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15}}, {.at = {9}, .header = false, .symbolTrust = 2}},
       true},
      {"symbol 9 from a single reading corrected twice, and wrong",
       {{.at = {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15}},
        {.at = {9}, .changes = {{9, 1}}, .header = false, .symbolTrust = 2}},
       false},
      // Two weak neighbours cover six different bit places of their bytes: no error of theirs
      // cancels in the XOR. Symbols 2 and 10 lie on the same places, a byte's 8 bits apart.
      // (Every other value here is strong, the last row's too.)
      {"weak symbols 2 and 3",
       {{.at = {0, 1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, .lastRowTrust = kClean},
        {.at = {2, 3}, .header = false, .symbolTrust = 1}},
       true},
      {"weak symbols 2 and 10",
       {{.at = {0, 1, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15}, .lastRowTrust = kClean},
        {.at = {2, 10}, .header = false, .symbolTrust = 1}},
       false},
  };
  for (const auto& c : cases) {
    orla::BlockEvidence evidence;
    EXPECT_EQ(NoteAll(evidence, c.reads), c.vouched) << c.name;
    ASSERT_EQ(evidence.Vouched() != nullptr, c.vouched) << c.name;
    if (!c.vouched) continue;
    const BlockReading& v = *evidence.Vouched();
    EXPECT_EQ(v.blockNumber, kBlock) << c.name;
    EXPECT_EQ(v.symbolCount, 16) << c.name;
    EXPECT_EQ(v.checkByte, TrueCheckByte()) << c.name;
    for (int i = 0; i < 16; ++i)
      EXPECT_EQ(ReadBits(v.data.data(), 3 * i), kSymbols[static_cast<std::size_t>(i)]) << c.name << ", symbol " << i;
  }
}

TEST(BlockEvidence, BlockZeroMustAnnounceAPayloadTheSlotsCanCarry) {
  for (const int length : {24, 600, 601, 6261}) {
    const std::array<std::uint8_t, 6> bytes{static_cast<std::uint8_t>(length & 0xFF),
                                            static_cast<std::uint8_t>(length >> 8), 24, 0, 0x41, 0x42};
    const BlockReading reading = orla::test::FullReading(0, bytes, orla::pattern::CheckByte(bytes));
    std::array<std::uint8_t, 16> trust;
    trust.fill(static_cast<std::uint8_t>(kClean));
    orla::BlockEvidence evidence;
    EXPECT_EQ(evidence.Note(reading, trust, kClean, 0), length <= 600) << length;
    EXPECT_EQ(orla::IsValidBlock(reading, 0), length <= 600) << length;
  }
}

// Once a block has 16 different readings a further one is not kept: none already noted gives
// way, so what argued against a value goes on arguing.
TEST(BlockEvidence, ReadingsPastTheRoomForThemAddNothing) {
  orla::BlockEvidence evidence;
  std::vector<Read> others;
  for (int k = 0; k < 16; ++k) {
    others.push_back(
        {.at = {k}, .changes = {{k, (kSymbols[static_cast<std::size_t>(k)] + 1) % 8}}, .header = false, .symbolTrust = 1});
  }
  EXPECT_FALSE(NoteAll(evidence, others));
  EXPECT_EQ(evidence.Sightings().size(), 16u);
  EXPECT_FALSE(NoteAll(evidence, {Read{}, Read{}}));
  EXPECT_EQ(evidence.Sightings().size(), 16u);

  // The same readings before the others are kept, and carry the block.
  orla::BlockEvidence early;
  EXPECT_TRUE(NoteAll(early, {Read{}, Read{}}));
  EXPECT_TRUE(NoteAll(early, others));
}

}  // namespace
