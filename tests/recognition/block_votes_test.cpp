// The block slots: votes, commits and the counts of ready payload, on the scenarios the
// format's rules describe.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

#include "bit_order.h"
#include "block_check.h"
#include "block_reading_expect.h"
#include "dot_page.h"

namespace {

using orla::test::ExpectSameReading;
using orla::test::FullReading;
using orla::test::MakeReading;
using orla::test::StageRecognizer;
using Values = std::array<std::optional<int>, 16>;
using Bytes = std::array<std::uint8_t, 6>;

const Bytes kBytes{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC};

std::uint8_t Check(const Bytes& b) {
  std::uint8_t c = 0xAA;
  for (std::uint8_t x : b) c ^= x;
  return c;
}

// The 16 symbols of a reading's data, by the writer's bit order.
std::vector<std::uint8_t> SymbolsOf(const BlockReading& r) {
  const std::vector<std::uint8_t> bits = orla::pattern::BytesToBits(std::span(r.data.data(), 6));
  return orla::pattern::BitsToSymbols(bits);
}

int SymbolOf(const BlockReading& r, int i) { return SymbolsOf(r)[static_cast<std::size_t>(i)]; }

// The reading with symbol i set to `value`, everything else kept.
BlockReading WithSymbol(const BlockReading& r, int i, int value) {
  std::vector<std::uint8_t> symbols = SymbolsOf(r);
  symbols[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value);
  Values values;
  for (std::size_t s = 0; s < 16; ++s) {
    if (r.present[s] != 0) values[s] = symbols[s];
  }
  return MakeReading(r.blockNumber, values, r.checkByte);
}

TEST(BlockCheck, CheckByteRuleAndTheBlockZeroHeader) {
  EXPECT_EQ(orla::CheckByteOf(FullReading(1, {0x01, 0x02, 0x03, 0x04, 0x05, 0x06}, 0)), 0xAD);
  const struct {
    const char* name;
    int b;
    Bytes bytes;
    int check;  // -1: the true one
    int symbols;
    bool valid;
  } cases[] = {
      {"block 5, check byte right", 5, kBytes, -1, 16, true},
      {"block 5, check byte wrong", 5, kBytes, 0x00, 16, false},
      {"block 5, a symbol missing", 5, kBytes, -1, 15, false},
      {"block 0, total 40, header 24", 0, {40, 0, 24, 0, 1, 2}, -1, 16, true},
      {"block 0, total 24, header 24", 0, {24, 0, 24, 0, 1, 2}, -1, 16, true},
      {"block 0, header 23", 0, {40, 0, 23, 0, 1, 2}, -1, 16, false},
      {"block 0, header 24 + 256", 0, {40, 0, 24, 1, 1, 2}, -1, 16, false},
      {"block 0, total 23", 0, {23, 0, 24, 0, 1, 2}, -1, 16, false},
      {"block 0, total 0x0117 (little-endian)", 0, {0x17, 0x01, 24, 0, 1, 2}, -1, 16, true},
      {"block 1 carries no header", 1, {0, 0, 0, 0, 0, 0}, -1, 16, true},
  };
  for (const auto& c : cases) {
    BlockReading r = FullReading(c.b, c.bytes, c.check < 0 ? Check(c.bytes) : c.check);
    if (c.symbols < 16) {
      r.present[7] = 0;
      r.symbolCount = c.symbols;
    }
    EXPECT_EQ(orla::IsValidBlock(r, c.b), c.valid) << c.name;
  }
}

TEST(BlockVotes, AFirstFullReadingIsVotedAndCommitted) {
  StageRecognizer reg;
  const BlockReading read = FullReading(5, kBytes, Check(kBytes));
  BlockReading r = read;
  EXPECT_EQ(reg.MergeBlockReading(r, 5), 1);
  const BlockSlot& slot = reg.blockSlots[5];
  EXPECT_EQ(slot.voteCount, 1);
  ExpectSameReading(slot.votes[0], read, "votes[0]");
  EXPECT_EQ(reg.CommitBlock(5, r, 1), 1);
  ExpectSameReading(slot.cell, read, "cell");
  EXPECT_EQ(slot.historyCount, 1);
  ExpectSameReading(slot.history[0], read, "history[0]");
  EXPECT_EQ(slot.complete, 1);

  // The same reading again confirms everything: nothing new, and mode 0 finds it in the history.
  BlockReading again = read;
  EXPECT_EQ(reg.MergeBlockReading(again, 5), 0);
  EXPECT_EQ(again.symbolCount, 0);
  EXPECT_EQ(again.blockNumber, -1);
  EXPECT_EQ(again.checkByte, 0);
  EXPECT_EQ(slot.voteCount, 1);
  EXPECT_EQ(reg.CommitBlock(5, read, 0), 1);
  EXPECT_EQ(slot.historyCount, 1);
}

TEST(BlockVotes, ANewSymbolValueIsVotedAndTheCombinationWithItCommitted) {
  StageRecognizer reg;
  const BlockReading right = FullReading(7, kBytes, Check(kBytes));
  const BlockReading wrong = WithSymbol(right, 3, SymbolOf(right, 3) ^ 5);
  BlockReading first = wrong;
  EXPECT_EQ(reg.MergeBlockReading(first, 7), 1);
  EXPECT_EQ(reg.CommitBlock(7, first, 1), 0) << "the check byte does not hold";
  EXPECT_EQ(reg.CommitBlock(7, wrong, 0), 0);
  const BlockSlot& slot = reg.blockSlots[7];
  EXPECT_EQ(slot.complete, 0);

  BlockReading second = right;
  EXPECT_EQ(reg.MergeBlockReading(second, 7), 1);
  // Only symbol 3 was new; the check byte was confirmed.
  EXPECT_EQ(second.symbolCount, 1);
  EXPECT_EQ(second.present[3], 1);
  EXPECT_EQ(second.blockNumber, -1);
  EXPECT_EQ(slot.voteCount, 2);
  EXPECT_EQ(slot.votes[1].symbolCount, 1);
  EXPECT_EQ(slot.votes[1].present[3], 1);
  EXPECT_EQ(SymbolOf(slot.votes[1], 3), SymbolOf(right, 3));
  EXPECT_EQ(SymbolOf(slot.votes[0], 3), SymbolOf(wrong, 3));

  EXPECT_EQ(reg.CommitBlock(7, second, 1), 1);
  ExpectSameReading(slot.cell, right, "cell");
  EXPECT_EQ(slot.historyCount, 1);
  EXPECT_EQ(slot.complete, 1);

  // Seen once more, the right value moves to the front of the votes.
  BlockReading third = right;
  EXPECT_EQ(reg.MergeBlockReading(third, 7), 0);
  EXPECT_EQ(SymbolOf(slot.votes[0], 3), SymbolOf(right, 3));
  EXPECT_EQ(SymbolOf(slot.votes[1], 3), SymbolOf(wrong, 3));
}

TEST(BlockVotes, CheckByteVotesKeepTheLatestConfirmedInFront) {
  StageRecognizer reg;
  const BlockSlot& slot = reg.blockSlots[9];
  BlockReading r = FullReading(9, kBytes, 0x11);
  reg.MergeBlockReading(r, 9);
  // Ten more different check bytes: the list fills, then entry 0 takes the newest.
  for (int c = 0x20; c < 0x20 + 10; ++c) {
    BlockReading next = FullReading(9, kBytes, c);
    EXPECT_EQ(reg.MergeBlockReading(next, 9), 1) << c;
    EXPECT_EQ(slot.votes[0].checkByte, c);
  }
  EXPECT_EQ(slot.voteCount, 10);
  for (int j = 0; j < 10; ++j) EXPECT_EQ(slot.votes[static_cast<std::size_t>(j)].blockNumber, 9);
  // A check byte seen before moves to the front and brings nothing new.
  BlockReading seen = FullReading(9, kBytes, 0x11);
  const std::uint8_t front = slot.votes[0].checkByte;
  EXPECT_EQ(reg.MergeBlockReading(seen, 9), 0);
  EXPECT_EQ(slot.votes[0].checkByte, 0x11);
  int moved = 0;
  for (int j = 1; j < 10; ++j) moved += slot.votes[static_cast<std::size_t>(j)].checkByte == front;
  EXPECT_EQ(moved, 1);

  // A reading without a block number (the overflow of the block before) votes symbols only.
  BlockReading overflow = MakeReading(-1, Values{1, 2, 3});
  StageRecognizer other;
  EXPECT_EQ(other.MergeBlockReading(overflow, 4), 1);
  BlockReading withNumber = FullReading(4, kBytes, 0x33);
  EXPECT_EQ(other.MergeBlockReading(withNumber, 4), 1);
  EXPECT_EQ(other.blockSlots[4].votes[0].blockNumber, 4);
  EXPECT_EQ(other.blockSlots[4].votes[0].checkByte, 0x33);
}

TEST(BlockVotes, ACombinationTheOldSteppingSkippedIsFound) {
  // Symbols 2 and 9 each have three voted values; the right ones are the second of symbol 2
  // and the third of symbol 9: digits 1 and 2, which stepping by groups once left out.
  StageRecognizer reg;
  const BlockReading right = FullReading(12, kBytes, Check(kBytes));
  const int s2 = SymbolOf(right, 2);
  const int s9 = SymbolOf(right, 9);
  BlockReading r = WithSymbol(WithSymbol(right, 2, s2 ^ 1), 9, s9 ^ 1);
  reg.MergeBlockReading(r, 12);
  BlockReading r1 = WithSymbol(WithSymbol(right, 2, s2), 9, s9 ^ 2);
  reg.MergeBlockReading(r1, 12);
  BlockReading r2 = WithSymbol(WithSymbol(right, 2, s2 ^ 4), 9, s9);
  reg.MergeBlockReading(r2, 12);
  const BlockSlot& slot = reg.blockSlots[12];
  ASSERT_EQ(slot.voteCount, 3);
  ASSERT_EQ(SymbolOf(slot.votes[1], 2), s2);
  ASSERT_EQ(SymbolOf(slot.votes[2], 9), s9);
  EXPECT_EQ(slot.complete, 0);
  // A reading that brings the block's number and check byte but no new symbol value lets
  // every combination be tried against that check byte.
  BlockReading news = MakeReading(12, Values{}, Check(kBytes));
  EXPECT_EQ(reg.CommitBlock(12, news, 1), 1);
  ExpectSameReading(slot.cell, right, "cell");
  EXPECT_EQ(slot.historyCount, 1);
}

TEST(BlockVotes, ModeOneCommitsEveryValidCombinationAndKeepsTheLastAsTheCell) {
  // Symbols 11 and 12 lie on bits of byte 4 of their own: each changes the check byte its own
  // way, and their changes never cancel.
  StageRecognizer reg;
  const BlockSlot& slot = reg.blockSlots[5];
  auto valid = [](BlockReading r) {
    r.checkByte = orla::CheckByteOf(r);
    return r;
  };
  const BlockReading base = FullReading(5, kBytes, 0);
  const BlockReading new11 = valid(WithSymbol(base, 11, SymbolOf(base, 11) ^ 3));
  const BlockReading new12 = valid(WithSymbol(base, 12, SymbolOf(base, 12) ^ 5));

  BlockReading first = base;
  first.checkByte = new11.checkByte;
  ASSERT_EQ(reg.MergeBlockReading(first, 5), 1);
  ASSERT_EQ(reg.CommitBlock(5, first, 1), 0) << "the reading's own symbols miss its check byte";

  // Both new values and a second check byte at once: two combinations hold, the one with the
  // new symbol 12 first, then the one with the new symbol 11.
  BlockReading second = WithSymbol(WithSymbol(base, 11, SymbolOf(new11, 11)), 12, SymbolOf(new12, 12));
  second.checkByte = new12.checkByte;
  ASSERT_EQ(reg.MergeBlockReading(second, 5), 1);
  ASSERT_EQ(second.symbolCount, 2);
  EXPECT_EQ(reg.CommitBlock(5, second, 1), 1);
  EXPECT_EQ(slot.complete, 1);
  ASSERT_EQ(slot.historyCount, 2);
  ExpectSameReading(slot.history[0], new12, "history[0]");
  ExpectSameReading(slot.history[1], new11, "history[1]");
  ExpectSameReading(slot.cell, new11, "cell, the last combination that held");
}

TEST(BlockVotes, ANewValueForASymbolThatEveryEntryHoldsGoesOverTheLastEntry) {
  // Merges keep a symbol's values apart, so they fill at most 8 entries with it; a slot filled
  // another way may hold it in all 10, with one of the 8 values still missing.
  StageRecognizer reg;
  BlockSlot& slot = reg.blockSlots[6];
  const BlockReading base = FullReading(6, kBytes, Check(kBytes));
  const int s = SymbolOf(base, 4);
  slot.votes[0] = base;
  for (int j = 1; j < 10; ++j) {
    Values only4{};
    only4[4] = s ^ (j % 7);
    slot.votes[static_cast<std::size_t>(j)] = MakeReading(-1, only4);
  }
  slot.voteCount = 10;
  const std::array<BlockReading, 10> before = slot.votes;

  BlockReading r = WithSymbol(base, 4, s ^ 7);
  EXPECT_EQ(reg.MergeBlockReading(r, 6), 1);
  EXPECT_EQ(slot.voteCount, 10);
  EXPECT_EQ(SymbolOf(slot.votes[9], 4), s ^ 7);
  Values only4{};
  only4[4] = s ^ 7;
  ExpectSameReading(slot.votes[9], MakeReading(-1, only4), "votes[9]");
  for (std::size_t j = 0; j < 9; ++j) ExpectSameReading(slot.votes[j], before[j], "votes[" + std::to_string(j) + "]");
}

TEST(BlockVotes, ANewCheckByteAloneCommitsOnlyCombinationsThatMatchIt) {
  StageRecognizer reg;
  const BlockSlot& slot = reg.blockSlots[8];
  BlockReading right = FullReading(8, kBytes, Check(kBytes));
  EXPECT_EQ(reg.MergeBlockReading(right, 8), 1);
  EXPECT_EQ(reg.CommitBlock(8, right, 1), 1);
  ASSERT_EQ(slot.historyCount, 1);

  // The same symbols under another check byte: only that check byte is new. The one
  // combination matches the check byte voted before, which brings nothing new to commit.
  BlockReading otherCheck = FullReading(8, kBytes, Check(kBytes) ^ 0x01);
  EXPECT_EQ(reg.MergeBlockReading(otherCheck, 8), 1);
  EXPECT_EQ(otherCheck.symbolCount, 0);
  EXPECT_EQ(otherCheck.blockNumber, 8);
  EXPECT_EQ(reg.CommitBlock(8, otherCheck, 1), 0);
  EXPECT_EQ(slot.historyCount, 1);
}

TEST(BlockVotes, BlockZeroWithAWrongHeaderLengthIsNeverCommitted) {
  StageRecognizer reg;
  const Bytes header{40, 0, 23, 0, 0, 0};
  const BlockReading r = FullReading(0, header, Check(header));
  BlockReading merged = r;
  EXPECT_EQ(reg.MergeBlockReading(merged, 0), 1);
  EXPECT_EQ(reg.CommitBlock(0, merged, 1), 0);
  EXPECT_EQ(reg.CommitBlock(0, r, 0), 0);
  EXPECT_EQ(reg.blockSlots[0].complete, 0);
}

TEST(BlockVotes, ModeZeroHistory) {
  StageRecognizer reg;
  BlockSlot& slot = reg.blockSlots[3];
  std::array<BlockReading, 11> readings;
  for (int i = 0; i < 11; ++i) {
    const Bytes bytes{static_cast<std::uint8_t>(i), 1, 2, 3, 4, 5};
    readings[static_cast<std::size_t>(i)] = FullReading(3, bytes, Check(bytes));
  }
  for (int i = 0; i < 10; ++i) EXPECT_EQ(reg.CommitBlock(3, readings[static_cast<std::size_t>(i)], 0), 1);
  // Newest first, then the others in the order they came.
  EXPECT_EQ(slot.historyCount, 10);
  EXPECT_EQ(slot.history[0].data[0], 9);
  for (int j = 1; j < 10; ++j) EXPECT_EQ(slot.history[static_cast<std::size_t>(j)].data[0], j - 1) << j;

  // A known reading at entry 4 swaps with entry 0.
  EXPECT_EQ(reg.CommitBlock(3, readings[3], 0), 1);
  EXPECT_EQ(slot.history[0].data[0], 3);
  EXPECT_EQ(slot.history[4].data[0], 9);
  ExpectSameReading(slot.cell, readings[3], "cell");

  // A new reading on a full history: entry 0, the former entry 0 goes to 9, 1 to 8 stay.
  EXPECT_EQ(reg.CommitBlock(3, readings[10], 0), 1);
  EXPECT_EQ(slot.historyCount, 10);
  EXPECT_EQ(slot.history[0].data[0], 10);
  EXPECT_EQ(slot.history[9].data[0], 3);
  for (int j = 1; j < 9; ++j) EXPECT_EQ(slot.history[static_cast<std::size_t>(j)].data[0], j == 4 ? 9 : j - 1) << j;

  // Refused: another block's number, a missing symbol.
  BlockReading short15 = readings[0];
  short15.present[15] = 0;
  short15.symbolCount = 15;
  EXPECT_EQ(reg.CommitBlock(4, readings[0], 0), 0);
  EXPECT_EQ(reg.CommitBlock(3, short15, 0), 0);
}

TEST(BlockVotes, SlotsOutsideZeroToNinetyNineAreRefusedAndNothingIsTouched) {
  StageRecognizer reg;
  const BlockReading r = FullReading(5, kBytes, Check(kBytes));
  for (const int k : {-1, -100, 100, 1000}) {
    BlockReading copy = r;
    copy.blockNumber = k;
    EXPECT_EQ(reg.MergeBlockReading(copy, k), 0) << k;
    EXPECT_EQ(reg.CommitBlock(k, copy, 0), 0) << k;
    EXPECT_EQ(reg.CommitBlock(k, copy, 1), 0) << k;
    ExpectSameReading(
        copy,
        [&] {
          BlockReading c = r;
          c.blockNumber = k;
          return c;
        }(),
        "the reading is untouched");
  }
  for (const BlockSlot& slot : reg.blockSlots) {
    EXPECT_EQ(slot.voteCount, 0);
    EXPECT_EQ(slot.complete, 0);
  }
  BlockReading empty;
  EXPECT_EQ(reg.MergeBlockReading(empty, 5), 0);
  EXPECT_EQ(reg.blockSlots[5].voteCount, 0);
  // Mode 1 needs a value for every symbol.
  BlockReading partial = MakeReading(6, Values{1, 2, 3}, 0);
  reg.MergeBlockReading(partial, 6);
  EXPECT_EQ(reg.CommitBlock(6, partial, 1), 0);
}

TEST(SlotCounts, DecodedBytesAndSlotsUsed) {
  const struct {
    const char* name;
    int complete;   // slots 0 .. complete-1 complete
    int leading;    // leading symbols of the next slot's votes[0]
    int fullVotes;  // slots after the complete ones whose votes[0] has 16 symbols
    int strict;
    int needed;
    int result;
    int slotsUsed;
    int cellBytes;
  } cases[] = {
      {"6 complete and 7 leading symbols: 38 bytes of 40", 6, 7, 0, 1, 40, 0, 7, 36},
      {"the same, 38 needed", 6, 7, 0, 1, 38, 1, 7, 36},
      {"2 leading symbols add nothing", 6, 2, 0, 1, 36, 1, 6, 36},
      {"3 leading symbols add one byte", 6, 3, 0, 1, 37, 1, 7, 36},
      {"16 leading symbols, not committed, strict", 6, 16, 0, 1, 42, 1, 7, 36},
      {"full votes count when not strict", 6, 0, 2, 0, 48, 1, 8, 36},
      {"full votes do not count when strict", 6, 0, 2, 1, 48, 0, 7, 36},
      {"nothing", 0, 0, 0, 1, 1, 0, 0, 0},
      {"every slot complete", 100, 0, 0, 1, 100000, 1, 100, 600},
  };
  for (const auto& c : cases) {
    StageRecognizer reg;
    for (int s = 0; s < c.complete; ++s) reg.blockSlots[static_cast<std::size_t>(s)].complete = 1;
    for (int s = c.complete; s < c.complete + c.fullVotes; ++s) {
      reg.blockSlots[static_cast<std::size_t>(s)].votes[0] = FullReading(s, kBytes, 0);
    }
    if (c.complete + c.fullVotes < 100) {
      BlockReading& v = reg.blockSlots[static_cast<std::size_t>(c.complete + c.fullVotes)].votes[0];
      for (int i = 0; i < c.leading; ++i) v.present[static_cast<std::size_t>(i)] = 1;
      v.present[15] = 1;  // a symbol after a gap does not count
      v.symbolCount = std::min(c.leading + 1, 16);
    }
    EXPECT_EQ(reg.CountDecodedBytes(c.strict, c.needed), c.result) << c.name;
    EXPECT_EQ(reg.slotsUsed, c.slotsUsed) << c.name;
    EXPECT_EQ(reg.CountCellBytes(), c.cellBytes) << c.name;
  }
}

}  // namespace
