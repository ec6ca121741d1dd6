// The grey conversion: weights, rounding and every bit count.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "bmp_bytes.h"
#include "halvo_pic.h"
#include "message_sink.h"

namespace {

// A one-row page holding the given row bytes at the given bit count.
std::unique_ptr<CHalvoPic> OneRowPage(std::uint16_t bitCount, std::int32_t width, std::vector<std::uint8_t> bytes,
                     std::vector<RgbQuad> palette = {}, std::uint32_t compression = 0) {
  orla::test::BmpSpec spec;
  spec.width = width;
  spec.height = 1;
  spec.bitCount = bitCount;
  spec.compression = compression;
  spec.palette = std::move(palette);
  if (bitCount <= 8 && spec.palette.size() != (std::size_t{1} << bitCount)) {
    spec.clrUsed = static_cast<std::uint32_t>(spec.palette.size());
  }
  // A bit-field page carries its masks after the header; the 16-bit ones here are 5-6-5.
  if (compression == kBmpBitFields) spec.gap = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0x00, 0, 0};
  bytes.resize(static_cast<std::size_t>(orla::test::Stride(bitCount, width)), 0);
  spec.rows.push_back(bytes);
  PackedDib dib = orla::test::BuildPackedDib(spec);
  auto pic = std::make_unique<CHalvoPic>();
  EXPECT_EQ(pic->LoadFromDib(dib), 1);
  orla::FreeBlock(dib);
  return pic;
}

std::vector<int> Greys(const std::unique_ptr<CHalvoPic>& page) {
  CHalvoPic grey;
  EXPECT_EQ(page->ConvertTo8Bit(grey), 1);
  std::vector<int> out;
  for (int x = 0; x < grey.width; ++x) out.push_back(grey.rows[0][static_cast<std::size_t>(x)]);
  return out;
}

class CapturedMessages {
 public:
  CapturedMessages() {
    previous_ = orla::SetMessageSink([this](const std::string& text) { texts.push_back(text); });
  }
  ~CapturedMessages() { orla::SetMessageSink(previous_); }
  std::vector<std::string> texts;

 private:
  orla::MessageSink previous_;
};

TEST(GreyConversion, TrueColourWeights) {
  // Pixels are blue, green, red.
  const std::vector<std::uint8_t> pixels = {255, 255, 255, 0, 0, 0, 0, 0, 255, 0, 255, 0, 255, 0, 0};
  EXPECT_EQ(Greys(OneRowPage(24, 5, pixels)), (std::vector<int>{255, 0, 76, 149, 29}));

  std::vector<std::uint8_t> padded;
  for (std::size_t i = 0; i < pixels.size(); i += 3) {
    padded.insert(padded.end(), {pixels[i], pixels[i + 1], pixels[i + 2], 0xEE});
  }
  EXPECT_EQ(Greys(OneRowPage(32, 5, padded)), (std::vector<int>{255, 0, 76, 149, 29}));
}

TEST(GreyConversion, SingleStepsDropThreeGreysByOne) {
  std::vector<std::uint8_t> sweep;
  for (int v = 0; v < 256; ++v) sweep.insert(sweep.end(), 3, static_cast<std::uint8_t>(v));
  const std::vector<int> greys = Greys(OneRowPage(24, 256, sweep));
  for (int v = 0; v < 256; ++v) {
    const bool lower = v == 101 || v == 183 || v == 202;
    EXPECT_EQ(greys[static_cast<std::size_t>(v)], lower ? v - 1 : v) << v;
  }
}

TEST(GreyConversion, HighColourLayouts) {
  const std::vector<std::uint8_t> white555 = {0xFF, 0x7F};
  EXPECT_EQ(Greys(OneRowPage(16, 1, white555)), std::vector<int>{248});
  const std::vector<std::uint8_t> white565 = {0xFF, 0xFF};
  EXPECT_EQ(Greys(OneRowPage(16, 1, white565, {}, kBmpBitFields)), std::vector<int>{250});
  // Pure green in each layout: 5 bits give 0xF8, 6 bits 0xFC.
  EXPECT_EQ(Greys(OneRowPage(16, 1, {0xE0, 0x03})), std::vector<int>{static_cast<int>(0xF8 * 0.587)});
  EXPECT_EQ(Greys(OneRowPage(16, 1, {0xE0, 0x07}, {}, kBmpBitFields)), std::vector<int>{static_cast<int>(0xFC * 0.587)});
}

TEST(GreyConversion, PaletteImagesRoundToTheNearestGrey) {
  const std::vector<RgbQuad> blackWhite = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  EXPECT_EQ(Greys(OneRowPage(1, 10, {0b10110000, 0b01000000}, blackWhite)),
            (std::vector<int>{255, 0, 255, 255, 0, 0, 0, 0, 0, 255}));

  std::vector<RgbQuad> ramp = orla::test::GreyRamp(256);
  std::vector<std::uint8_t> indices;
  for (int v = 0; v < 256; ++v) indices.push_back(static_cast<std::uint8_t>(v));
  const std::vector<int> greys = Greys(OneRowPage(8, 256, indices, ramp));
  for (int v = 0; v < 256; ++v) EXPECT_EQ(greys[static_cast<std::size_t>(v)], v);

  // Colour palette: pure red entry rounds 76.245 to 76, pure green 149.685 to 150.
  const std::vector<RgbQuad> colours = {{0, 0, 255, 0}, {0, 255, 0, 0}};
  EXPECT_EQ(Greys(OneRowPage(8, 2, {0, 1}, colours)), (std::vector<int>{76, 150}));

  // 4 bits: the high nibble is the left pixel.
  EXPECT_EQ(Greys(OneRowPage(4, 3, {0xF0, 0x80}, orla::test::GreyRamp(16))), (std::vector<int>{255, 0, 136}));
}

TEST(GreyConversion, OnlyTheIdentityRampCountsAsGrey) {
  EXPECT_TRUE(OneRowPage(8, 2, {0, 1}, orla::test::GreyRamp(256))->IsGreyPage());
  EXPECT_FALSE(OneRowPage(8, 2, {0, 1}, {{0, 0, 255, 0}, {0, 255, 0, 0}})->IsGreyPage());
  EXPECT_FALSE(OneRowPage(24, 1, {1, 2, 3})->IsGreyPage());
}

TEST(GreyConversion, UnsupportedBitCountLeavesAWhitePage) {
  CapturedMessages messages;
  auto page = OneRowPage(2, 7, {0x00, 0x00}, orla::test::GreyRamp(4));
  page->dpiX = 123;
  CHalvoPic grey;
  EXPECT_EQ(page->ConvertTo8Bit(grey), 0);
  ASSERT_EQ(messages.texts.size(), 1u);
  EXPECT_EQ(messages.texts[0], "Not support 2 bitcount image");
  EXPECT_EQ(grey.width, 7);
  EXPECT_EQ(grey.dpiX, 123);
  for (int x = 0; x < 7; ++x) EXPECT_EQ(grey.rows[0][static_cast<std::size_t>(x)], 255);
}

TEST(GreyConversion, PageWithoutRowsWritesNothing) {
  auto page = OneRowPage(24, 1, {1, 2, 3});
  page->Free();
  CHalvoPic grey;
  grey.pageNumber = 4;
  EXPECT_EQ(page->ConvertTo8Bit(grey), 0);
  EXPECT_TRUE(grey.rows.empty());
  EXPECT_EQ(grey.width, 0);
}

TEST(GreyConversion, KeepsTheSourceAndTheDestinationsPageFields) {
  auto page = OneRowPage(24, 2, {10, 20, 30, 40, 50, 60});
  CHalvoPic grey;
  grey.pageNumber = 3;
  ASSERT_EQ(page->ConvertTo8Bit(grey), 1);
  EXPECT_EQ(grey.pageNumber, 3);
  EXPECT_EQ(grey.bitsPerPixel, 8);
  EXPECT_EQ(page->bitsPerPixel, 24);
  EXPECT_EQ(page->rows[0][0], 10);
}

TEST(GreyConversion, PaddingAndMissingRowsAreWhiteAlsoInAReusedBlock) {
  // The copy's rows are written whole, padding included, so a destination that keeps a block
  // of the same size from an earlier page shows nothing of that page.
  orla::test::BmpSpec spec;
  spec.width = 5;
  spec.height = 3;
  spec.bitCount = 24;
  for (int y = 0; y < 3; ++y) spec.rows.push_back(std::vector<std::uint8_t>(16, 0));
  PackedDib dib = orla::test::BuildPackedDib(spec);
  CHalvoPic page;
  ASSERT_EQ(page.LoadFromDib(dib), 1);
  orla::FreeBlock(dib);
  page.rows[1].reset();  // a row the page lacks

  CHalvoPic grey;
  ASSERT_EQ(grey.CreateBlank8(5, 3), 1);
  for (auto& row : grey.rows) std::fill(row.get(), row.get() + grey.stride, std::uint8_t{7});
  ASSERT_EQ(page.ConvertTo8Bit(grey), 1);
  ASSERT_EQ(grey.stride, 8);
  const std::vector<int> black = {0, 0, 0, 0, 0, 255, 255, 255};
  const std::vector<int> white(8, 255);
  for (int y = 0; y < 3; ++y) {
    const std::vector<int> row(grey.rows[static_cast<std::size_t>(y)].get(),
                               grey.rows[static_cast<std::size_t>(y)].get() + 8);
    EXPECT_EQ(row, y == 1 ? white : black) << "row " << y;
  }
}

}  // namespace
