// Block data: bits of the used cells to this block's reading and the next block's, checked
// against blocks made by the pattern writer's encoder.

#include "block_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "bit_order.h"
#include "block_encoder.h"
#include "block_reading_expect.h"
#include "codeword.h"
#include "ende_code.h"
#include "payload.h"
#include "rs_encoder.h"

namespace {

using orla::test::ExpectedReadings;
using orla::test::ExpectSameReading;
using orla::test::MakeReading;
using Values = std::array<std::optional<int>, 16>;

std::uint16_t FirstCells(int count) { return static_cast<std::uint16_t>((1u << count) - 1u); }

std::vector<std::uint8_t> SamplePayload() {
  return orla::pattern::BuildPayload(orla::pattern::PatternRecord{},
                                     {.compression = orla::pattern::Compression::Plain});
}

// The block's data symbols as the reader's 18-byte bit string.
std::array<std::uint8_t, 18> BitsOf(const std::vector<std::uint8_t>& symbols) {
  const std::vector<std::uint8_t> bytes = orla::pattern::BitsToBytes(orla::pattern::SymbolsToBits(symbols));
  std::array<std::uint8_t, 18> bits{};
  for (std::size_t i = 0; i < bytes.size() && i < bits.size(); ++i) bits[i] = bytes[i];
  return bits;
}

struct Decoded {
  int result;
  BlockReading reading;
  BlockReading next;
};

Decoded Decode(const std::vector<std::uint8_t>& symbols, int bitCount = -1) {
  Decoded d;
  const auto bits = BitsOf(symbols);
  d.result = DecodeBlockData(bitCount >= 0 ? bitCount : 3 * static_cast<int>(symbols.size()), d.reading, bits, d.next);
  return d;
}

TEST(BlockData, CodewordShapes) {
  const std::pair<int, int> shapes[] = {{7, 3}, {6, 4}, {5, 3}, {4, 2}, {3, 1}};
  for (const auto& [n, k] : shapes) {
    EXPECT_EQ(orla::CodewordDataSymbols(n), k) << n;
    EXPECT_EQ(orla::pattern::DataSymbolsOf(n), k) << n;
  }
}

TEST(BlockData, RowShapesFollowTheSymbolCount) {
  const struct {
    int symbols;
    std::vector<int> rows;
  } cases[] = {
      {48, {7, 7, 7, 7, 7, 7, 6}},
      {12, {7, 5}},
      {15, {7, 4, 4}},
      {24, {7, 7, 7, 3}},
      {16, {7, 4, 5}},
      {8, {4, 4}},
      {9, {4, 5}},
      {7, {7}},
      {3, {3}},
      {1, {}},
      {2, {}},
      {0, {}},
      {49, {}},
      {-1, {}},
  };
  for (const auto& c : cases) {
    const orla::BlockRows rows = orla::BlockRowShape(c.symbols);
    EXPECT_EQ(std::vector<int>(rows.lengths.begin(), rows.lengths.begin() + rows.count), c.rows) << c.symbols;
    if (c.symbols >= 3 && c.symbols <= 48) {
      EXPECT_EQ(orla::pattern::RowLengths(c.symbols), c.rows) << c.symbols;
    }
  }
}

TEST(BlockData, CodewordsAreCorrectedUpToHalfTheirCheckSymbols) {
  const struct {
    int n;
    int errors;
    bool accepted;
  } cases[] = {{7, 1, true}, {7, 2, true}, {5, 1, true}, {4, 1, true}, {3, 1, true}, {6, 1, true}};
  for (const auto& c : cases) {
    const int k = orla::CodewordDataSymbols(c.n);
    std::vector<std::uint8_t> data;
    for (int i = 0; i < k; ++i) data.push_back(static_cast<std::uint8_t>((3 * i + 5) % 8));
    const std::vector<std::uint8_t> word = orla::pattern::EncodeCodeword(data, c.n);
    std::vector<std::uint8_t> received = word;
    for (int e = 0; e < c.errors; ++e) received[static_cast<std::size_t>(2 * e)] ^= 5;
    EXPECT_EQ(orla::DecodeCodeword(received), c.accepted) << c.n << " symbols, " << c.errors << " errors";
    EXPECT_EQ(received, word) << c.n << " symbols, " << c.errors << " errors";
  }
  // Two corrections in a codeword of 2 check symbols are more than it may make: whatever the
  // decoder finds for a word two symbols off, it is refused or it is another codeword.
  for (const int n : {3, 4, 5, 6}) {
    const int k = orla::CodewordDataSymbols(n);
    std::vector<std::uint8_t> word =
        orla::pattern::EncodeCodeword(std::vector<std::uint8_t>(static_cast<std::size_t>(k), 2), n);
    const std::vector<std::uint8_t> sent = word;
    word[0] ^= 1;
    word[1] ^= 6;
    EXPECT_FALSE(orla::DecodeCodeword(word) && word == sent) << n;
  }
  std::vector<std::uint8_t> tooLong(8, 0);
  EXPECT_FALSE(orla::DecodeCodeword(tooLong));
}

// Received words of 7 symbols that the codec corrects in 3 places: more corrections than its
// 4 check symbols can vouch for. A stride through all 8^7 words keeps them varied.
std::vector<std::vector<std::uint8_t>> WordsCorrectedInThreePlaces(std::size_t wanted) {
  const CEnDe_Code codec(3, 7, 3, 0xB, 1, 1, 4);
  std::vector<std::vector<std::uint8_t>> found;
  for (int t = 0; t < (1 << 21) && found.size() < wanted; ++t) {
    std::vector<std::uint8_t> word(7);
    for (int i = 6, rest = (t * 40503) & ((1 << 21) - 1); i >= 0; --i, rest >>= 3) {
      word[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(rest & 7);
    }
    std::vector<std::uint8_t> corrected = word;
    if (codec.Decode(corrected.data(), nullptr) == 3) found.push_back(word);
  }
  return found;
}

TEST(BlockData, CodewordsCorrectedInMoreThanHalfTheirCheckSymbolsAreRefused) {
  const std::vector<std::vector<std::uint8_t>> words = WordsCorrectedInThreePlaces(12);
  ASSERT_EQ(words.size(), 12u);
  for (const std::vector<std::uint8_t>& word : words) {
    std::vector<std::uint8_t> received = word;
    EXPECT_FALSE(orla::DecodeCodeword(received)) << "word " << &word - words.data();
  }

  // In a block: as a header row such a word refuses the block; as a later row it leaves its
  // three positions (symbols 3 to 5 here) absent rather than filled with what it was corrected to.
  const std::vector<std::uint8_t> payload = SamplePayload();
  orla::pattern::BlockPlan plan;
  plan.blockNumber = 2;
  const orla::pattern::EncodedBlock block = orla::pattern::EncodeBlock(payload, plan);
  const auto [withHoles, next] = ExpectedReadings(block, {3, 4, 5});
  for (std::size_t w = 0; w < 4; ++w) {
    for (const int row : {0, 1, 3}) {
      std::vector<std::uint8_t> symbols = block.dataSymbols;
      std::copy(words[w].begin(), words[w].end(),
                symbols.begin() + static_cast<std::ptrdiff_t>(orla::pattern::RowOffset(block, row)));
      const Decoded d = Decode(symbols);
      const std::string what = "word " + std::to_string(w) + " as row " + std::to_string(row);
      if (row < 2) {
        EXPECT_EQ(d.result, 1) << what;
        continue;
      }
      EXPECT_EQ(d.result, 0) << what;
      ExpectSameReading(d.reading, withHoles, what);
      ExpectSameReading(d.next, next, what + ", next block");
    }
  }
}

// Twice the decimal logarithm of the odds that a decoded word was read right rather than made
// by damage beyond repair, with one symbol in six misread: the share of all words within c of
// a codeword is what makes a corrected short word weak evidence.
TEST(BlockData, TrustFallsWithEveryCorrectionAndWithFewerCheckSymbols) {
  const struct {
    int n;
    int corrected;
    int trust;
  } cases[] = {
      {7, 0, 8}, {7, 1, 5}, {7, 2, 2}, {6, 0, 4}, {6, 1, 1}, {5, 0, 4}, {5, 1, 1},
      {4, 0, 5}, {4, 1, 2}, {3, 0, 5}, {3, 1, 2}, {7, -1, 0}, {8, 0, 0}, {2, 0, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(orla::CodewordTrust(c.n, c.corrected), c.trust) << c.n << " " << c.corrected;
}

// Each payload symbol is trusted as far as its row, and no further than the header rows that
// placed it; the header's trust is the lesser of rows 0 and 1.
TEST(BlockData, EveryValueCarriesTheTrustOfTheRowsThatGaveIt) {
  const std::vector<std::uint8_t> payload = SamplePayload();
  const auto spoil = [](std::vector<std::uint8_t>& symbols, const orla::pattern::EncodedBlock& block, int row,
                        int symbolsWrong) {
    for (int i = 0; i < symbolsWrong; ++i) symbols[orla::pattern::RowOffset(block, row) + static_cast<std::size_t>(i)] ^= 1;
  };
  const struct {
    const char* name;
    int x;
    int row;
    int wrong;
    int header;
    std::array<int, 16> reading;  // trust of symbols 0 to 15; 0 where absent
    std::array<int, 16> next;
  } cases[] = {
      {"clean: rows 2 to 5 of 7 symbols, the last of 6", 0, 0, 0, 8,
       {8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 4, 4, 4, 4}, {}},
      {"row 3 corrected once", 0, 3, 1, 8, {8, 8, 8, 5, 5, 5, 8, 8, 8, 8, 8, 8, 4, 4, 4, 4}, {}},
      {"the last row corrected once", 0, 6, 1, 8, {8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 1, 1, 1, 1}, {}},
      {"row 0 corrected twice: the header caps every symbol", 0, 0, 2, 2,
       {2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2}, {}},
      {"row 1 corrected once", 0, 1, 1, 5, {5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 4, 4, 4, 4}, {}},
      {"X 10: the run into the next block keeps its rows' trust", 10, 4, 1, 8,
       {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 8, 8, 8, 8, 8}, {5, 5, 5, 8, 8, 8, 4, 4, 4, 4}},
  };
  for (const auto& c : cases) {
    orla::pattern::BlockPlan plan;
    plan.blockNumber = 3;
    plan.firstSymbol = c.x;
    const orla::pattern::EncodedBlock block = orla::pattern::EncodeBlock(payload, plan);
    std::vector<std::uint8_t> symbols = block.dataSymbols;
    spoil(symbols, block, c.row, c.wrong);
    const auto bits = BitsOf(symbols);
    BlockReading reading;
    BlockReading next;
    orla::ValueTrust trust;
    ASSERT_EQ(DecodeBlockData(3 * static_cast<int>(symbols.size()), reading, bits, next, &trust), 0) << c.name;
    EXPECT_EQ(trust.header, c.header) << c.name;
    for (std::size_t i = 0; i < 16; ++i) {
      EXPECT_EQ(trust.symbols[i], c.reading[i]) << c.name << ", symbol " << i;
      EXPECT_EQ(trust.nextSymbols[i], c.next[i]) << c.name << ", next block's symbol " << i;
    }
  }
}

TEST(BlockData, HeaderValues) {
  const std::vector<std::uint8_t> payload = SamplePayload();
  const struct {
    int number;
    int x;
    int check;
  } cases[] = {{5, 0, 0x3C}, {63, 15, 0xFF}, {0, 0, 0x00}, {1, 10, 0x5A}};
  for (const auto& c : cases) {
    orla::pattern::BlockPlan plan;
    plan.blockNumber = c.number;
    plan.firstSymbol = c.x;
    plan.checkByteOverride = c.check;
    const orla::pattern::EncodedBlock block = orla::pattern::EncodeBlock(payload, plan);
    const Decoded d = Decode(block.dataSymbols);
    const std::string what = "block " + std::to_string(c.number) + " X " + std::to_string(c.x);
    EXPECT_EQ(d.result, 0) << what;
    EXPECT_EQ(d.reading.blockNumber, c.number) << what;
    EXPECT_EQ(d.reading.checkByte, c.check) << what;
    // X is where the payload starts.
    EXPECT_EQ(d.reading.present[static_cast<std::size_t>(c.x)], 1) << what;
    if (c.x > 0) {
      EXPECT_EQ(d.reading.present[static_cast<std::size_t>(c.x - 1)], 0) << what;
    }
  }
  EXPECT_EQ(orla::pattern::HeaderSymbols(5, 0, 0x3C), (std::array<std::uint8_t, 6>{0, 5, 0, 0, 7, 4}));
}

TEST(BlockData, PayloadSymbolsLandFromXOnAndRunIntoTheNextBlock) {
  const std::vector<std::uint8_t> payload = SamplePayload();
  const struct {
    const char* name;
    int cells;
    int x;
    int result;
  } cases[] = {
      {"full block, X 0: the reading's 16 symbols", 16, 0, 0},
      {"full block, X 10: 6 here, 10 in the next", 16, 10, 0},
      {"full block, X 15", 16, 15, 0},
      {"8 cells: 3 payload symbols from row 2, 1 from row 3", 8, 2, 0},
      {"7 cells (rows 7, 7, 7): 3 payload symbols", 7, 14, 0},
      {"13 cells", 13, 5, 0},
      {"5 cells (rows 7, 4, 4): rows 0 and 1 hold 5 data symbols, no header", 5, 0, 1},
      {"4 cells (rows 7, 5): a header and no payload", 4, 0, 1},
      {"3 cells", 3, 0, 1},
      {"1 cell", 1, 0, 1},
  };
  for (const auto& c : cases) {
    orla::pattern::BlockPlan plan;
    plan.blockNumber = 3;
    plan.firstSymbol = c.x;
    plan.cellMask = FirstCells(c.cells);
    const orla::pattern::EncodedBlock block = orla::pattern::EncodeBlock(payload, plan);
    const Decoded d = Decode(block.dataSymbols);
    EXPECT_EQ(d.result, c.result) << c.name;
    if (c.result != 0) continue;
    const auto [reading, next] = ExpectedReadings(block);
    ExpectSameReading(d.reading, reading, c.name);
    ExpectSameReading(d.next, next, std::string(c.name) + ", next block");
  }
}

TEST(BlockData, FailedRowsLeaveHolesOrRefuseTheBlock) {
  const std::vector<std::uint8_t> payload = SamplePayload();
  orla::pattern::BlockPlan plan;
  plan.blockNumber = 2;
  plan.firstSymbol = 14;
  const orla::pattern::EncodedBlock block = orla::pattern::EncodeBlock(payload, plan);

  // Three symbols off in a row of 7 are past what it corrects; make sure the decoder refuses
  // the row rather than finding another codeword.
  auto spoil = [&](int row) {
    std::vector<std::uint8_t> symbols = block.dataSymbols;
    const std::size_t at = orla::pattern::RowOffset(block, row);
    for (std::size_t i : {0, 2, 4}) symbols[at + i] ^= 3;
    std::vector<std::uint8_t> word(
        symbols.begin() + static_cast<std::ptrdiff_t>(at),
        symbols.begin() + static_cast<std::ptrdiff_t>(at) + block.rowLengths[static_cast<std::size_t>(row)]);
    EXPECT_FALSE(orla::DecodeCodeword(word)) << "row " << row << " should be beyond repair";
    return symbols;
  };

  // Row 2's three positions are symbols 14 and 15 here and 0 of the next block; row 3 lands at
  // 1 to 3 of the next block.
  const Decoded row2 = Decode(spoil(2));
  EXPECT_EQ(row2.result, 0);
  const auto [reading, next] = ExpectedReadings(block, {0, 1, 2});
  ExpectSameReading(row2.reading, reading, "row 2 failed");
  ExpectSameReading(row2.next, next, "row 2 failed, next block");
  EXPECT_EQ(row2.reading.symbolCount, 0);
  EXPECT_EQ(row2.next.present[0], 0);
  EXPECT_EQ(row2.next.present[1], 1);

  EXPECT_EQ(Decode(spoil(0)).result, 1) << "a failed header row refuses the block";
  EXPECT_EQ(Decode(spoil(1)).result, 1) << "a failed header row refuses the block";

  // Two symbols off are corrected.
  std::vector<std::uint8_t> twoOff = block.dataSymbols;
  twoOff[orla::pattern::RowOffset(block, 4) + 1] ^= 7;
  twoOff[orla::pattern::RowOffset(block, 4) + 6] ^= 2;
  const Decoded corrected = Decode(twoOff);
  const auto [fullReading, fullNext] = ExpectedReadings(block);
  ExpectSameReading(corrected.reading, fullReading, "two symbols corrected");
  ExpectSameReading(corrected.next, fullNext, "two symbols corrected, next block");
}

TEST(BlockData, BitCountsOutsideABlockAreRefusedAndTheReadingsCleared) {
  const std::vector<std::uint8_t> payload = SamplePayload();
  const orla::pattern::EncodedBlock block = orla::pattern::EncodeBlock(payload, orla::pattern::BlockPlan{});
  const auto bits = BitsOf(block.dataSymbols);
  for (const int bitCount : {-1, -3, 145, 147, 1 << 20}) {
    BlockReading reading = MakeReading(7, Values{1, 2, 3}, 9);
    BlockReading next = reading;
    EXPECT_EQ(DecodeBlockData(bitCount, reading, bits, next), 1) << bitCount;
    ExpectSameReading(reading, BlockReading{}, "cleared");
    ExpectSameReading(next, BlockReading{}, "cleared");
  }
  // A bit string too short for a block is refused too.
  BlockReading reading;
  BlockReading next;
  EXPECT_EQ(DecodeBlockData(144, reading, std::span(bits.data(), 17), next), 1);
  EXPECT_EQ(DecodeBlockData(144, reading, bits, next), 0);
  // A bit count that is not a multiple of 3 reads its last symbol from the cleared bits after
  // it: 143 bits decode as the 144.
  EXPECT_EQ(DecodeBlockData(143, reading, bits, next), 0);
  EXPECT_EQ(reading.symbolCount, 16);
}

}  // namespace
