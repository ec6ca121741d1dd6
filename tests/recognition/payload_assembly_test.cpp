// Assembling the payload from the block slots into a tracking record, with payloads made by
// the pattern writer.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "block_reading_expect.h"
#include "codeword.h"
#include "dot_page.h"
#include "lattice_frames.h"
#include "payload.h"
#include "record_expect.h"
#include "tracking_records.h"

namespace {

using orla::pattern::Compression;
using orla::pattern::PatternRecord;
using orla::test::ExpectRecord;
using orla::test::FullReading;
using orla::test::StageRecognizer;

class PayloadAssembly : public ::testing::Test {
 protected:
  void SetUp() override { ClearTrackingRecords(); }
  void TearDown() override { ClearTrackingRecords(); }

  // Puts the payload's blocks into the cells of the slots, all committed, and uses them all;
  // each block was also read clean once, so the page vouches for it.
  void Load(const std::vector<std::uint8_t>& payload, bool vouched = true) {
    const int blocks = orla::pattern::BlockCountOf(payload);
    for (int b = 0; b < blocks; ++b) {
      const auto bytes = orla::pattern::BlockBytes(payload, b);
      BlockSlot& slot = reg.blockSlots[static_cast<std::size_t>(b)];
      slot.cell = FullReading(b, bytes, orla::pattern::CheckByte(bytes));
      slot.complete = 1;
      if (vouched) ReadClean(b, slot.cell);
    }
    reg.slotsUsed = blocks;
  }

  // Every block read once, clean, from its own tile of one print.
  void ReadClean(int b, const BlockReading& reading) {
    reg.readTrust.symbols.fill(static_cast<std::uint8_t>(orla::CodewordTrust(7, 0)));
    reg.readTrust.header = orla::CodewordTrust(7, 0);
    const orla::test::Frame frame = orla::test::TestLattice{}.FrameAt(20 * (b % 8), 20 * (b / 8));
    reg.NoteReadings(b, reading, BlockReading{}, frame.rowA, frame.rowB);
  }

  StageRecognizer reg;
};

std::vector<std::uint8_t> Bytes(const char* text, std::size_t size) {
  return std::vector<std::uint8_t>(text, text + size);
}

TEST_F(PayloadAssembly, GzipAndPlainPayloadsBecomeRecords) {
  const PatternRecord records[] = {
      PatternRecord{},
      {"260102030405", "", "", "", "", ""},
      {"991231235959", "", "0123456789ab", "", "", "\x80\xFF Latin-1 text passes"},
      {"991231235959", "ABCDEFGHIJ", "FFFFFFFFFFFF", std::string(20, 'u'), std::string(64, 'j'), std::string(32, 'd')},
  };
  for (const Compression compression : {Compression::Gzip, Compression::Plain}) {
    for (const PatternRecord& record : records) {
      reg.ResetPage();
      ClearTrackingRecords();
      const std::vector<std::uint8_t> payload = orla::pattern::BuildPayload(record, {.compression = compression});
      Load(payload);
      ASSERT_EQ(reg.AssemblePayload(), 0) << record.timeStamp;
      ASSERT_EQ(g_TrackingRecords.size(), 1u);
      ExpectRecord(g_TrackingRecords[0], record);
      for (int i = 0; i < 24; ++i)
        EXPECT_EQ(reg.payloadHeader[static_cast<std::size_t>(i)], payload[static_cast<std::size_t>(i)]);
    }
  }
}

// A plain payload has no check of its own beyond its blocks' check bytes: it becomes a record
// only from cells that are the data the page vouches for, and only when the record keeps the
// rules a printer's record keeps. A gzip payload is checked by its stream: the same records
// from it need neither.
TEST_F(PayloadAssembly, APlainPayloadNeedsVouchedCellsAndAPlausibleRecord) {
  const PatternRecord good{};
  const struct {
    const char* name;
    PatternRecord record;
    bool vouched;
    int changedBlock;  // a cell that is not the vouched data: its check byte holds all the same
    int plain;         // the result for a plain payload
  } cases[] = {
      {"vouched and plausible", good, true, -1, 0},
      {"no evidence for any block", good, false, -1, 1},
      {"one cell other than the vouched data", good, true, 5, 1},
      {"the last cell other than the vouched data", good, true, 99, 1},
      {"month 13", {"261310090745", "S", "", "", "", ""}, true, -1, 1},
      {"day 0", {"261200090745", "S", "", "", "", ""}, true, -1, 1},
      {"hour 24", {"261210240745", "S", "", "", "", ""}, true, -1, 1},
      {"minute 60", {"261210096045", "S", "", "", "", ""}, true, -1, 1},
      {"second 60", {"261210090760", "S", "", "", "", ""}, true, -1, 1},
      {"a letter in the time stamp", {"26121009074x", "S", "", "", "", ""}, true, -1, 1},
      {"a MAC address that is not hexadecimal", {"261210090745", "S", "00A0C9143B7G", "", "", ""}, true, -1, 1},
      {"a control character in the serial number", {"261210090745", "S\x01", "", "", "", ""}, true, -1, 1},
      {"a control character in the user name", {"261210090745", "S", "", "u\x1F", "", ""}, true, -1, 1},
      {"a delete in the job name", {"261210090745", "S", "", "", "j\x7F", ""}, true, -1, 1},
      {"a tab in the description", {"261210090745", "S", "", "", "", "a\tb"}, true, -1, 1},
  };
  for (const auto& c : cases) {
    for (const Compression compression : {Compression::Plain, Compression::Gzip}) {
      const bool plain = compression == Compression::Plain;
      // A changed cell would break the gzip stream for a reason of its own.
      if (!plain && c.changedBlock >= 0) continue;
      const std::string what = std::string(c.name) + (plain ? ", plain" : ", gzip");
      reg.ResetPage();
      ClearTrackingRecords();
      Load(orla::pattern::BuildPayload(c.record, {.compression = compression}), c.vouched);
      if (c.changedBlock >= 0) {
        BlockReading& cell = reg.blockSlots[static_cast<std::size_t>(std::min(c.changedBlock, reg.slotsUsed - 1))].cell;
        // The XOR of the bytes, and so the check byte, stays, and the text keeps every rule:
        // in block 5 the hour 09 becomes 08 and the minute 07 becomes 17.
        cell.data[1] ^= 0x01;
        cell.data[2] ^= 0x01;
      }
      const int expected = plain ? c.plain : 0;
      EXPECT_EQ(reg.AssemblePayload(), expected) << what;
      EXPECT_EQ(g_TrackingRecords.size(), expected == 0 ? 1u : 0u) << what;
    }
  }
}

TEST_F(PayloadAssembly, RefusedPayloadsAppendNothing) {
  const PatternRecord tooLongSerial{"261210090745", "LM402117830", "", "", "", ""};
  const PatternRecord shortTime{"26121009074", "S", "", "", "", ""};
  const struct {
    const char* name;
    std::vector<std::uint8_t> payload;
    int dropLastBlocks;
    bool headerKept;  // the assembly got as far as keeping the header
  } cases[] = {
      {"total length 24: nothing to inflate",
       orla::pattern::BuildPayload(std::vector<std::uint8_t>{}, {.compression = Compression::Plain}), 0, true},
      {"total length 10, below the header's own",
       orla::pattern::BuildPayload(PatternRecord{}, {.totalLengthOverride = 10}), 0, false},
      {"total length 1",
       orla::pattern::BuildPayload(PatternRecord{}, {.compression = Compression::Plain, .totalLengthOverride = 1}), 0,
       false},
      {"too few bytes for the total length", orla::pattern::BuildPayload(PatternRecord{}), 1, false},
      {"a total length past the buffer", orla::pattern::BuildPayload(PatternRecord{}, {.totalLengthOverride = 0xFFFF}),
       0, false},
      {"an 11-character serial number", orla::pattern::BuildPayload(tooLongSerial), 0, true},
      {"an 11-character time stamp", orla::pattern::BuildPayload(shortTime), 0, true},
      {"22 bytes of text",
       orla::pattern::BuildPayload(Bytes("261210090745\0LM402117\0", 22), {.compression = Compression::Plain}), 0,
       true},
  };
  for (const auto& c : cases) {
    reg.ResetPage();
    Load(c.payload);
    reg.slotsUsed -= c.dropLastBlocks;
    EXPECT_EQ(reg.AssemblePayload(), 1) << c.name;
    EXPECT_TRUE(g_TrackingRecords.empty()) << c.name;
    for (std::size_t i = 0; i < 24; ++i) {
      EXPECT_EQ(reg.payloadHeader[i], c.headerKept ? c.payload[i] : 0) << c.name << ", header byte " << i;
    }
  }

  // A gzip stream whose CRC does not match.
  std::vector<std::uint8_t> payload = orla::pattern::BuildPayload(PatternRecord{});
  payload[payload.size() - 6] ^= 0x01;
  reg.ResetPage();
  Load(payload);
  EXPECT_EQ(reg.AssemblePayload(), 1);
  EXPECT_TRUE(g_TrackingRecords.empty());

  // No slot used at all.
  reg.ResetPage();
  EXPECT_EQ(reg.AssemblePayload(), 1);
}

TEST_F(PayloadAssembly, ThePartlyFilledLastBlockGivesTheBytesItsLeadingSymbolsCover) {
  const struct {
    int leading;
    int bytes;
  } cases[] = {{11, 58}, {2, 54}, {3, 55}, {16, 60}, {0, 54}};
  const std::array<std::uint8_t, 6> lastBytes{0x19, 0x21, 0x32, 0x43, 0x54, 0x65};
  for (const auto& c : cases) {
    reg.ResetPage();
    for (int b = 0; b < 9; ++b)
      reg.blockSlots[static_cast<std::size_t>(b)].cell = FullReading(b, {1, 2, 3, 4, 5, 6}, 0);
    BlockReading& last = reg.blockSlots[9].cell;
    last = FullReading(9, lastBytes, 0);
    last.present.fill(0);
    for (int i = 0; i < c.leading; ++i) last.present[static_cast<std::size_t>(i)] = 1;
    last.present[15] = 1;  // after a gap: not counted
    reg.slotsUsed = 10;
    reg.payload.fill(0xEE);
    reg.AssemblePayload();
    EXPECT_EQ(reg.payload[53], 6) << c.leading;
    for (int i = 54; i < c.bytes; ++i)
      EXPECT_EQ(reg.payload[static_cast<std::size_t>(i)], lastBytes[static_cast<std::size_t>(i - 54)]) << c.leading;
    EXPECT_EQ(reg.payload[static_cast<std::size_t>(c.bytes)], 0xEE) << c.leading;
  }
}

}  // namespace
