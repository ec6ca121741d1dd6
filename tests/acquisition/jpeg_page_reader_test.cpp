// JPEG files to packed bitmaps, through the real libjpeg on files the tests write.

#include <gtest/gtest.h>

#include <cstdlib>

#include "bmp_bytes.h"
#include "dib_view.h"
#include "halvo_pic.h"
#include "jpeg_page_reader.h"
#include "jpeg_writer.h"

namespace {

using orla::test::DibView;
using orla::test::EncodeJpeg;
using orla::test::FlatSamples;
using orla::test::FreeOnExit;
using orla::test::JpegKind;
using orla::test::JpegSpec;
using orla::test::TempFile;

JpegSpec Flat(JpegKind kind, int width, int height, std::vector<std::uint8_t> pixel) {
  JpegSpec spec;
  spec.kind = kind;
  spec.width = width;
  spec.height = height;
  spec.samples = FlatSamples(spec, std::move(pixel));
  return spec;
}

PackedDib LoadBytes(const std::vector<std::uint8_t>& bytes) {
  TempFile file(bytes, ".jpg");
  return LoadJpegFileAsDib(file.path().c_str());
}

void ExpectNear(const std::uint8_t* bytes, std::vector<int> expected, int tolerance) {
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(bytes[i], expected[i], tolerance) << "byte " << i;
  }
}

struct GeometryCase {
  JpegKind kind;
  bool progressive;
  int width, height;
  int bitCount;
  std::int64_t stride;
  std::size_t blockSize;
};

TEST(JpegPageReader, LaysOutEachKindOfFile) {
  const GeometryCase cases[] = {
      {JpegKind::Grey, false, 101, 10, 8, 104, 104 * 10 + 40 + 1024},
      {JpegKind::Grey, true, 101, 10, 8, 104, 104 * 10 + 40 + 1024},
      {JpegKind::Rgb, false, 3, 1, 24, 12, 12 + 40},
      {JpegKind::Rgb, true, 5, 2, 24, 16, 16 * 2 + 40},
      // CMYK and YCCK come as colour pages, three bytes per pixel.
      {JpegKind::Cmyk, false, 5, 2, 24, 16, 16 * 2 + 40},
      {JpegKind::Ycck, false, 7, 3, 24, 24, 24 * 3 + 40},
  };
  for (const GeometryCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << static_cast<int>(c.kind) << " " << c.width << "x" << c.height);
    JpegSpec spec = Flat(c.kind, c.width, c.height, std::vector<std::uint8_t>(orla::test::JpegComponents(c.kind), 90));
    spec.progressive = c.progressive;
    const std::size_t before = orla::LiveBlockCount();
    FreeOnExit dib{LoadBytes(EncodeJpeg(spec))};
    ASSERT_NE(dib.block, nullptr);
    EXPECT_EQ(orla::LiveBlockCount(), before + 1);
    DibView view(dib.block);
    const BmpInfoHeader h = view.header();
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, c.width);
    EXPECT_EQ(h.biHeight, c.height);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, c.bitCount);
    EXPECT_EQ(h.biCompression, 0u);
    EXPECT_EQ(h.biSizeImage, c.blockSize);
    EXPECT_EQ(h.biClrUsed, 0u);
    EXPECT_EQ(view.blockSize(), c.blockSize);
    EXPECT_EQ(view.stride(), c.stride);
    if (c.bitCount == 8) {
      EXPECT_TRUE(view.hasGreyPalette());
    }
  }
}

TEST(JpegPageReader, StoresTheTopLineLastAndColoursAsBlueGreenRed) {
  // Two 8-line bands keep the blocks flat, so quality 100 gives the samples back closely.
  JpegSpec grey;
  grey.width = 8;
  grey.height = 16;
  for (int y = 0; y < 16; ++y) grey.samples.insert(grey.samples.end(), 8, y < 8 ? 40 : 200);
  FreeOnExit greyDib{LoadBytes(EncodeJpeg(grey))};
  ASSERT_NE(greyDib.block, nullptr);
  DibView greyView(greyDib.block);
  EXPECT_NEAR(greyView.storedRow(0)[0], 200, 1);  // the bottom line comes first
  EXPECT_NEAR(greyView.storedRow(15)[7], 40, 1);

  FreeOnExit rgbDib{LoadBytes(EncodeJpeg(Flat(JpegKind::Rgb, 3, 1, {200, 100, 50})))};
  ASSERT_NE(rgbDib.block, nullptr);
  DibView rgbView(rgbDib.block);
  ExpectNear(rgbView.storedRow(0), {50, 100, 200, 50, 100, 200, 50, 100, 200}, 2);
}

struct CmykCase {
  const char* what;
  JpegKind kind;
  bool adobe;
  std::vector<std::uint8_t> stored;
  std::vector<int> bgr;
};

TEST(JpegPageReader, ConvertsCmykToColour) {
  const CmykCase cases[] = {
      // With the Adobe marker the inks are stored inverted: 255 is no ink.
      {"inverted paper", JpegKind::Cmyk, true, {255, 255, 255, 255}, {255, 255, 255}},
      {"inverted black", JpegKind::Cmyk, true, {255, 255, 255, 0}, {0, 0, 0}},
      {"inverted cyan", JpegKind::Cmyk, true, {0, 255, 255, 255}, {255, 255, 0}},
      {"inverted half grey", JpegKind::Cmyk, true, {255, 255, 255, 128}, {128, 128, 128}},
      {"inverted yellow", JpegKind::Ycck, true, {255, 255, 0, 255}, {0, 255, 255}},
      {"plain paper", JpegKind::Cmyk, false, {0, 0, 0, 0}, {255, 255, 255}},
      {"plain magenta", JpegKind::Cmyk, false, {0, 255, 0, 0}, {255, 0, 255}},
      {"plain black", JpegKind::Cmyk, false, {0, 0, 0, 255}, {0, 0, 0}},
  };
  for (const CmykCase& c : cases) {
    SCOPED_TRACE(c.what);
    JpegSpec spec = Flat(c.kind, 8, 8, c.stored);
    spec.writeAdobe = c.adobe;
    FreeOnExit dib{LoadBytes(EncodeJpeg(spec))};
    ASSERT_NE(dib.block, nullptr);
    DibView view(dib.block);
    EXPECT_EQ(view.header().biBitCount, 24);
    ExpectNear(view.storedRow(3) + 3 * 4, c.bgr, 3);
  }
}

struct DensityCase {
  bool jfif;
  std::uint8_t unit;
  std::uint16_t x, y;
  std::int32_t xPpm, yPpm;
  std::int32_t dpiX;  // as the raster image reads it back
};

TEST(JpegPageReader, StatesTheJfifDensityInPixelsPerMetre) {
  const DensityCase cases[] = {
      {true, 1, 300, 300, 11811, 11811, 300}, {true, 1, 300, 600, 11811, 23622, 300},
      {true, 2, 118, 118, 11800, 11800, 300}, {true, 0, 1, 1, 39, 39, 200},
      {true, 1, 96, 96, 3779, 3779, 200},     {false, 0, 0, 0, 39, 39, 200},
  };
  for (const DensityCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "unit " << int{c.unit} << " density " << c.x << "," << c.y);
    JpegSpec spec = Flat(JpegKind::Grey, 16, 8, {128});
    spec.writeJfif = c.jfif;
    spec.densityUnit = c.unit;
    spec.xDensity = c.x;
    spec.yDensity = c.y;
    FreeOnExit dib{LoadBytes(EncodeJpeg(spec))};
    ASSERT_NE(dib.block, nullptr);
    DibView view(dib.block);
    EXPECT_EQ(view.header().biXPelsPerMeter, c.xPpm);
    EXPECT_EQ(view.header().biYPelsPerMeter, c.yPpm);
    CHalvoPic pic;
    ASSERT_EQ(pic.LoadFromDib(dib.block), 1);
    EXPECT_EQ(pic.dpiX, c.dpiX);
  }
}

// A JPEG whose end-of-image marker is replaced by a marker segment of impossible length:
// libjpeg fails fatally in its last step, after every line was decoded.
std::vector<std::uint8_t> WithBadFinalMarker(std::vector<std::uint8_t> bytes) {
  bytes.erase(bytes.end() - 2, bytes.end());  // the end-of-image marker
  bytes.insert(bytes.end(), {0xFF, 0xDB, 0x00, 0x01});
  return bytes;
}

// The same file with other sides written into its frame header.
std::vector<std::uint8_t> WithSides(std::vector<std::uint8_t> bytes, std::uint16_t width, std::uint16_t height) {
  for (std::size_t i = 0; i + 8 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
      bytes[i + 5] = static_cast<std::uint8_t>(height >> 8);
      bytes[i + 6] = static_cast<std::uint8_t>(height);
      bytes[i + 7] = static_cast<std::uint8_t>(width >> 8);
      bytes[i + 8] = static_cast<std::uint8_t>(width);
      break;
    }
  }
  return bytes;
}

TEST(JpegPageReader, ReturnsNothingOrWhatWasDecodedOnFailure) {
  const std::vector<std::uint8_t> good = EncodeJpeg(Flat(JpegKind::Grey, 16, 16, {77}));
  // A busy picture, so that most of the file is entropy-coded data.
  JpegSpec busy;
  busy.width = busy.height = 16;
  for (int i = 0; i < 256; ++i) busy.samples.push_back(static_cast<std::uint8_t>((i * 37) % 251));
  const std::vector<std::uint8_t> busyBytes = EncodeJpeg(busy);
  std::vector<std::uint8_t> truncated(busyBytes.begin(), busyBytes.end() - static_cast<std::ptrdiff_t>(busyBytes.size() / 5));
  std::vector<std::uint8_t> headerOnly(good.begin(), good.begin() + 20);
  std::vector<std::uint8_t> garbage = {0xFF, 0xD8, 0x12, 0x34, 0x56, 0x78, 0x9A};
  JpegSpec two = Flat(JpegKind::TwoComponents, 8, 8, {10, 20});

  struct Case {
    const char* what;
    std::vector<std::uint8_t> bytes;
    bool givesBitmap;
  };
  const Case cases[] = {
      {"empty file", {}, false},
      {"garbage after the start marker", garbage, false},
      {"header cut short", headerOnly, false},
      {"two components", EncodeJpeg(two), false},
      // 65000 x 65000 grey pixels would take more than a page may.
      {"too large", WithSides(good, 65000, 65000), false},
      // libjpeg only warns about missing data and fills it in.
      {"data cut short", truncated, true},
      {"fatal error after the last line", WithBadFinalMarker(good), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::size_t before = orla::LiveBlockCount();
    PackedDib dib = LoadBytes(c.bytes);
    EXPECT_EQ(dib != nullptr, c.givesBitmap);
    EXPECT_EQ(orla::LiveBlockCount(), before + (dib != nullptr ? 1 : 0));
    if (dib != nullptr) {
      // The block came back unlocked and whole: the raster image can load it.
      CHalvoPic pic;
      EXPECT_EQ(pic.LoadFromDib(dib), 1);
      EXPECT_EQ(pic.width, 16);
    }
    orla::FreeBlock(dib);
  }
  EXPECT_EQ(LoadJpegFileAsDib("/nonexistent/page.jpg"), nullptr);
  EXPECT_EQ(LoadJpegFileAsDib(nullptr), nullptr);
}

TEST(JpegPageReader, FatalErrorAfterTheLastLineKeepsTheDecodedPixels) {
  FreeOnExit dib{LoadBytes(WithBadFinalMarker(EncodeJpeg(Flat(JpegKind::Grey, 16, 16, {77}))))};
  ASSERT_NE(dib.block, nullptr);
  DibView view(dib.block);
  EXPECT_NEAR(view.storedRow(0)[0], 77, 1);
  EXPECT_NEAR(view.storedRow(15)[15], 77, 1);
}

TEST(JpegPageReader, HandsPagesOverToTheRasterImage) {
  JpegSpec grey;
  grey.width = 8;
  grey.height = 16;
  for (int y = 0; y < 16; ++y) grey.samples.insert(grey.samples.end(), 8, y < 8 ? 0 : 255);
  FreeOnExit greyDib{LoadBytes(EncodeJpeg(grey))};
  CHalvoPic greyPic;
  ASSERT_EQ(greyPic.LoadFromDib(greyDib.block), 1);
  EXPECT_EQ(greyPic.bitsPerPixel, 8);
  EXPECT_TRUE(greyPic.IsGreyPage());
  EXPECT_EQ(greyPic.dpiX, 300);
  EXPECT_NEAR(greyPic.rows[0][0], 0, 1);  // the top line
  EXPECT_NEAR(greyPic.rows[15][0], 255, 1);

  FreeOnExit rgbDib{LoadBytes(EncodeJpeg(Flat(JpegKind::Rgb, 8, 8, {255, 0, 0})))};
  CHalvoPic rgbPic;
  ASSERT_EQ(rgbPic.LoadFromDib(rgbDib.block), 1);
  EXPECT_EQ(rgbPic.bitsPerPixel, 24);
  CHalvoPic page;
  ASSERT_EQ(rgbPic.ConvertTo8Bit(page), 1);
  EXPECT_NEAR(page.rows[4][4], 76, 2);  // pure red
}

}  // namespace
