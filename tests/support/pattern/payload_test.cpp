#include "payload.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

namespace orla::pattern {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Gunzip(const Bytes& gz) {
  z_stream s{};
  EXPECT_EQ(inflateInit2(&s, 15 + 16), Z_OK);
  Bytes out(4096);
  s.next_in = const_cast<Bytef*>(gz.data());
  s.avail_in = static_cast<uInt>(gz.size());
  s.next_out = out.data();
  s.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(inflate(&s, Z_FINISH), Z_STREAM_END);
  EXPECT_EQ(s.avail_in, 0u) << "bytes after the gzip member";
  out.resize(s.total_out);
  inflateEnd(&s);
  return out;
}

TEST(Payload, CheckByteOfTheWorkedExample) {
  EXPECT_EQ(CheckByte({1, 2, 3, 4, 5, 6}), 0xAD);
  EXPECT_EQ(CheckByte({0, 0, 0, 0, 0, 0}), 0xAA);
}

TEST(Payload, RecordTextLaysTheFieldsOutNulTerminatedAndPadsShortTexts) {
  const PatternRecord record{"202612100907", "SN", "MAC", "", "job", "d"};
  const Bytes text = RecordText(record);
  const std::string expected("202612100907\0SN\0MAC\0\0job\0d\0", 27);
  EXPECT_EQ(std::string(text.begin(), text.end()), expected);
  EXPECT_EQ(text[12], 0);  // the serial number starts at byte 13

  const PatternRecord empty{"", "", "", "", "", ""};
  const struct {
    std::size_t minLength;
    std::size_t size;
  } cases[] = {{23, 23}, {0, 6}, {40, 40}};
  for (const auto& c : cases) {
    const Bytes padded = RecordText(empty, c.minLength);
    EXPECT_EQ(padded.size(), c.size) << c.minLength;
    EXPECT_EQ(std::count(padded.begin(), padded.end(), 0), static_cast<long>(c.size));
  }
}

TEST(Payload, HeaderCarriesLittleEndianLengthsAndTheBodyGzippedOrPlain) {
  const PatternRecord record;
  const Bytes text = RecordText(record);
  for (Compression compression : {Compression::Gzip, Compression::Plain}) {
    PayloadOptions options;
    options.compression = compression;
    options.reserved[0] = 0x11;
    options.reserved[19] = 0x99;
    const Bytes payload = BuildPayload(record, options);
    ASSERT_GT(payload.size(), 24u);
    EXPECT_EQ(payload[0] | (payload[1] << 8), static_cast<int>(payload.size()));
    EXPECT_EQ(payload[2], 24);
    EXPECT_EQ(payload[3], 0);
    EXPECT_EQ(payload[4], 0x11);
    EXPECT_EQ(payload[23], 0x99);
    const Bytes body(payload.begin() + 24, payload.end());
    if (compression == Compression::Gzip) {
      EXPECT_EQ(body[0], 0x1F);
      EXPECT_EQ(body[1], 0x8B);
      EXPECT_EQ(Gunzip(body), text);
    } else {
      EXPECT_EQ(body, text);
    }
  }
  PayloadOptions lying;
  lying.totalLengthOverride = 0x1234;
  lying.headerLength = 23;
  const Bytes payload = BuildPayload(record, lying);
  EXPECT_EQ(payload[0], 0x34);
  EXPECT_EQ(payload[1], 0x12);
  EXPECT_EQ(payload[2], 23);
}

TEST(Payload, BlocksTakeSixBytesEachAndTheLastIsPaddedWithZeros) {
  const Bytes payload{1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_EQ(BlockCountOf(payload), 2);
  EXPECT_EQ(BlockCountOf(Bytes(12, 1)), 2);
  EXPECT_EQ(BlockCountOf(Bytes(13, 1)), 3);
  EXPECT_EQ(BlockBytes(payload, 0), (std::array<std::uint8_t, 6>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(BlockBytes(payload, 1), (std::array<std::uint8_t, 6>{7, 8, 0, 0, 0, 0}));
  EXPECT_EQ(BlockBytes(payload, 2), (std::array<std::uint8_t, 6>{}));
}

}  // namespace
}  // namespace orla::pattern
