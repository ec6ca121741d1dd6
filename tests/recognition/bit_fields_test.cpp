// Packing 3-bit symbols into bit strings and back, most significant bit first.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "bit_fields.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

int BitAt(const Bytes& bytes, int p) { return (bytes[p / 8] >> (7 - p % 8)) & 1; }

TEST(BitFields, UnpackKnownBytes) {
  struct Case {
    Bytes source;
    int startBit;
    int count;
    Bytes expected;
  };
  const Case cases[] = {
      {{0xA5, 0xC3}, 0, 5, {5, 1, 3, 4, 1}},  // the third field spans both bytes
      {{0x01, 0x80}, 7, 1, {6}},              // last bit of byte 0, top two of byte 1
      {{0x00, 0x7F}, 7, 1, {1}},
      {{0xFF}, 5, 1, {7}},                    // ends on the byte boundary
  };
  for (const Case& c : cases) {
    Bytes out(c.count, 0xEE);
    UnpackBitFields(c.source.data(), c.startBit, c.count, out.data());
    EXPECT_EQ(out, c.expected) << "start " << c.startBit;
  }
}

TEST(BitFields, PackKnownValues) {
  struct Case {
    Bytes before;
    int startBit;
    Bytes values;
    int leadWidth;  // 0: PackBitFields
    Bytes after;
  };
  const Case cases[] = {
      {{0xFF, 0xFF}, 2, {0}, 0, {0xC7, 0xFF}},
      {{0x00, 0x00}, 0, {3, 5}, 2, {0xE8, 0x00}},
      {{0x00, 0x00}, 7, {7}, 0, {0x01, 0xC0}},
      {{0xFF, 0xFF}, 7, {0}, 0, {0xFE, 0x3F}},
      {{0x00, 0x00}, 0, {0xFF, 0xFF}, 1, {0xF0, 0x00}},   // values keep their low bits only
      {{0x00, 0x00}, 6, {1, 2}, 9, {0x00, 0xA0}},         // a width outside 1..3 is 3
      {{0x00, 0x00}, 6, {1, 2}, 0, {0x00, 0xA0}},
      {{0x5A, 0x5A}, 0, {7, 7}, 0, {0x5A, 0x5A}},         // count 0 below writes nothing
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    Bytes bytes = c.before;
    const int count = i + 1 == std::size(cases) ? 0 : static_cast<int>(c.values.size());
    if (c.leadWidth == 0) {
      PackBitFields(bytes.data(), c.startBit, c.values.data(), count);
    } else {
      PackBitField(bytes.data(), c.startBit, c.values.data(), count, c.leadWidth);
    }
    EXPECT_EQ(bytes, c.after) << "case " << i;
  }
  Bytes untouched{0x5A, 0x5A};
  PackBitFields(untouched.data(), 0, untouched.data(), -3);
  PackBitField(untouched.data(), 0, untouched.data(), -3, 2);
  EXPECT_EQ(untouched, (Bytes{0x5A, 0x5A}));
}

// Every start bit and every lead width against a bit-by-bit model, on random backgrounds; the
// strings are sized exactly, so a read or write past the last field shows under the sanitizer.
TEST(BitFields, RoundTripAtEveryStartBitMatchesBitModel) {
  std::mt19937 random(20261210);
  for (int startBit = 0; startBit < 8; ++startBit) {
    for (int leadWidth = 0; leadWidth <= 3; ++leadWidth) {
      for (int count = 1; count <= 16; ++count) {
        const int lead = leadWidth == 0 ? 3 : leadWidth;
        const int totalBits = startBit + lead + 3 * (count - 1);
        const std::size_t size = static_cast<std::size_t>((totalBits + 7) / 8);
        Bytes values(count);
        for (auto& v : values) v = static_cast<std::uint8_t>(random());
        Bytes background(size);
        for (auto& b : background) b = static_cast<std::uint8_t>(random());

        auto packed = std::make_unique<std::uint8_t[]>(size);
        std::copy(background.begin(), background.end(), packed.get());
        if (leadWidth == 0) {
          PackBitFields(packed.get(), startBit, values.data(), count);
        } else {
          PackBitField(packed.get(), startBit, values.data(), count, leadWidth);
        }
        const Bytes result(packed.get(), packed.get() + size);

        Bytes model = background;
        int p = startBit;
        for (int i = 0; i < count; ++i) {
          const int width = i == 0 ? lead : 3;
          for (int j = 0; j < width; ++j, ++p) {
            const std::uint8_t mask = static_cast<std::uint8_t>(0x80 >> (p % 8));
            model[p / 8] = ((values[i] >> (width - 1 - j)) & 1) ? model[p / 8] | mask : model[p / 8] & ~mask;
          }
        }
        ASSERT_EQ(result, model) << "start " << startBit << " lead " << leadWidth << " count " << count;

        if (leadWidth == 0) {
          Bytes unpacked(count);
          UnpackBitFields(packed.get(), startBit, count, unpacked.data());
          for (int i = 0; i < count; ++i) {
            ASSERT_EQ(unpacked[i], values[i] & 7) << "start " << startBit << " field " << i;
            ASSERT_EQ(ReadBits(packed.get(), startBit + 3 * i), values[i] & 7);
          }
        }
      }
    }
  }
}

TEST(BitFields, WriteBitsStaysInsideTheSymbolArea) {
  struct Case {
    int offset;
    int width;
    std::uint8_t value;
    int result;
    Bytes area;
  };
  const Bytes zero(6, 0);
  const Case cases[] = {
      {45, 3, 0x05, 1, {0, 0, 0, 0, 0, 0x05}},
      {46, 3, 0x07, 0, zero},
      {0, 8, 0xA5, 1, {0xA5, 0, 0, 0, 0, 0}},
      {4, 8, 0xFF, 1, {0x0F, 0xF0, 0, 0, 0, 0}},
      {40, 1, 0x03, 1, {0, 0, 0, 0, 0, 0x80}},
      {-1, 3, 0x07, 0, zero},
      {0, 0, 0xFF, 1, zero},
      {0, 49, 0xFF, 0, zero},
      {0, 12, 0xFF, 1, {0x0F, 0xF0, 0, 0, 0, 0}},  // bits above the byte are zero
  };
  for (const Case& c : cases) {
    auto area = std::make_unique<std::uint8_t[]>(6);
    EXPECT_EQ(WriteBits(area.get(), c.offset, c.width, c.value), c.result) << c.offset << "/" << c.width;
    EXPECT_EQ(Bytes(area.get(), area.get() + 6), c.area) << c.offset << "/" << c.width;
  }
  Bytes ones(6, 0xFF);
  EXPECT_EQ(WriteBits(ones.data(), 10, 3, 0), 1);
  EXPECT_EQ(ones, (Bytes{0xFF, 0xC7, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(BitAt(ones, 9), 1);

  auto last = std::make_unique<std::uint8_t[]>(6);
  last[5] = 0x06;
  EXPECT_EQ(ReadBits(last.get(), 45), 6);
}

}  // namespace
