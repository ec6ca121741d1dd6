#include "page_files.h"

#include <gtest/gtest.h>
#include <jpeglib.h>
#include <tiffio.h>
#include <zlib.h>

#include <cstdio>
#include <string>

#include "bmp_bytes.h"
#include "pattern_writer.h"

namespace orla::pattern {
namespace {

GreyPage SmallPage(int dpi, std::uint8_t seed) {
  GreyPage page;
  page.width = 37;  // odd, so BMP rows need padding
  page.height = 23;
  page.dpi = dpi;
  for (int i = 0; i < page.width * page.height; ++i) page.pixels.push_back(static_cast<std::uint8_t>((i * 7 + seed) % 256));
  return page;
}

// A path in a private temporary file, removed at the end of the test.
struct TempPath {
  explicit TempPath(const std::string& suffix) : file({}, suffix) {}
  const std::string& path() const { return file.path(); }
  test::TempFile file;
};

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    for (int c; (c = std::fgetc(f)) != EOF;) bytes.push_back(static_cast<std::uint8_t>(c));
    std::fclose(f);
  }
  return bytes;
}

void ExpectSamePixels(const CHalvoPic& pic, const GreyPage& page) {
  ASSERT_EQ(pic.width, page.width);
  ASSERT_EQ(pic.height, page.height);
  for (int y = 0; y < page.height; ++y)
    for (int x = 0; x < page.width; ++x) ASSERT_EQ(pic.rows[static_cast<std::size_t>(y)][x], page.at(x, y)) << x << "," << y;
}

TEST(PageFiles, HalvoPicBmpAndPackedDibHoldThePixelsAndTheResolution) {
  for (int dpi : {300, 600}) {
    SCOPED_TRACE(dpi);
    const GreyPage page = SmallPage(dpi, 3);
    CHalvoPic direct;
    ASSERT_TRUE(ToHalvoPic(page, direct));
    ExpectSamePixels(direct, page);
    EXPECT_EQ(direct.dpiX, dpi);
    EXPECT_EQ(direct.dpiY, dpi);
    EXPECT_TRUE(direct.IsGreyPage());

    TempPath bmp(".bmp");
    ASSERT_TRUE(WriteBmpFile(page, bmp.path()));
    CHalvoPic fromFile;
    ASSERT_EQ(fromFile.LoadBmpFile(bmp.path()), 1);
    ExpectSamePixels(fromFile, page);
    EXPECT_EQ(fromFile.dpiX, dpi);
    EXPECT_EQ(fromFile.bitsPerPixel, 8);
    EXPECT_EQ(ReadFile(bmp.path()), BmpFileBytes(page));

    const std::size_t live = LiveBlockCount();
    MemBlock dib = ToPackedDib(page);
    ASSERT_NE(dib, nullptr);
    CHalvoPic fromDib;
    ASSERT_EQ(fromDib.LoadFromDib(dib), 1);
    FreeBlock(dib);
    EXPECT_EQ(LiveBlockCount(), live);
    ExpectSamePixels(fromDib, page);
  }
  CHalvoPic none;
  EXPECT_FALSE(ToHalvoPic(GreyPage{}, none));
  EXPECT_TRUE(BmpFileBytes(GreyPage{}).empty());
  EXPECT_EQ(ToPackedDib(GreyPage{}), nullptr);
  EXPECT_FALSE(WriteBmpFile(SmallPage(300, 0), "/nonexistent-folder/page.bmp"));
}

TEST(PageFiles, JpegReadsBackAsGreyWithItsDensity) {
  const PatternPage made = MakePatternPage({}, {.page = {.dpi = 300, .dotSize = 2}});
  ASSERT_TRUE(made.ok());
  TempPath jpg(".jpg");
  ASSERT_TRUE(WriteJpegFile(made.page, jpg.path(), 100));

  std::FILE* file = std::fopen(jpg.path().c_str(), "rb");
  ASSERT_NE(file, nullptr);
  jpeg_decompress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file);
  ASSERT_EQ(jpeg_read_header(&info, TRUE), JPEG_HEADER_OK);
  EXPECT_EQ(info.num_components, 1);
  EXPECT_EQ(info.density_unit, 1);
  EXPECT_EQ(info.X_density, 300);
  jpeg_start_decompress(&info);
  ASSERT_EQ(static_cast<int>(info.output_width), made.page.width);
  ASSERT_EQ(static_cast<int>(info.output_height), made.page.height);
  std::vector<std::uint8_t> row(info.output_width);
  double error = 0;
  while (info.output_scanline < info.output_height) {
    const int y = static_cast<int>(info.output_scanline);
    JSAMPROW rows[1] = {row.data()};
    jpeg_read_scanlines(&info, rows, 1);
    for (int x = 0; x < made.page.width; ++x) error += std::abs(row[static_cast<std::size_t>(x)] - made.page.at(x, y));
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  std::fclose(file);
  EXPECT_LT(error / static_cast<double>(made.page.pixels.size()), 2.0);

  EXPECT_FALSE(WriteJpegFile(GreyPage{}, jpg.path()));
  EXPECT_FALSE(WriteJpegFile(made.page, "/nonexistent-folder/page.jpg"));
}

TEST(PageFiles, TiffHoldsEveryPageExactlyInEveryCompression) {
  const std::vector<GreyPage> pages{SmallPage(300, 1), SmallPage(600, 2), SmallPage(300, 9)};
  for (TiffCompression compression :
       {TiffCompression::None, TiffCompression::Deflate, TiffCompression::Lzw, TiffCompression::PackBits}) {
    SCOPED_TRACE(static_cast<int>(compression));
    TempPath tif(".tif");
    ASSERT_TRUE(WriteTiffFile(pages, tif.path(), compression));
    TIFF* tiff = TIFFOpen(tif.path().c_str(), "r");
    ASSERT_NE(tiff, nullptr);
    EXPECT_EQ(TIFFNumberOfDirectories(tiff), 3u);
    for (tdir_t d = 0; d < 3; ++d) {
      ASSERT_EQ(TIFFSetDirectory(tiff, d), 1);
      const GreyPage& page = pages[d];
      std::uint32_t width = 0, height = 0;
      std::uint16_t unit = 0;
      float xres = 0;
      TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
      TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
      TIFFGetField(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
      TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &xres);
      EXPECT_EQ(static_cast<int>(width), page.width);
      EXPECT_EQ(static_cast<int>(height), page.height);
      EXPECT_EQ(unit, RESUNIT_INCH);
      EXPECT_EQ(xres, static_cast<float>(page.dpi));
      std::vector<std::uint8_t> row(static_cast<std::size_t>(TIFFScanlineSize(tiff)));
      for (int y = 0; y < page.height; ++y) {
        ASSERT_EQ(TIFFReadScanline(tiff, row.data(), static_cast<std::uint32_t>(y), 0), 1);
        for (int x = 0; x < page.width; ++x) ASSERT_EQ(row[static_cast<std::size_t>(x)], page.at(x, y));
      }
    }
    TIFFClose(tiff);
  }
  EXPECT_FALSE(WriteTiffFile({}, "/tmp/never-written.tif"));
}

std::string Between(const std::string& text, std::size_t from, const std::string& start, const std::string& end) {
  const std::size_t a = text.find(start, from);
  if (a == std::string::npos) return {};
  const std::size_t b = text.find(end, a + start.size());
  return b == std::string::npos ? std::string() : text.substr(a + start.size(), b - a - start.size());
}

// Each page's image stream inflates to that page's pixels.
TEST(PageFiles, PdfPagesCarryTheirImages) {
  const std::vector<GreyPage> pages{SmallPage(300, 4), SmallPage(600, 5)};
  const std::vector<std::uint8_t> bytes = PdfFileBytes(pages);
  const std::string text(bytes.begin(), bytes.end());
  ASSERT_EQ(text.rfind("%PDF-1.4\n", 0), 0u);
  EXPECT_NE(text.find("/Count 2"), std::string::npos);

  std::size_t at = 0;
  for (const GreyPage& page : pages) {
    at = text.find("/Subtype /Image", at);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(Between(text, at, "/Width ", " "), std::to_string(page.width));
    const std::size_t length = std::stoul(Between(text, at, "/Length ", " "));
    const std::size_t data = text.find("stream\n", at) + 7;
    std::vector<std::uint8_t> pixels(page.pixels.size() + 1);
    uLongf size = static_cast<uLongf>(pixels.size());
    ASSERT_EQ(uncompress(pixels.data(), &size, &bytes[data], static_cast<uLong>(length)), Z_OK);
    pixels.resize(size);
    EXPECT_EQ(pixels, page.pixels);
    at = data + length;
  }
  TempPath pdf(".pdf");
  ASSERT_TRUE(WritePdfFile(pages, pdf.path()));
  EXPECT_EQ(ReadFile(pdf.path()), bytes);
  EXPECT_TRUE(PdfFileBytes({}).empty());
}

}  // namespace
}  // namespace orla::pattern
