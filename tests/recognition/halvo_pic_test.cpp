// Loading BMP files and packed bitmaps into CHalvoPic, its copies and its lifetime.

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <utility>
#include <vector>

#include "bmp_bytes.h"
#include "halvo_pic.h"
#include "recording_read_progress.h"

namespace {

using orla::test::BmpSpec;
using orla::test::BuildBmp;
using orla::test::BuildPackedDib;
using orla::test::FilledRow;
using orla::test::TempFile;

// A spec whose rows are distinct: row y (from the top) is filled with byte 10 + y.
BmpSpec NumberedRows(std::int32_t width, std::int32_t height, std::uint16_t bitCount = 8) {
  BmpSpec spec;
  spec.width = width;
  spec.height = height;
  spec.bitCount = bitCount;
  if (bitCount <= 8) spec.palette = orla::test::GreyRamp(1 << bitCount);
  for (int y = 0; y < height; ++y) spec.rows.push_back(FilledRow(bitCount, width, static_cast<std::uint8_t>(10 + y)));
  return spec;
}

int LoadBmp(CHalvoPic& pic, const BmpSpec& spec) {
  TempFile file(BuildBmp(spec));
  return pic.LoadBmpFile(file.path());
}

struct BlockGuard {
  PackedDib dib;
  ~BlockGuard() { orla::FreeBlock(dib); }
};

TEST(HalvoPicConstruction, StartsEmptyWithZeroedHeaders) {
  CHalvoPic pic;
  EXPECT_EQ(pic.width, 0);
  EXPECT_EQ(pic.height, 0);
  EXPECT_TRUE(pic.rows.empty());
  EXPECT_EQ(pic.empty, 0);
  EXPECT_EQ(pic.progress, nullptr);
  EXPECT_EQ(pic.pageNumber, 1);
  EXPECT_EQ(pic.infoHeader.biCompression, 0u);
  EXPECT_EQ(pic.palette[7].rgbRed, 0);
}

struct DpiCase {
  std::int32_t pixelsPerMetre;
  std::int32_t side;
  std::int32_t bmpDpi;
  std::int32_t dibDpi;
};

TEST(HalvoPicResolution, FollowsEachLoadersDefaults) {
  const DpiCase cases[] = {
      {11811, 10, 300, 300}, {23622, 10, 600, 600}, {3937, 10, 300, 100},  {3780, 4000, 300, 300},
      {3780, 4001, 600, 600}, {3780, 2000, 300, 200}, {3780, 2001, 300, 300}, {0, 2001, 300, 300},
      {0, 100, 300, 200},
  };
  for (const DpiCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "ppm " << c.pixelsPerMetre << " side " << c.side);
    BmpSpec spec = NumberedRows(c.side, 1, 1);
    spec.height = 1;
    spec.xPelsPerMeter = spec.yPelsPerMeter = c.pixelsPerMetre;
    CHalvoPic fromFile;
    ASSERT_EQ(LoadBmp(fromFile, spec), 1);
    EXPECT_EQ(fromFile.dpiX, c.bmpDpi);

    // Vertical: swap the roles of width and height.
    BmpSpec tall = spec;
    tall.width = 1;
    tall.height = c.side;
    tall.rows.assign(static_cast<std::size_t>(c.side), FilledRow(1, 1, 0));
    CHalvoPic fromDib;
    BlockGuard block{BuildPackedDib(tall)};
    ASSERT_EQ(fromDib.LoadFromDib(block.dib), 1);
    EXPECT_EQ(fromDib.dpiY, c.dibDpi);
  }
  EXPECT_EQ(orla::DpiFromPixelsPerMetre(3780), 97);
  EXPECT_EQ(orla::DpiFromPixelsPerMetre(0), 1);
}

TEST(HalvoPicBmp, FirstStoredRowIsTheBottomLine) {
  CHalvoPic pic;
  ASSERT_EQ(LoadBmp(pic, NumberedRows(5, 3)), 1);
  ASSERT_EQ(pic.rows.size(), 3u);
  EXPECT_EQ(pic.stride, 8);
  for (int y = 0; y < 3; ++y) EXPECT_EQ(pic.rows[static_cast<std::size_t>(y)][0], 10 + y) << y;
  EXPECT_EQ(pic.bitsPerPixel, 8);
  EXPECT_EQ(pic.empty, 0);
  EXPECT_EQ(pic.palette[200].rgbGreen, 200);
}

TEST(HalvoPicBmp, ShortFileKeepsEveryRowWhite) {
  std::vector<std::uint8_t> bytes = BuildBmp(NumberedRows(4, 4));
  bytes.resize(bytes.size() - 4 - 2);  // last stored row (the top line) lost, the one below cut short
  TempFile file(bytes);
  CHalvoPic pic;
  ASSERT_EQ(pic.LoadBmpFile(file.path()), 1);
  ASSERT_EQ(pic.rows.size(), 4u);
  EXPECT_EQ(pic.rows[3][0], 13);
  EXPECT_EQ(pic.rows[1][1], 11);
  EXPECT_EQ(pic.rows[1][2], 0xFF);  // the cut row's missing bytes
  for (int x = 0; x < 4; ++x) EXPECT_EQ(pic.rows[0][static_cast<std::size_t>(x)], 0xFF);
}

TEST(HalvoPicBmp, RefusesFilesItCannotReadSafely) {
  struct Case {
    const char* what;
    void (*change)(BmpSpec&);
  };
  const Case cases[] = {
      {"top-down", [](BmpSpec& s) { s.height = -3; }},
      {"zero width", [](BmpSpec& s) { s.width = 0; }},
      {"negative width", [](BmpSpec& s) { s.width = -4; }},
      {"zero height", [](BmpSpec& s) { s.height = 0; }},
      {"core header", [](BmpSpec& s) { s.infoSize = 12; }},
      {"RLE8", [](BmpSpec& s) { s.compression = 1; }},
      {"RLE4", [](BmpSpec& s) { s.bitCount = 4; s.compression = 2; }},
      {"overflowing size", [](BmpSpec& s) { s.width = 0x7FFFFFFF; s.height = 0x7FFFFFFF; }},
      {"page above the cap", [](BmpSpec& s) { s.width = 70000; s.height = 70000; }},
      // 1 GiB of pixels, but a row table of 2 GiB and as many small blocks again.
      {"narrow page of 2^28 rows", [](BmpSpec& s) { s.width = 1; s.bitCount = 1; s.height = 1 << 28; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BmpSpec spec = NumberedRows(4, 3);
    c.change(spec);
    CHalvoPic pic;
    EXPECT_EQ(LoadBmp(pic, spec), 0);
    EXPECT_TRUE(pic.rows.empty());
  }
  CHalvoPic pic;
  EXPECT_EQ(pic.LoadBmpFile("/nonexistent/page.bmp"), 0);
  std::vector<std::uint8_t> tiny = BuildBmp(NumberedRows(4, 3));
  tiny.resize(53);
  TempFile file(tiny);
  EXPECT_EQ(pic.LoadBmpFile(file.path()), 0);
  EXPECT_TRUE(pic.rows.empty());
}

// A file that holds less than a sixty-fourth of the pixel bytes of a large page (more than
// 1 MiB) is refused as damaged; a page cut short past that, or a small page, loads white where
// its rows are missing.
TEST(HalvoPicBmp, AFileHoldingASliverOfALargePageIsRefused) {
  struct Case {
    const char* what;
    std::int32_t width;
    std::int32_t height;
    std::int64_t pixelBytesHeld;  // -1: the file is 2 KiB in all
    int loaded;
  };
  const Case cases[] = {
      {"2 KiB claiming 40000 x 40000", 40000, 40000, -1, 0},
      {"4 MiB page, a sixty-fourth held", 2048, 2048, 2048 * 2048 / 64, 1},
      {"4 MiB page, a byte less", 2048, 2048, 2048 * 2048 / 64 - 1, 0},
      {"1 MiB page, no row held", 1024, 1024, 0, 1},
      {"a little over 1 MiB, no row held", 1024, 1025, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BmpSpec spec = NumberedRows(4, 1);
    spec.width = c.width;
    spec.height = c.height;
    spec.rows.clear();
    std::vector<std::uint8_t> bytes = BuildBmp(spec);
    const std::size_t headers = bytes.size();
    bytes.resize(c.pixelBytesHeld < 0 ? 2048 : headers + static_cast<std::size_t>(c.pixelBytesHeld), 0x40);
    TempFile file(bytes);
    CHalvoPic pic;
    ASSERT_EQ(pic.LoadBmpFile(file.path()), c.loaded);
    if (c.loaded == 0) {
      EXPECT_TRUE(pic.rows.empty());
      continue;
    }
    ASSERT_EQ(pic.rows.size(), static_cast<std::size_t>(c.height));
    EXPECT_EQ(pic.rows[static_cast<std::size_t>(c.height - 1)][0], c.pixelBytesHeld > 0 ? 0x40 : 0xFF);
    EXPECT_EQ(pic.rows[0][0], 0xFF);
  }
}

TEST(HalvoPicBmp, PaletteLengthAndPixelOffsetFollowTheFile) {
  // Four palette entries with biClrUsed = 4 and the rows right after them.
  BmpSpec shortPalette = NumberedRows(4, 2);
  shortPalette.palette = {{0, 0, 0, 0}, {50, 60, 70, 0}, {1, 2, 3, 0}, {9, 9, 9, 0}};
  shortPalette.clrUsed = 4;
  CHalvoPic pic;
  ASSERT_EQ(LoadBmp(pic, shortPalette), 1);
  EXPECT_EQ(pic.rows[0][0], 10);
  EXPECT_EQ(pic.rows[1][0], 11);
  EXPECT_EQ(pic.palette[1].rgbRed, 70);
  EXPECT_EQ(pic.palette[4].rgbRed, 0);

  // A gap named by bfOffBits is skipped.
  BmpSpec gapped = NumberedRows(4, 2);
  gapped.gap.assign(8, 0x77);
  CHalvoPic skipped;
  ASSERT_EQ(LoadBmp(skipped, gapped), 1);
  EXPECT_EQ(skipped.rows[1][0], 11);

  // A bfOffBits inside the palette is not believed: the rows follow the palette.
  gapped.offBitsPointsPastGap = false;
  std::vector<std::uint8_t> bytes = BuildBmp(gapped);
  const std::uint32_t insidePalette = 60;
  std::memcpy(bytes.data() + 10, &insidePalette, 4);
  TempFile file(bytes);
  CHalvoPic readAsRows;
  ASSERT_EQ(readAsRows.LoadBmpFile(file.path()), 1);
  EXPECT_EQ(readAsRows.rows[1][0], 0x77);

  // Nor is one past the end of the file.
  const auto pastTheEnd = static_cast<std::uint32_t>(bytes.size() + 100);
  std::memcpy(bytes.data() + 10, &pastTheEnd, 4);
  TempFile beyond(bytes);
  CHalvoPic readAfterPalette;
  ASSERT_EQ(readAfterPalette.LoadBmpFile(beyond.path()), 1);
  EXPECT_EQ(readAfterPalette.rows[1][0], 0x77);
}

// A longer info header (here the 108-byte one) is passed over: 40 bytes of it are kept, and
// the palette and the rows follow it.
TEST(HalvoPicLoaders, PassOverALongerInfoHeader) {
  BmpSpec spec = NumberedRows(4, 3);
  spec.infoSize = 108;
  spec.palette[5] = RgbQuad{1, 2, 3, 0};
  CHalvoPic fromFile;
  ASSERT_EQ(LoadBmp(fromFile, spec), 1);
  BlockGuard block{BuildPackedDib(spec)};
  CHalvoPic fromDib;
  ASSERT_EQ(fromDib.LoadFromDib(block.dib), 1);
  for (const CHalvoPic* pic : {&fromFile, &fromDib}) {
    EXPECT_EQ(pic->infoHeader.biSize, 108u);
    EXPECT_EQ(pic->palette[5].rgbRed, 3);
    EXPECT_EQ(pic->palette[6].rgbRed, 6);
    for (int y = 0; y < 3; ++y) EXPECT_EQ(pic->rows[static_cast<std::size_t>(y)][3], 10 + y);
  }
}

TEST(HalvoPicDib, LoadsBottomUpAndTopDownRows) {
  BmpSpec spec = NumberedRows(3, 4);
  BlockGuard bottomUp{BuildPackedDib(spec)};
  CHalvoPic pic;
  ASSERT_EQ(pic.LoadFromDib(bottomUp.dib), 1);
  for (int y = 0; y < 4; ++y) EXPECT_EQ(pic.rows[static_cast<std::size_t>(y)][0], 10 + y);

  std::reverse(spec.rows.begin(), spec.rows.end());  // stored order now top line first
  spec.height = -4;
  BlockGuard topDown{BuildPackedDib(spec)};
  CHalvoPic flipped;
  ASSERT_EQ(flipped.LoadFromDib(topDown.dib), 1);
  EXPECT_EQ(flipped.height, 4);
  for (int y = 0; y < 4; ++y) EXPECT_EQ(flipped.rows[static_cast<std::size_t>(y)][0], 10 + y);
}

TEST(HalvoPicDib, RefusesBlocksThatDoNotHoldWhatTheyClaim) {
  struct Case {
    const char* what;
    void (*change)(BmpSpec&);
  };
  const Case cases[] = {
      {"rows missing", [](BmpSpec& s) { s.rows.pop_back(); }},
      {"palette wraps 16 bits", [](BmpSpec& s) { s.clrUsed = 0x10000; }},
      {"huge palette", [](BmpSpec& s) { s.clrUsed = 0x40000000; }},
      {"overflowing size", [](BmpSpec& s) { s.width = 0x7FFFFFFF; }},
      {"short header", [](BmpSpec& s) { s.infoSize = 12; }},
      {"zero width", [](BmpSpec& s) { s.width = 0; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BmpSpec spec = NumberedRows(4, 3);
    c.change(spec);
    BlockGuard block{BuildPackedDib(spec)};
    CHalvoPic pic;
    EXPECT_EQ(pic.LoadFromDib(block.dib), 0);
    EXPECT_TRUE(pic.rows.empty());
  }
  CHalvoPic pic;
  EXPECT_EQ(pic.LoadFromDib(nullptr), 0);
}

TEST(HalvoPicDib, KeepsAtMost256PaletteEntriesAndSkipsTheRest) {
  BmpSpec spec = NumberedRows(4, 2);
  spec.palette = orla::test::GreyRamp(256);
  spec.palette.resize(300, RgbQuad{1, 1, 1, 0});
  spec.clrUsed = 300;
  BlockGuard block{BuildPackedDib(spec)};
  CHalvoPic pic;
  ASSERT_EQ(pic.LoadFromDib(block.dib), 1);
  EXPECT_EQ(pic.palette[255].rgbRed, 255);
  EXPECT_EQ(pic.rows[0][0], 10);
  EXPECT_EQ(pic.rows[1][0], 11);
}

TEST(HalvoPicDib, LoadingAndGreyConversionTellTheirRowsAndStopWhenAsked) {
  // Both walk a whole page; the file road keeps the program responsive through them and stops
  // them at a cancel.
  const std::vector<std::pair<std::int64_t, std::int64_t>> everyRow = {{1, 5}, {2, 5}, {3, 5}, {4, 5}, {5, 5}};
  BlockGuard block{BuildPackedDib(NumberedRows(6, 5, 24))};
  CHalvoPic loaded;
  orla::test::RecordingReadProgress loading;
  ASSERT_EQ(loaded.LoadFromDib(block.dib, &loading), 1);
  EXPECT_EQ(loading.reports, everyRow);
  CHalvoPic grey;
  orla::test::RecordingReadProgress converting;
  ASSERT_EQ(loaded.ConvertTo8Bit(grey, &converting), 1);
  EXPECT_EQ(converting.reports, everyRow);

  // Asked to stop: no page, and nothing more is done.
  CHalvoPic stopped;
  orla::test::RecordingReadProgress stopLoading;
  stopLoading.stopAt = 2;
  EXPECT_EQ(stopped.LoadFromDib(block.dib, &stopLoading), 0);
  EXPECT_EQ(stopLoading.reports.size(), 2u);
  EXPECT_TRUE(stopped.rows.empty());
  CHalvoPic greyStopped;
  orla::test::RecordingReadProgress stopConverting;
  stopConverting.stopAt = 3;
  EXPECT_EQ(loaded.ConvertTo8Bit(greyStopped, &stopConverting), 0);
  EXPECT_EQ(stopConverting.reports.size(), 3u);
  EXPECT_TRUE(greyStopped.rows.empty());
  EXPECT_EQ(loaded.rows.size(), 5u);  // the source stays as it was
}

TEST(HalvoPicDib, NeverFreesTheBlock) {
  const std::size_t before = orla::LiveBlockCount();
  {
    BlockGuard block{BuildPackedDib(NumberedRows(4, 2))};
    CHalvoPic pic;
    ASSERT_EQ(pic.LoadFromDib(block.dib), 1);
    EXPECT_EQ(orla::LiveBlockCount(), before + 1);
  }
  EXPECT_EQ(orla::LiveBlockCount(), before);
}

// Scanner drivers hand over 16- and 32-bit bitmaps with bit-field masks, and some programs save
// them so: after a 40-byte header the three masks come before the rows, a longer header holds
// them itself, and each pixel is read by them. Three pixels a row and two rows, so rows read
// from the masks on show wrong greys; a layout the grey conversion does not know shows wrong
// channels.
struct BitFieldCase {
  const char* what;
  std::uint16_t bitCount;
  std::array<std::uint32_t, 3> masks;  // red, green, blue
  std::uint32_t infoSize;
  std::array<std::uint32_t, 6> pixels;  // the top row first: red, green, blue; white, black, cyan
  std::array<int, 6> grey;
};

std::vector<BitFieldCase> BitFieldCases() {
  constexpr std::array<int, 6> kHighColour565 = {74, 147, 28, 250, 0, 176};
  constexpr std::array<int, 6> kTrueColour = {76, 149, 29, 255, 0, 178};
  return {
      {"16-bit 5-6-5", 16, {0xF800, 0x07E0, 0x001F}, 40, {0xF800, 0x07E0, 0x001F, 0xFFFF, 0, 0x07FF}, kHighColour565},
      {"16-bit 5-5-5", 16, {0x7C00, 0x03E0, 0x001F}, 40, {0x7C00, 0x03E0, 0x001F, 0x7FFF, 0, 0x03FF},
       {74, 145, 28, 248, 0, 173}},
      {"16-bit 4-4-4", 16, {0x0F00, 0x00F0, 0x000F}, 40, {0x0F00, 0x00F0, 0x000F, 0x0FFF, 0, 0x00FF}, kHighColour565},
      {"32-bit blue, green, red", 32, {0x00FF0000, 0x0000FF00, 0x000000FF}, 40,
       {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00FFFFFF, 0, 0x0000FFFF}, kTrueColour},
      {"32-bit red, green, blue", 32, {0x000000FF, 0x0000FF00, 0x00FF0000}, 40,
       {0x000000FF, 0x0000FF00, 0x00FF0000, 0x00FFFFFF, 0, 0x00FFFF00}, kTrueColour},
      {"32-bit, masks in a 108-byte header", 32, {0x000000FF, 0x0000FF00, 0x00FF0000}, 108,
       {0x000000FF, 0x0000FF00, 0x00FF0000, 0x00FFFFFF, 0, 0x00FFFF00}, kTrueColour},
      {"32-bit 10-bit channels", 32, {0x3FF00000, 0x000FFC00, 0x000003FF}, 40,
       {0x3FF00000, 0x000FFC00, 0x000003FF, 0x3FFFFFFF, 0, 0x000FFFFF}, kTrueColour},
  };
}

// The page of a case, its masks after the header (as the gap before the rows) when the header
// is 40 bytes; a longer header gets them at its offset 40 from `PutMasksInHeader`.
BmpSpec BitFieldSpec(const BitFieldCase& c) {
  BmpSpec spec;
  spec.width = 3;
  spec.height = 2;
  spec.bitCount = c.bitCount;
  spec.compression = kBmpBitFields;
  spec.infoSize = c.infoSize;
  const std::size_t bytesPerPixel = c.bitCount / 8;
  for (std::size_t y = 0; y < 2; ++y) {
    std::vector<std::uint8_t> row = FilledRow(c.bitCount, 3, 0xAA);
    for (std::size_t x = 0; x < 3; ++x) std::memcpy(row.data() + x * bytesPerPixel, &c.pixels[y * 3 + x], bytesPerPixel);
    spec.rows.push_back(row);
  }
  if (c.infoSize == 40) {
    spec.gap.resize(sizeof c.masks);
    std::memcpy(spec.gap.data(), c.masks.data(), sizeof c.masks);
  }
  return spec;
}

void PutMasksInHeader(const BitFieldCase& c, std::uint8_t* header) {
  if (c.infoSize > 40) std::memcpy(header + 40, c.masks.data(), sizeof c.masks);
}

void ExpectGreys(const CHalvoPic& pic, const BitFieldCase& c) {
  CHalvoPic grey;
  ASSERT_EQ(pic.ConvertTo8Bit(grey), 1);
  for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(grey.rows[i / 3][i % 3], c.grey[i]) << "pixel " << i;
}

TEST(HalvoPicDib, ReadsBitFieldPixelsByTheirMasks) {
  for (const BitFieldCase& c : BitFieldCases()) {
    SCOPED_TRACE(c.what);
    BlockGuard block{BuildPackedDib(BitFieldSpec(c))};
    {
      orla::BlockLock lock(block.dib);
      PutMasksInHeader(c, static_cast<std::uint8_t*>(lock.get()));
    }
    CHalvoPic pic;
    ASSERT_EQ(pic.LoadFromDib(block.dib), 1);
    ExpectGreys(pic, c);
  }
}

// The same pages as files; a file whose bfOffBits points at the masks, not past them, still
// has its rows read from after them.
TEST(HalvoPicBmp, ReadsBitFieldPixelsByTheirMasks) {
  for (const BitFieldCase& c : BitFieldCases()) {
    for (const bool offBitsRight : {true, false}) {
      if (!offBitsRight && c.infoSize > 40) continue;
      SCOPED_TRACE(std::string(c.what) + (offBitsRight ? "" : ", bfOffBits at the masks"));
      BmpSpec spec = BitFieldSpec(c);
      spec.offBitsPointsPastGap = offBitsRight;
      std::vector<std::uint8_t> bytes = BuildBmp(spec);
      PutMasksInHeader(c, bytes.data() + 14);
      const TempFile file(bytes);
      CHalvoPic pic;
      ASSERT_EQ(pic.LoadBmpFile(file.path()), 1);
      ExpectGreys(pic, c);
    }
  }
}

TEST(GetDibPaletteSize, FollowsTheHeaderKind) {
  struct Case {
    std::uint32_t size;
    std::uint16_t bitCount;
    std::uint32_t clrUsed;
    std::uint16_t expected;
  };
  const Case cases[] = {{40, 1, 0, 8},   {40, 4, 0, 64},   {40, 8, 0, 1024}, {40, 24, 0, 0},
                        {40, 8, 16, 64}, {40, 8, 0x10001, 4}, {12, 1, 0, 6},  {12, 4, 0, 48},
                        {12, 8, 0, 768}, {12, 24, 0, 0}};
  for (const Case& c : cases) {
    std::uint8_t header[40] = {};
    std::memcpy(header, &c.size, 4);
    if (c.size == 40) {
      std::memcpy(header + 14, &c.bitCount, 2);
      std::memcpy(header + 32, &c.clrUsed, 4);
    } else {
      std::memcpy(header + 10, &c.bitCount, 2);
    }
    EXPECT_EQ(GetDibPaletteSize(header), c.expected) << c.size << "/" << c.bitCount << "/" << c.clrUsed;
  }
}

TEST(HalvoPicCopy, DeepCopiesAndKeepsOwnPageFields) {
  CHalvoPic source;
  ASSERT_EQ(LoadBmp(source, NumberedRows(4, 3)), 1);
  source.pageNumber = 5;
  CHalvoPic copy;
  copy.pageNumber = 2;
  copy = source;
  copy = source;  // assigning again releases the previous rows
  ASSERT_EQ(copy.rows.size(), 3u);
  EXPECT_NE(copy.rows[0].get(), source.rows[0].get());
  EXPECT_EQ(copy.rows[2][3], 12);
  EXPECT_EQ(copy.pageNumber, 2);
  EXPECT_EQ(copy.dpiX, 300);

  copy = copy;
  EXPECT_EQ(copy.rows[2][3], 12);

  source.Free();
  source.Free();
  EXPECT_EQ(source.empty, 1);
  copy = source;
  EXPECT_TRUE(copy.rows.empty());
  EXPECT_EQ(copy.empty, 1);
}

TEST(HalvoPicBlank, IsAWhiteGreyPage) {
  CHalvoPic pic;
  ASSERT_EQ(pic.CreateBlank8(5, 2), 1);
  EXPECT_EQ(pic.stride, 8);
  // The file header is packed: copy its fields before gtest binds references to them.
  const BmpFileHeader file = pic.fileHeader;
  EXPECT_EQ(std::uint16_t{file.bfType}, 0x4D42);
  EXPECT_EQ(std::uint32_t{file.bfOffBits}, 1078u);
  EXPECT_EQ(std::uint32_t{file.bfSize}, 16u);
  EXPECT_EQ(pic.infoHeader.biSizeImage, 16u);
  EXPECT_EQ(pic.infoHeader.biBitCount, 8);
  EXPECT_TRUE(pic.IsGreyPage());
  for (const auto& row : pic.rows)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(row[static_cast<std::size_t>(x)], 255);
  CHalvoPic refused;
  EXPECT_EQ(refused.CreateBlank8(0, 5), 0);
  EXPECT_EQ(refused.CreateBlank8(100000, 100000), 0);
  EXPECT_EQ(refused.CreateBlank8(1, 1 << 28), 0);
  EXPECT_TRUE(refused.rows.empty());
}

}  // namespace
