// PDF page images to packed bitmaps, through the real poppler on files the tests write.

#include <gtest/gtest.h>

#include "bmp_bytes.h"
#include "dib_view.h"
#include "halvo_pic.h"
#include "jpeg_writer.h"
#include "pdf_dib.h"
#include "pdf_dib_handle.h"
#include "pdf_writer.h"
#include "recording_read_progress.h"

namespace {

using orla::test::BuildPdf;
using orla::test::DibView;
using orla::test::PackBits1;
using orla::test::PdfFilter;
using orla::test::PdfImage;
using orla::test::PdfPage;
using orla::test::TempFile;

// Opens a document for one test and closes it at the end.
class PdfFile {
 public:
  explicit PdfFile(const std::vector<PdfPage>& pages, int dpi = 600)
      : file_(BuildPdf(pages), ".pdf"), handle_(PdfDib_Open(file_.path().c_str(), nullptr, nullptr, dpi)) {}
  ~PdfFile() { PdfDib_Close(handle_); }
  PdfDibHandle* handle() const { return handle_; }

 private:
  TempFile file_;
  PdfDibHandle* handle_;
};

PdfImage Grey8(int width, int height, std::vector<std::uint8_t> data) {
  PdfImage image;
  image.width = width;
  image.height = height;
  image.data = std::move(data);
  return image;
}

// Rows of grey values (top first) of the bitmap of page 1, or empty when there is none.
std::vector<std::vector<int>> RenderPage1(const PdfImage& image) {
  PdfFile pdf({PdfPage{{image}, ""}});
  if (pdf.handle() == nullptr) return {{-1}};
  PackedDib dib = PdfDib_GetPageDib(pdf.handle(), 1);
  if (dib == nullptr) return {};
  DibView view(dib);
  std::vector<std::vector<int>> rows;
  for (int y = 0; y < view.header().biHeight; ++y) {
    rows.emplace_back(view.pageRow(y), view.pageRow(y) + view.header().biWidth);
  }
  return rows;
}

struct ImageCase {
  const char* what;
  PdfImage image;
  std::vector<std::vector<int>> grey;
};

TEST(PdfPageImage, TurnsEachSupportedKindIntoGrey) {
  const std::vector<std::uint8_t> rows3x2 = {0, 128, 255, 10, 20, 30};
  PdfImage plain = Grey8(3, 2, rows3x2);
  PdfImage flate = plain;
  flate.filter = PdfFilter::Flate;
  PdfImage inlineGrey = plain;
  inlineGrey.inlineImage = true;
  PdfImage rgb = Grey8(2, 1, {255, 0, 0, 0, 0, 255});
  rgb.colorSpace = "/DeviceRGB";
  PdfImage indexed8 = Grey8(2, 1, {0, 1});
  indexed8.colorSpace = "[/Indexed /DeviceRGB 1 <FFFFFF000000>]";
  PdfImage bilevel = Grey8(9, 2, PackBits1({{1, 0, 1, 0, 1, 0, 1, 0, 1}, {0, 0, 0, 0, 0, 0, 0, 0, 1}}));
  bilevel.bitsPerComponent = 1;
  PdfImage decoded = bilevel;
  decoded.decode = "[1 0]";
  PdfImage indexed1 = bilevel;
  indexed1.colorSpace = "[/Indexed /DeviceRGB 1 <FFFFFF000000>]";
  PdfImage mask = bilevel;
  mask.imageMask = true;
  PdfImage invertedMask = mask;
  invertedMask.decode = "[1 0]";
  PdfImage inlineMask = mask;
  inlineMask.inlineImage = true;
  orla::test::JpegSpec jpeg;
  jpeg.width = jpeg.height = 8;
  jpeg.samples.assign(64, 90);
  PdfImage dct = Grey8(8, 8, orla::test::EncodeJpeg(jpeg));
  dct.filter = PdfFilter::Dct;

  const std::vector<int> odd = {255, 0, 255, 0, 255, 0, 255, 0, 255};
  const std::vector<int> last = {0, 0, 0, 0, 0, 0, 0, 0, 255};
  auto inverse = [](std::vector<int> row) {
    for (int& v : row) v = 255 - v;
    return row;
  };
  const ImageCase cases[] = {
      {"8-bit grey", plain, {{0, 128, 255}, {10, 20, 30}}},
      {"Flate", flate, {{0, 128, 255}, {10, 20, 30}}},
      {"inline", inlineGrey, {{0, 128, 255}, {10, 20, 30}}},
      // The colour space's own grey: 0.3 R + 0.59 G + 0.11 B.
      {"8-bit RGB", rgb, {{77, 28}}},
      {"8-bit indexed", indexed8, {{255, 0}}},
      {"1-bit grey", bilevel, {odd, last}},
      {"1-bit with /Decode [1 0]", decoded, {inverse(odd), inverse(last)}},
      {"1-bit indexed", indexed1, {inverse(odd), inverse(last)}},
      {"image mask", mask, {odd, last}},
      {"image mask with /Decode [1 0]", invertedMask, {inverse(odd), inverse(last)}},
      {"inline image mask", inlineMask, {odd, last}},
  };
  for (const ImageCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(RenderPage1(c.image), c.grey);
  }
  const std::vector<std::vector<int>> fromJpeg = RenderPage1(dct);
  ASSERT_EQ(fromJpeg.size(), 8u);
  EXPECT_NEAR(fromJpeg[3][3], 90, 1);
}

TEST(PdfPageImage, KeepsTheImageSizeWhateverTheResolution) {
  for (int dpi : {72, 600}) {
    SCOPED_TRACE(dpi);
    PdfImage image = Grey8(1000, 1400, std::vector<std::uint8_t>(1000 * 1400, 200));
    image.filter = PdfFilter::Flate;
    PdfFile pdf({PdfPage{{image}, ""}}, dpi);
    ASSERT_NE(pdf.handle(), nullptr);
    PackedDib dib = PdfDib_GetPageDib(pdf.handle(), 1);
    ASSERT_NE(dib, nullptr);
    DibView view(dib);
    const BmpInfoHeader h = view.header();
    EXPECT_EQ(h.biWidth, 1000);
    EXPECT_EQ(h.biHeight, 1400);
    EXPECT_EQ(h.biBitCount, 8);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biSizeImage, 0u);
    EXPECT_EQ(h.biXPelsPerMeter, 0);
    EXPECT_EQ(view.stride(), 1000);
    EXPECT_EQ(view.blockSize(), 1000u * 1400 + 1064);
    EXPECT_TRUE(view.hasGreyPalette());
    EXPECT_EQ(view.storedRow(0)[999], 200);
  }
  // 9 pixels of 1 bit: 9 bytes of 0 or 255, then 3 padding bytes of 0.
  PdfImage bilevel = Grey8(9, 1, PackBits1({{1, 1, 1, 1, 1, 1, 1, 1, 1}}));
  bilevel.bitsPerComponent = 1;
  PdfFile pdf({PdfPage{{bilevel}, ""}});
  DibView view(PdfDib_GetPageDib(pdf.handle(), 1));
  ASSERT_TRUE(view.valid());
  EXPECT_EQ(view.stride(), 12);
  for (int x = 0; x < 12; ++x) EXPECT_EQ(view.storedRow(0)[x], x < 9 ? 255 : 0) << x;
}

TEST(PdfPageImage, GivesTheLastImageOfThePageWhenItIsSupported) {
  PdfImage first = Grey8(2, 1, {10, 10});
  PdfImage second = Grey8(3, 1, {20, 20, 20});
  PdfImage four = Grey8(2, 1, {0x12});
  four.bitsPerComponent = 4;
  PdfImage sixteen = Grey8(1, 1, {0xFF, 0xFF});
  sixteen.bitsPerComponent = 16;
  PdfImage rgb1 = Grey8(8, 1, {0, 0, 0});
  rgb1.colorSpace = "/DeviceRGB";
  rgb1.bitsPerComponent = 1;
  struct Case {
    const char* what;
    PdfPage page;
    int width;     // of the bitmap, 0 for none
    int noImage;   // PdfDib_PageHasNoImage: the page draws no image of any kind
  };
  const Case cases[] = {
      {"two images", {{first, second}, ""}, 3, 0},
      {"4-bit after 8-bit", {{first, four}, ""}, 0, 0},
      {"8-bit after 4-bit", {{four, first}, ""}, 2, 0},
      {"16-bit", {{sixteen}, ""}, 0, 0},
      {"1-bit RGB", {{rgb1}, ""}, 0, 0},
      {"text only", {{}, "Hello"}, 0, 1},
      {"text after an image", {{first}, "Hello"}, 2, 0},
      {"empty page", {{}, ""}, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::size_t before = orla::LiveBlockCount();
    {
      PdfFile pdf({c.page});
      ASSERT_NE(pdf.handle(), nullptr);
      PackedDib dib = PdfDib_GetPageDib(pdf.handle(), 1);
      EXPECT_EQ(dib == nullptr ? 0 : DibView(dib).header().biWidth, c.width);
      EXPECT_EQ(PdfDib_PageHasNoImage(pdf.handle()), c.noImage);
      // Every replaced image was freed: at most the page's one bitmap is alive.
      EXPECT_EQ(orla::LiveBlockCount(), before + (dib != nullptr ? 1 : 0));
    }
    EXPECT_EQ(orla::LiveBlockCount(), before);
  }
}

TEST(PdfPageImage, SurvivesImagesTooLargeForAPage) {
  // Too large for a bitmap: nothing is allocated.
  PdfImage wide = Grey8(1 << 20, 1 << 12, {});
  EXPECT_EQ(RenderPage1(wide), std::vector<std::vector<int>>{});
  // A line too long for the library's image stream: the bitmap stays as allocated.
  PdfImage cmyk = Grey8(100'000'000, 1, {1, 2, 3, 4});
  cmyk.colorSpace = "/DeviceCMYK";
  PdfFile pdf({PdfPage{{cmyk}, ""}});
  PackedDib dib = PdfDib_GetPageDib(pdf.handle(), 1);
  if (dib != nullptr) {
    EXPECT_EQ(DibView(dib).header().biWidth, 100'000'000);
  }
}

using orla::test::RecordingReadProgress;

// The rows reported for images, in order (the other reports are checks between them).
std::vector<std::pair<std::int64_t, std::int64_t>> RowsOf(const RecordingReadProgress& progress) {
  std::vector<std::pair<std::int64_t, std::int64_t>> rows;
  for (const auto& r : progress.reports) {
    if (r.second != 0) rows.push_back(r);
  }
  return rows;
}

TEST(PdfPageImage, TellsTheRowsOfEachImageAndStopsWhenAsked) {
  PdfImage grey = Grey8(5, 4, std::vector<std::uint8_t>(20, 90));
  grey.filter = PdfFilter::Flate;
  PdfImage bilevel = Grey8(9, 3, PackBits1({{1, 0, 1, 0, 1, 0, 1, 0, 1}, {0}, {1}}));
  bilevel.bitsPerComponent = 1;
  PdfFile pdf({PdfPage{{grey, bilevel}, ""}});
  ASSERT_NE(pdf.handle(), nullptr);
  const std::size_t before = orla::LiveBlockCount();

  RecordingReadProgress progress;
  PackedDib dib = PdfDib_GetPageDib(pdf.handle(), 1, &progress);
  ASSERT_NE(dib, nullptr);
  EXPECT_EQ(DibView(dib).header().biWidth, 9);
  const std::vector<std::pair<std::int64_t, std::int64_t>> rows = {{1, 4}, {2, 4}, {3, 4}, {4, 4},
                                                                   {1, 3}, {2, 3}, {3, 3}};
  EXPECT_EQ(RowsOf(progress), rows);

  // Stopped in the first image: no bitmap and no verdict on the page's images; the second
  // image is not read, and nothing is left behind.
  RecordingReadProgress stopping;
  stopping.stopAt = 2;
  EXPECT_EQ(PdfDib_GetPageDib(pdf.handle(), 1, &stopping), nullptr);
  EXPECT_EQ(stopping.reports.size(), 2u);
  EXPECT_EQ(PdfDib_PageHasNoImage(pdf.handle()), 0);
  PdfDib_ReleasePage(pdf.handle());
  EXPECT_EQ(orla::LiveBlockCount(), before);
  // The next reading of the page starts afresh.
  EXPECT_NE(PdfDib_GetPageDib(pdf.handle(), 1), nullptr);

  // Between a page's many drawing operations the progress is told too, and a stop ends the page.
  std::vector<PdfImage> many(40, Grey8(1, 1, {7}));
  for (PdfImage& image : many) image.inlineImage = true;
  PdfFile busy({PdfPage{many, ""}});
  RecordingReadProgress between;
  EXPECT_NE(PdfDib_GetPageDib(busy.handle(), 1, &between), nullptr);
  const std::size_t checks = between.reports.size() - RowsOf(between).size();
  EXPECT_GE(checks, 1u);
  EXPECT_EQ(RowsOf(between).size(), 40u);
  RecordingReadProgress stopBetween;
  for (std::size_t i = 0; i < between.reports.size(); ++i) {
    if (between.reports[i].second == 0) {
      stopBetween.stopAt = static_cast<int>(i) + 1;
      break;
    }
  }
  EXPECT_EQ(PdfDib_GetPageDib(busy.handle(), 1, &stopBetween), nullptr);
  EXPECT_LT(RowsOf(stopBetween).size(), 40u);
  EXPECT_EQ(stopBetween.reports.size(), static_cast<std::size_t>(stopBetween.stopAt));
}

TEST(PdfDibHandle, OwnsEachPageBitmapUntilReleasedOrReplaced) {
  const std::size_t before = orla::LiveBlockCount();
  PdfFile pdf({PdfPage{{Grey8(1, 1, {1})}, ""}, PdfPage{{}, "text"}, PdfPage{{Grey8(2, 2, {3, 3, 3, 3})}, ""}});
  ASSERT_NE(pdf.handle(), nullptr);
  EXPECT_EQ(PdfDib_GetPageCount(pdf.handle()), 3);
  EXPECT_EQ(std::string(pdf.handle()->tag), "20110705");
  EXPECT_NE(pdf.handle()->fileName, nullptr);

  PackedDib first = PdfDib_GetPageDib(pdf.handle(), 1);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(orla::LiveBlockCount(), before + 1);
  CHalvoPic pic;
  ASSERT_EQ(pic.LoadFromDib(first), 1);
  EXPECT_EQ(pic.dpiX, 200);  // no stated resolution: the raster image's default

  EXPECT_EQ(PdfDib_GetPageDib(pdf.handle(), 2), nullptr);
  EXPECT_NE(pdf.handle()->pageDevice, nullptr);
  EXPECT_EQ(PdfDib_PageHasNoImage(pdf.handle()), 1);
  pdf.handle()->magic = 2.0f;
  EXPECT_EQ(PdfDib_PageHasNoImage(pdf.handle()), 0);  // a foreign handle tells nothing
  pdf.handle()->magic = kPdfDibMagic;
  EXPECT_EQ(orla::LiveBlockCount(), before);  // the next page freed the first bitmap
  EXPECT_NE(PdfDib_GetPageDib(pdf.handle(), 3), nullptr);
  PdfDib_GetPageDib(pdf.handle(), 2);
  PdfDib_ReleasePage(pdf.handle());
  EXPECT_EQ(pdf.handle()->pageDevice, nullptr);
  EXPECT_EQ(PdfDib_PageHasNoImage(pdf.handle()), 0);  // no page rendered now
  EXPECT_EQ(orla::LiveBlockCount(), before);
  PdfDib_ReleasePage(pdf.handle());  // twice is harmless

  for (int page : {0, 4, -1}) {
    SCOPED_TRACE(page);
    EXPECT_NE(PdfDib_GetPageDib(pdf.handle(), 3), nullptr);
    EXPECT_EQ(PdfDib_GetPageDib(pdf.handle(), page), nullptr);
    EXPECT_EQ(pdf.handle()->pageDevice, nullptr);
    EXPECT_EQ(PdfDib_PageHasNoImage(pdf.handle()), 0);
    EXPECT_EQ(orla::LiveBlockCount(), before);
  }
  // Closing with a page still out frees it.
  EXPECT_NE(PdfDib_GetPageDib(pdf.handle(), 1), nullptr);
}

TEST(PdfDibHandle, RefusesForeignHandles) {
  PdfFile pdf({PdfPage{{Grey8(1, 1, {1})}, ""}});
  ASSERT_NE(pdf.handle(), nullptr);
  pdf.handle()->magic = 2.0f;
  EXPECT_EQ(PdfDib_GetPageCount(pdf.handle()), 0);
  EXPECT_EQ(PdfDib_GetPageDib(pdf.handle(), 1), nullptr);
  PdfDib_Close(pdf.handle());  // refused: the handle is still there
  pdf.handle()->magic = kPdfDibMagic;
  EXPECT_EQ(PdfDib_GetPageCount(pdf.handle()), 1);

  EXPECT_EQ(PdfDib_GetPageCount(nullptr), 0);
  EXPECT_EQ(PdfDib_GetPageDib(nullptr, 1), nullptr);
  EXPECT_EQ(PdfDib_PageHasNoImage(nullptr), 0);
  PdfDib_ReleasePage(nullptr);
  PdfDib_Close(nullptr);
}

TEST(PdfDibHandle, OpenFailsForDocumentsItCannotRead) {
  TempFile garbage(std::vector<std::uint8_t>{'%', 'P', 'D', 'F', '-', '1', '.', '4', '\n', 'x'}, ".pdf");
  TempFile empty(std::vector<std::uint8_t>{}, ".pdf");
  const char* names[] = {nullptr, "", "/nonexistent/page.pdf", garbage.path().c_str(), empty.path().c_str()};
  for (const char* name : names) {
    SCOPED_TRACE(name == nullptr ? "null" : name);
    EXPECT_EQ(PdfDib_Open(name, nullptr, nullptr, 600), nullptr);
  }
}

TEST(PdfDibHandle, KeepsTheLibrarySetUpWhileAnyDocumentIsOpen) {
  const std::vector<PdfPage> pages = {PdfPage{{Grey8(2, 1, {5, 6})}, ""}};
  auto first = std::make_unique<PdfFile>(pages);
  PdfFile second(pages, 300);
  ASSERT_NE(first->handle(), nullptr);
  ASSERT_NE(second.handle(), nullptr);
  EXPECT_NE(PdfDib_GetPageDib(first->handle(), 1), nullptr);
  first.reset();
  // Closing one document left the other one's library state in place.
  PackedDib dib = PdfDib_GetPageDib(second.handle(), 1);
  ASSERT_NE(dib, nullptr);
  EXPECT_EQ(DibView(dib).pageRow(0)[1], 6);
  // Passwords that a plain document does not need are accepted.
  TempFile file(BuildPdf(pages), ".pdf");
  PdfDibHandle* withPasswords = PdfDib_Open(file.path().c_str(), "owner", "", 600);
  ASSERT_NE(withPasswords, nullptr);
  EXPECT_EQ(PdfDib_GetPageCount(withPasswords), 1);
  PdfDib_Close(withPasswords);
}

}  // namespace
