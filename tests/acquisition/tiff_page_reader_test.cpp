// TIFF pages to packed bitmaps, through the real libtiff on files the tests write.

#include <gtest/gtest.h>

#include <tiffio.h>

#include <functional>

#include "bmp_bytes.h"
#include "dib_view.h"
#include "halvo_pic.h"
#include "tiff_page_reader.h"
#include "tiff_writer.h"
#include "recording_read_progress.h"

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


// Samples that differ from line to line, column to column and sample to sample, so that a row
// read from the wrong place shows.
std::vector<std::uint8_t> Pattern(std::uint32_t width, std::uint32_t length, std::uint16_t samples) {
  std::vector<std::uint8_t> data;
  for (std::uint32_t y = 0; y < length; ++y) {
    for (std::uint32_t x = 0; x < width; ++x) {
      for (std::uint16_t s = 0; s < samples; ++s) data.push_back(static_cast<std::uint8_t>(x * 7 + y * 13 + s * 61));
    }
  }
  return data;
}

// The stored rows of the bitmap the page should give: libtiff's RGBA raster of the whole page
// read at once, laid over white, as blue, green, red.
std::vector<std::uint8_t> WholePageBgr(const std::string& path) {
  TIFF* tiff = TIFFOpen(path.c_str(), "r");
  if (tiff == nullptr) return {};
  std::uint32_t width = 0, length = 0;
  TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &length);
  std::vector<std::uint32_t> raster(std::size_t{width} * length);
  const bool read = TIFFReadRGBAImage(tiff, width, length, raster.data(), 0) == 1;
  TIFFClose(tiff);
  if (!read) return {};
  PremultiplyAndSwapRB(raster.data(), static_cast<std::int32_t>(width), static_cast<std::int32_t>(length));
  std::vector<std::uint8_t> bgr;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(raster.data());
  for (std::size_t i = 0; i < raster.size(); ++i) bgr.insert(bgr.end(), bytes + 4 * i, bytes + 4 * i + 3);
  return bgr;
}

std::vector<std::uint8_t> StoredBgr(const DibView& view) {
  std::vector<std::uint8_t> bgr;
  const BmpInfoHeader h = view.header();
  for (std::int32_t r = 0; r < h.biHeight; ++r) bgr.insert(bgr.end(), view.storedRow(r), view.storedRow(r) + 3 * h.biWidth);
  return bgr;
}

TEST(TiffPageReader, ReadsEveryLayoutAsLibtiffReadsTheWholePage) {
  // The page is read a band of strips or tiles at a time; every layout, pixel kind and
  // orientation must give what one read of the whole page gives.
  const auto page = [](std::uint16_t samples, std::uint16_t photometric, const std::function<void(TiffPageSpec&)>& set) {
    TiffPageSpec spec;
    spec.width = 37;
    spec.length = 203;
    spec.samplesPerPixel = samples;
    spec.photometric = photometric;
    spec.data = Pattern(spec.width, spec.length, samples);
    if (set) set(spec);
    return spec;
  };
  struct Case {
    std::string what;
    TiffPageSpec spec;
  };
  std::vector<Case> cases = {
      {"grey, 2 lines a strip", page(1, PHOTOMETRIC_MINISBLACK, {})},
      {"grey, 1 line a strip", page(1, PHOTOMETRIC_MINISBLACK, [](auto& p) { p.rowsPerStrip = 1; })},
      {"grey, 3 lines a strip, Deflate",
       page(1, PHOTOMETRIC_MINISBLACK, [](auto& p) { p.rowsPerStrip = 3; p.compression = COMPRESSION_ADOBE_DEFLATE; })},
      {"grey, 64 lines a strip", page(1, PHOTOMETRIC_MINISBLACK, [](auto& p) { p.rowsPerStrip = 64; })},
      {"grey, 100 lines a strip, LZW",
       page(1, PHOTOMETRIC_MINISBLACK, [](auto& p) { p.rowsPerStrip = 100; p.compression = COMPRESSION_LZW; })},
      {"grey, one strip, Deflate",
       page(1, PHOTOMETRIC_MINISBLACK, [](auto& p) { p.rowsPerStrip = 203; p.compression = COMPRESSION_ADOBE_DEFLATE; })},
      {"grey, one strip longer than the page", page(1, PHOTOMETRIC_MINISWHITE, [](auto& p) { p.rowsPerStrip = 5000; })},
      {"rgb, 7 lines a strip, PackBits",
       page(3, PHOTOMETRIC_RGB, [](auto& p) { p.rowsPerStrip = 7; p.compression = COMPRESSION_PACKBITS; })},
      {"rgb in planes", page(3, PHOTOMETRIC_RGB, [](auto& p) { p.planarSeparate = true; p.rowsPerStrip = 9; })},
      {"rgba, associated alpha", page(4, PHOTOMETRIC_RGB, [](auto& p) { p.extraSample = EXTRASAMPLE_ASSOCALPHA; })},
      {"grey tiles 16 x 16", page(1, PHOTOMETRIC_MINISBLACK, [](auto& p) { p.tileWidth = p.tileLength = 16; })},
      {"rgb tiles 32 x 48, Deflate", page(3, PHOTOMETRIC_RGB, [](auto& p) {
         p.tileWidth = 32;
         p.tileLength = 48;
         p.compression = COMPRESSION_ADOBE_DEFLATE;
       })},
      {"YCbCr JPEG, subsampled 2 x 2", page(3, PHOTOMETRIC_YCBCR, [](auto& p) {
         p.compression = COMPRESSION_JPEG;
         p.rowsPerStrip = 16;
       })},
  };
  TiffPageSpec palette = page(1, PHOTOMETRIC_PALETTE, [](auto& p) { p.rowsPerStrip = 5; });
  for (int i = 0; i < 256; ++i) {
    palette.red.push_back(static_cast<std::uint16_t>(i * 257));
    palette.green.push_back(static_cast<std::uint16_t>((255 - i) * 257));
    palette.blue.push_back(static_cast<std::uint16_t>((i * 3 % 256) * 257));
  }
  cases.push_back({"palette", palette});
  TiffPageSpec bilevel;
  bilevel.width = 45;
  bilevel.length = 150;
  bilevel.bitsPerSample = 1;
  bilevel.photometric = PHOTOMETRIC_MINISWHITE;
  bilevel.rowsPerStrip = 11;
  bilevel.data = Pattern(6, 150, 1);
  cases.push_back({"bilevel", bilevel});
  for (std::uint16_t orientation = ORIENTATION_TOPLEFT; orientation <= ORIENTATION_LEFTBOT; ++orientation) {
    for (const std::uint32_t rowsPerStrip : {5u, 203u}) {
      cases.push_back({"orientation " + std::to_string(orientation) + ", " + std::to_string(rowsPerStrip) +
                           " lines a strip",
                       page(3, PHOTOMETRIC_RGB, [&](auto& p) {
                         p.orientation = orientation;
                         p.rowsPerStrip = rowsPerStrip;
                         p.compression = COMPRESSION_ADOBE_DEFLATE;
                       })});
    }
  }
  // Strips taller than a band are decoded line by line: every kind of pixel that takes.
  const auto oneStrip = [](TiffPageSpec spec, std::uint16_t compression) {
    spec.rowsPerStrip = spec.length;
    spec.compression = compression;
    return spec;
  };
  cases.push_back({"rgb, one strip, LZW", oneStrip(page(3, PHOTOMETRIC_RGB, {}), COMPRESSION_LZW)});
  cases.push_back({"rgba, one strip", oneStrip(page(4, PHOTOMETRIC_RGB, [](auto& p) {
                                                 p.extraSample = EXTRASAMPLE_UNASSALPHA;
                                               }),
                                               COMPRESSION_ADOBE_DEFLATE)});
  cases.push_back({"cmyk, one strip", oneStrip(page(4, PHOTOMETRIC_SEPARATED, {}), COMPRESSION_PACKBITS)});
  cases.push_back({"palette, one strip", oneStrip(palette, COMPRESSION_ADOBE_DEFLATE)});
  cases.push_back({"bilevel, one strip, G4", oneStrip(bilevel, COMPRESSION_CCITTFAX4)});
  TiffPageSpec sixteen = page(1, PHOTOMETRIC_MINISBLACK, [](auto& p) {
    p.bitsPerSample = 16;
    p.data = Pattern(p.width * 2, p.length, 1);
  });
  cases.push_back({"16-bit grey, one strip", oneStrip(sixteen, COMPRESSION_ADOBE_DEFLATE)});
  // Tall enough for many bands of the usual strip sizes, at the size of a narrow scan.
  cases.push_back({"grey, 1000 lines of 2 a strip", page(1, PHOTOMETRIC_MINISBLACK, [](auto& p) {
                     p.length = 1000;
                     p.data = Pattern(p.width, p.length, 1);
                   })});

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFile file(BuildTiff({c.spec}), ".tif");
    const std::vector<std::uint8_t> expected = WholePageBgr(file.path());
    ASSERT_FALSE(expected.empty());
    FreeOnExit dib{LoadTiffPageAsDib(file.path().c_str(), 0)};
    ASSERT_NE(dib.block, nullptr);
    const DibView view(dib.block);
    EXPECT_EQ(view.header().biHeight, static_cast<std::int32_t>(c.spec.length));
    EXPECT_TRUE(StoredBgr(view) == expected);
  }
}

TEST(TiffPageReader, TellsHowFarThePageIsReadAndStopsWhenAsked) {
  TiffPageSpec spec = GreyTiffPage(40, 700);
  spec.compression = COMPRESSION_ADOBE_DEFLATE;
  TiffPageSpec oneStrip = spec;
  oneStrip.rowsPerStrip = 700;
  TempFile file(BuildTiff({spec, oneStrip}), ".tif");
  const std::size_t before = orla::LiveBlockCount();
  for (const std::int32_t directory : {0, 1}) {
    SCOPED_TRACE(directory == 0 ? "2 lines a strip" : "one strip");
    orla::test::RecordingReadProgress progress;
    FreeOnExit dib{LoadTiffPageAsDib(file.path().c_str(), directory, &progress)};
    ASSERT_NE(dib.block, nullptr);
    // Line by line in bands, up to the whole page, of the page's lines.
    ASSERT_GE(progress.reports.size(), 10u);
    for (std::size_t i = 0; i < progress.reports.size(); ++i) {
      EXPECT_EQ(progress.reports[i].second, 700);
      if (i > 0) {
        EXPECT_GT(progress.reports[i].first, progress.reports[i - 1].first);
      }
    }
    EXPECT_EQ(progress.reports.back().first, 700);
  }
  // Asked to stop: no page, nothing left behind, and no further reading.
  orla::test::RecordingReadProgress stopping;
  stopping.stopAt = 3;
  EXPECT_EQ(LoadTiffPageAsDib(file.path().c_str(), 0, &stopping), nullptr);
  EXPECT_EQ(stopping.reports.size(), 3u);
  EXPECT_EQ(orla::LiveBlockCount(), before);
}

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

// Points the strips from `firstLost` on past the end of the file, as in a file cut short.
void LoseStripsFrom(std::vector<std::uint8_t>& bytes, std::uint32_t firstLost) {
  const std::uint32_t directory = Le32(bytes, 4);
  const std::uint16_t entries = static_cast<std::uint16_t>(bytes[directory] | (bytes[directory + 1] << 8));
  for (std::uint16_t i = 0; i < entries; ++i) {
    const std::size_t entry = directory + 2 + 12u * i;
    if ((bytes[entry] | (bytes[entry + 1] << 8)) != TIFFTAG_STRIPOFFSETS) continue;
    const std::uint32_t count = Le32(bytes, entry + 4);
    const std::uint32_t offsets = Le32(bytes, entry + 8);
    for (std::uint32_t k = firstLost; k < count; ++k) {
      for (int j = 0; j < 4; ++j) bytes[offsets + 4 * k + j] = 0x7F;
    }
  }
}

// Halves the byte count of a page of one strip.
void HalveStripBytes(std::vector<std::uint8_t>& bytes) {
  const std::uint32_t directory = Le32(bytes, 4);
  const std::uint16_t entries = static_cast<std::uint16_t>(bytes[directory] | (bytes[directory + 1] << 8));
  for (std::uint16_t i = 0; i < entries; ++i) {
    const std::size_t entry = directory + 2 + 12u * i;
    if ((bytes[entry] | (bytes[entry + 1] << 8)) != TIFFTAG_STRIPBYTECOUNTS) continue;
    const std::uint32_t half = Le32(bytes, entry + 8) / 2;
    for (int j = 0; j < 4; ++j) bytes[entry + 8 + j] = static_cast<std::uint8_t>(half >> (8 * j));
  }
}

TEST(TiffPageReader, GivesAFileCutShortWithItsMissingLinesWhite) {
  // libtiff goes on past strips it cannot read once it has read one: the page is given, and
  // the lines it could not read are paper, never the lines read before them again.
  TiffPageSpec spec = GreyTiffPage(40, 400);
  spec.data.assign(spec.data.size(), 0);
  spec.rowsPerStrip = 64;
  std::vector<std::uint8_t> bytes = BuildTiff({spec});
  LoseStripsFrom(bytes, 4);
  TempFile cut(bytes, ".tif");
  FreeOnExit dib{LoadTiffPageAsDib(cut.path().c_str(), 0)};
  ASSERT_NE(dib.block, nullptr);
  const DibView view(dib.block);
  for (int y : {0, 100, 255}) EXPECT_EQ(view.pageRow(y)[0], 0) << "line " << y;
  for (int y : {256, 300, 399}) EXPECT_EQ(view.pageRow(y)[0], 255) << "line " << y;

  // One strip cut short: the lines libtiff decodes line by line before the data ends are
  // read, the rest are paper.
  TiffPageSpec single = GreyTiffPage(40, 400);
  single.data = Pattern(40, 400, 1);
  single.rowsPerStrip = 400;
  single.compression = COMPRESSION_ADOBE_DEFLATE;
  std::vector<std::uint8_t> halved = BuildTiff({single});
  HalveStripBytes(halved);
  TempFile half(halved, ".tif");
  FreeOnExit halfDib{LoadTiffPageAsDib(half.path().c_str(), 0)};
  ASSERT_NE(halfDib.block, nullptr);
  const DibView halfView(halfDib.block);
  EXPECT_EQ(halfView.pageRow(0)[3], single.data[0 * 40 + 1]);  // blue of pixel 1, line 0
  for (int x = 0; x < 120; ++x) ASSERT_EQ(halfView.pageRow(399)[x], 255) << "byte " << x;

  // Without a single readable strip there is no page.
  std::vector<std::uint8_t> none = BuildTiff({spec});
  LoseStripsFrom(none, 0);
  TempFile lost(none, ".tif");
  EXPECT_EQ(LoadTiffPageAsDib(lost.path().c_str(), 0), nullptr);
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
