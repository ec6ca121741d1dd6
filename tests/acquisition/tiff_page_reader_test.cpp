// TIFF pages to packed bitmaps, through the real libtiff on files the tests write.

#include <gtest/gtest.h>

#include <tiffio.h>

#include "bmp_bytes.h"
#include "dib_view.h"
#include "halvo_pic.h"
#include "tiff_page_reader.h"
#include "tiff_writer.h"

namespace {

using orla::test::BuildRawTiff;
using orla::test::BuildTiff;
using orla::test::DibView;
using orla::test::FreeOnExit;
using orla::test::GreyTiffPage;
using orla::test::RawGreyDirectory;
using orla::test::TempFile;
using orla::test::TiffPageSpec;

TiffPageSpec Page(std::uint16_t samples, std::uint16_t bits, std::uint16_t photometric, std::vector<std::uint8_t> data,
                  std::uint32_t width = 1) {
  TiffPageSpec page;
  page.width = width;
  page.length = 1;
  page.samplesPerPixel = samples;
  page.bitsPerSample = bits;
  page.photometric = photometric;
  page.data = std::move(data);
  return page;
}

TEST(TiffPageList, ListsUsableDirectoriesInOrder) {
  TiffPageSpec bilevel = Page(1, 1, PHOTOMETRIC_MINISWHITE, {0x00, 0x00}, 9);
  TiffPageSpec colour = Page(3, 8, PHOTOMETRIC_RGB, {1, 2, 3});
  TempFile three(BuildTiff({GreyTiffPage(5, 3), bilevel, colour}), ".tif");
  std::vector<TiffPageInfo> pages;
  ASSERT_EQ(ListTiffPages(pages, three.path().c_str()), 3);
  const TiffPageInfo expected[] = {{5, 3, 0, 8, "image0"}, {9, 1, 1, 1, "image1"}, {1, 1, 2, 8, "image2"}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(pages[i].width, expected[i].width);
    EXPECT_EQ(pages[i].length, expected[i].length);
    EXPECT_EQ(pages[i].directoryIndex, expected[i].directoryIndex);
    EXPECT_EQ(pages[i].bitsPerSample, expected[i].bitsPerSample);
    EXPECT_EQ(pages[i].name, expected[i].name);
  }

  struct Case {
    const char* what;
    std::vector<orla::test::RawTiffDirectory> directories;
    std::vector<std::int32_t> listed;
  };
  orla::test::RawTiffDirectory noBits = RawGreyDirectory(4, 2);
  std::erase_if(noBits.entries, [](const orla::test::RawTiffEntry& e) { return e.tag == 258; });
  const Case cases[] = {
      {"second page of length 0", {RawGreyDirectory(4, 2), RawGreyDirectory(4, 0)}, {0}},
      // libtiff cannot select a directory without ImageLength; the list skips it.
      {"middle page without a length", {RawGreyDirectory(4, 2), RawGreyDirectory(4, 2, false), RawGreyDirectory(3, 3)}, {0, 2}},
      {"width 0", {RawGreyDirectory(2, 2), RawGreyDirectory(0, 2), RawGreyDirectory(3, 1)}, {0, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFile file(BuildRawTiff(c.directories), ".tif");
    std::vector<TiffPageInfo> list;
    EXPECT_EQ(ListTiffPages(list, file.path().c_str()), static_cast<int>(c.listed.size()));
    ASSERT_EQ(list.size(), c.listed.size());
    for (std::size_t i = 0; i < list.size(); ++i) EXPECT_EQ(list[i].directoryIndex, c.listed[i]);
  }
  {
    // BitsPerSample absent: listed with 0.
    TempFile file(BuildRawTiff({noBits}), ".tif");
    std::vector<TiffPageInfo> list;
    ASSERT_EQ(ListTiffPages(list, file.path().c_str()), 1);
    EXPECT_EQ(list[0].bitsPerSample, 0);
  }
  // The list is appended to, never emptied, and untouched when the file cannot be opened.
  std::vector<TiffPageInfo> kept(2);
  EXPECT_EQ(ListTiffPages(kept, "/nonexistent/page.tif"), 0);
  EXPECT_EQ(kept.size(), 2u);
  EXPECT_EQ(ListTiffPages(kept, three.path().c_str()), 3);
  EXPECT_EQ(kept.size(), 5u);
}

TEST(TiffPageReader, LaysOutRowsBottomUpAtTwentyFourBits) {
  TempFile file(BuildTiff({GreyTiffPage(5, 3, 10), GreyTiffPage(2, 7, 50)}), ".tif");
  const std::size_t before = orla::LiveBlockCount();
  FreeOnExit first{LoadTiffPageAsDib(file.path().c_str(), 0)};
  FreeOnExit second{LoadTiffPageAsDib(file.path().c_str(), 1)};
  ASSERT_NE(first.block, nullptr);
  ASSERT_NE(second.block, nullptr);
  EXPECT_EQ(orla::LiveBlockCount(), before + 2);
  DibView view(first.block);
  const BmpInfoHeader h = view.header();
  EXPECT_EQ(h.biWidth, 5);
  EXPECT_EQ(h.biHeight, 3);
  EXPECT_EQ(h.biBitCount, 24);
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(h.biSizeImage, 16u * 3 + 40);
  EXPECT_EQ(view.blockSize(), 16u * 3 + 40);
  EXPECT_EQ(view.paletteBytes(), 0u);
  EXPECT_EQ(view.storedRow(0)[0], 12);  // the bottom line is stored first
  EXPECT_EQ(view.storedRow(2)[14], 10);
  EXPECT_EQ(view.storedRow(0)[15], 0);  // padding
  DibView other(second.block);
  EXPECT_EQ(other.header().biHeight, 7);
  EXPECT_EQ(other.pageRow(0)[0], 50);
}

struct PixelCase {
  const char* what;
  TiffPageSpec page;
  std::vector<int> bgr;  // of the first pixel
  int tolerance;
};

TEST(TiffPageReader, ConvertsEachKindOfPixelToBlueGreenRedOverWhite) {
  TiffPageSpec palette = Page(1, 8, PHOTOMETRIC_PALETTE, {1});
  palette.red.assign(256, 0);
  palette.green.assign(256, 0);
  palette.blue.assign(256, 0);
  palette.red[1] = 0xFFFF;
  palette.blue[1] = 0x8080;
  TiffPageSpec associated = Page(4, 8, PHOTOMETRIC_RGB, {128, 0, 0, 128});
  associated.extraSample = EXTRASAMPLE_ASSOCALPHA;
  TiffPageSpec clear = Page(4, 8, PHOTOMETRIC_RGB, {0, 0, 0, 0});
  clear.extraSample = EXTRASAMPLE_ASSOCALPHA;
  TiffPageSpec unassociated = Page(4, 8, PHOTOMETRIC_RGB, {255, 0, 0, 128});
  unassociated.extraSample = EXTRASAMPLE_UNASSALPHA;
  TiffPageSpec opaque = Page(4, 8, PHOTOMETRIC_RGB, {255, 255, 255, 255});
  opaque.extraSample = EXTRASAMPLE_ASSOCALPHA;
  TiffPageSpec lzw = Page(3, 8, PHOTOMETRIC_RGB, {9, 99, 199});
  lzw.compression = COMPRESSION_LZW;
  TiffPageSpec deflate = Page(1, 8, PHOTOMETRIC_MINISBLACK, {77});
  deflate.compression = COMPRESSION_ADOBE_DEFLATE;

  const PixelCase cases[] = {
      {"opaque white grey", Page(1, 8, PHOTOMETRIC_MINISBLACK, {255}), {255, 255, 255}, 0},
      {"grey", Page(1, 8, PHOTOMETRIC_MINISBLACK, {100}), {100, 100, 100}, 0},
      {"16-bit white", Page(1, 16, PHOTOMETRIC_MINISBLACK, {0xFF, 0xFF}), {255, 255, 255}, 0},
      {"1-bit, 0 is white", Page(1, 1, PHOTOMETRIC_MINISWHITE, {0x80}), {0, 0, 0}, 0},
      {"1-bit, 1 is white", Page(1, 1, PHOTOMETRIC_MINISBLACK, {0x80}), {255, 255, 255}, 0},
      {"rgb", Page(3, 8, PHOTOMETRIC_RGB, {200, 100, 50}), {50, 100, 200}, 0},
      {"opaque white with alpha", opaque, {255, 255, 255}, 0},
      {"palette", palette, {0x80, 0, 255}, 0},
      {"half red, associated alpha", associated, {127, 127, 255}, 0},
      {"half red, unassociated alpha", unassociated, {127, 127, 255}, 1},
      {"fully transparent", clear, {255, 255, 255}, 0},
      {"LZW", lzw, {199, 99, 9}, 0},
      {"Deflate", deflate, {77, 77, 77}, 0},
  };
  for (const PixelCase& c : cases) {
    SCOPED_TRACE(c.what);
    TempFile file(BuildTiff({c.page}), ".tif");
    FreeOnExit dib{LoadTiffPageAsDib(file.path().c_str(), 0)};
    ASSERT_NE(dib.block, nullptr);
    DibView view(dib.block);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(view.storedRow(0)[i], c.bgr[i], c.tolerance) << "byte " << i;
  }
}

TEST(TiffPageReader, PremultiplyAndSwapRBLaysPixelsOverWhitePaper) {
  struct Case {
    std::uint8_t rgba[4];
    std::uint8_t bgra[4];
  };
  const Case cases[] = {
      {{255, 255, 255, 255}, {255, 255, 255, 255}}, {{0, 0, 0, 255}, {0, 0, 0, 255}},
      {{10, 20, 30, 255}, {30, 20, 10, 255}},       {{0, 0, 0, 0}, {255, 255, 255, 0}},
      {{100, 0, 50, 100}, {205, 155, 255, 100}},    {{200, 0, 0, 100}, {155, 155, 255, 100}},
  };
  for (const Case& c : cases) {
    std::uint32_t pixel;
    std::memcpy(&pixel, c.rgba, 4);
    PremultiplyAndSwapRB(&pixel, 1, 1);
    std::uint8_t out[4];
    std::memcpy(out, &pixel, 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(out[i], c.bgra[i]) << int{c.rgba[0]} << "," << int{c.rgba[3]} << " byte " << i;
  }
}

struct ResolutionCase {
  std::optional<float> x, y;
  std::optional<std::uint16_t> unit;
  std::int32_t xPpm, yPpm;
  std::int32_t dpiX;  // as the raster image reads it back
};

TEST(TiffPageReader, StatesTheResolutionInPixelsPerMetre) {
  const ResolutionCase cases[] = {
      {300.0f, 300.0f, RESUNIT_INCH, 11800, 11800, 300},
      {600.0f, 600.0f, std::nullopt, 23600, 23600, 600},
      {200.0f, 200.0f, RESUNIT_INCH, 7800, 7800, 199},
      {118.0f, 118.0f, RESUNIT_CENTIMETER, 11800, 11800, 300},
      {299.6f, 300.4f, RESUNIT_INCH, 11800, 11800, 300},
      {std::nullopt, std::nullopt, std::nullopt, 0, 0, 200},
      {72.0f, 72.0f, RESUNIT_NONE, 7200, 7200, 183},
      {3.0e9f, 3.0e9f, RESUNIT_CENTIMETER, 0, 0, 200},  // no page has that
  };
  for (const ResolutionCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "x " << c.x.value_or(-1) << " unit " << c.unit.value_or(0));
    TiffPageSpec page = GreyTiffPage(4, 4);
    page.xResolution = c.x;
    page.yResolution = c.y;
    page.resolutionUnit = c.unit;
    TempFile file(BuildTiff({page}), ".tif");
    FreeOnExit dib{LoadTiffPageAsDib(file.path().c_str(), 0)};
    ASSERT_NE(dib.block, nullptr);
    DibView view(dib.block);
    EXPECT_EQ(view.header().biXPelsPerMeter, c.xPpm);
    EXPECT_EQ(view.header().biYPelsPerMeter, c.yPpm);
    CHalvoPic pic;
    ASSERT_EQ(pic.LoadFromDib(dib.block), 1);
    EXPECT_EQ(pic.dpiX, c.dpiX);
  }
}

// A directory that declares width x length 8-bit grey pixels but carries one short strip.
orla::test::RawTiffDirectory DeclaredGreyDirectory(std::uint32_t width, std::uint32_t length) {
  orla::test::RawTiffDirectory directory;
  directory.entries = {{256, 4, width}, {257, 4, length}, {258, 3, 8}, {259, 3, 1},
                       {262, 3, 1},     {277, 3, 1},      {278, 4, length}, {279, 4, 16}};
  directory.strip.assign(16, 0x80);
  return directory;
}

TEST(TiffPageReader, GivesNothingForPagesItCannotRead) {
  TempFile good(BuildTiff({GreyTiffPage(4, 2)}), ".tif");
  // 70000 x 70000 at 24 bits is far past what a page may take; 25000 x 25000 fits as a
  // bitmap (1.9 GB) but not as libtiff's 32-bit raster (2.5 GB).
  TempFile huge(BuildRawTiff({DeclaredGreyDirectory(70000, 70000), DeclaredGreyDirectory(25000, 25000)}), ".tif");
  std::vector<TiffPageInfo> hugePages;
  ASSERT_EQ(ListTiffPages(hugePages, huge.path().c_str()), 2) << "both directories can be selected";
  EXPECT_EQ(hugePages[1].width, 25000);
  TempFile odd(BuildRawTiff({RawGreyDirectory(4, 2), RawGreyDirectory(4, 2, false), RawGreyDirectory(4, 0)}), ".tif");
  TempFile notTiff(std::vector<std::uint8_t>{'I', 'I', 1, 2, 3}, ".tif");
  struct Case {
    const char* what;
    const char* path;
    std::int32_t index;
  };
  const Case cases[] = {
      {"missing file", "/nonexistent/page.tif", 0},
      {"not a TIFF", notTiff.path().c_str(), 0},
      {"directory past the end", good.path().c_str(), 1},
      {"negative directory", good.path().c_str(), -1},
      {"directory libtiff cannot select", odd.path().c_str(), 1},
      {"length 0", odd.path().c_str(), 2},
      {"too large for a bitmap", huge.path().c_str(), 0},
      {"too large for the raster", huge.path().c_str(), 1},
  };
  const std::size_t before = orla::LiveBlockCount();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing::internal::CaptureStderr();
    EXPECT_EQ(LoadTiffPageAsDib(c.path, c.index), nullptr);
    // libtiff's complaints are kept, not printed.
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  }
  EXPECT_EQ(orla::LiveBlockCount(), before);
  EXPECT_NE(LastTiffDiagnostic(), "");
  EXPECT_EQ(LoadTiffPageAsDib(nullptr, 0), nullptr);
  FreeOnExit first{LoadTiffPageAsDib(odd.path().c_str(), 0)};
  EXPECT_NE(first.block, nullptr);
}

TEST(TiffPageReader, HandsPagesOverToTheRasterImage) {
  TempFile file(BuildTiff({GreyTiffPage(3, 4, 20)}), ".tif");
  FreeOnExit dib{LoadTiffPageAsDib(file.path().c_str(), 0)};
  CHalvoPic pic;
  ASSERT_EQ(pic.LoadFromDib(dib.block), 1);
  EXPECT_EQ(pic.bitsPerPixel, 24);
  CHalvoPic grey;
  ASSERT_EQ(pic.ConvertTo8Bit(grey), 1);
  for (int y = 0; y < 4; ++y) EXPECT_EQ(grey.rows[static_cast<std::size_t>(y)][1], 20 + y) << "row " << y;
}

}  // namespace
