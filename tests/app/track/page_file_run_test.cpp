// The file side of Track over the real page readers, on files the pattern writer's page
// files make. The recognizer here is scripted by the page's grey level, so each page of a
// multi-page file can be steered to be found, to hold nothing or to be cancelled; the real
// recognizer on pattern pages is the Wine end-to-end test's part.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "lang/message_ids.h"
#include "page_files.h"
#include "pdf_writer.h"
#include "recognize_result.h"
#include "scripted_progress.h"
#include "tiff_writer.h"
#include "track/page_file_run.h"

namespace orla {
namespace {

using pattern::GreyPage;

// Grey levels that steer the scripted recognizer.
constexpr int kFoundGrey = 20;
constexpr int kNothingGrey = 128;
constexpr int kCancelGrey = 230;

GreyPage Page(int grey, int width = 48, int height = 40) {
  GreyPage page;
  page.width = width;
  page.height = height;
  page.dpi = 300;
  page.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), static_cast<std::uint8_t>(grey));
  return page;
}

// Reads the page's top-left grey level: dark is found (a record naming the page is appended,
// as the real recognizer appends its own), middle is nothing, light is a cancel.
class ScriptedRecognizer : public CGetPosition {
 public:
  explicit ScriptedRecognizer(std::vector<TrackingRecord>& records) : records_(records) {}
  RecognizeResult Recognize(CHalvoPic* page, int singlePass) override {
    pages.push_back(page->pageNumber);
    singlePasses.push_back(singlePass);
    sawProgress = page->progress != nullptr;
    const int grey = page->rows[0][0];
    if (grey < 64) {
      TrackingRecord record{};
      std::snprintf(record.SerialNumber, sizeof record.SerialNumber, "page%d", page->pageNumber);
      record.Valid = 1;
      records_.push_back(record);
      return kRecognizeFound;
    }
    return grey < 192 ? kRecognizeNothingFound : kRecognizeCancelled;
  }
  std::vector<int> pages;
  std::vector<int> singlePasses;
  bool sawProgress = false;

 private:
  std::vector<TrackingRecord>& records_;
};

class RecordingHost : public FileRunHost {
 public:
  ProgressSink* OpenProgress() override {
    calls.push_back("open");
    return &progress;
  }
  void CloseProgress() override { calls.push_back("close"); }
  void ClearProgress() override { calls.push_back("clear"); }
  void ShowPageText(int page) override { calls.push_back("text " + std::to_string(page)); }
  void ProgressToFront() override { calls.push_back("front"); }
  void ReportToDialog(int id) override { calls.push_back("dialog " + std::to_string(id)); }
  void ReportNothingFound() override { calls.push_back("nothing"); }
  void FinishRun() override { calls.push_back("finish"); }
  test::ScriptedProgress progress{0, 100};
  std::vector<std::string> calls;
};

class PageFileRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("orla_file_run_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Path(const char* name) const { return (dir_ / name).string(); }

  std::vector<std::string> Run(PageFileType type, const std::string& path) {
    RunPageFile(type, path, recognizer, records, host);
    return host.calls;
  }

  std::vector<std::string> Serials() const {
    std::vector<std::string> out;
    for (const auto& r : records) out.emplace_back(r.Valid != 0 ? r.SerialNumber : "-");
    return out;
  }

  std::filesystem::path dir_;
  std::vector<TrackingRecord> records;
  ScriptedRecognizer recognizer{records};
  RecordingHost host;
};

using Calls = std::vector<std::string>;

TEST_F(PageFileRunTest, OneBmpPageFound) {
  ASSERT_TRUE(pattern::WriteBmpFile(Page(kFoundGrey), Path("a.bmp")));
  EXPECT_EQ(Run(PageFileType::Bmp, Path("a.bmp")), (Calls{"open", "text 1", "front", "finish", "close"}));
  EXPECT_EQ(Serials(), (std::vector<std::string>{"page1"}));
  EXPECT_EQ(recognizer.singlePasses, (std::vector<int>{0}));
  EXPECT_TRUE(recognizer.sawProgress);
}

TEST_F(PageFileRunTest, OneJpegPageWithNothingGetsAnEmptyRecord) {
  ASSERT_TRUE(pattern::WriteJpegFile(Page(kNothingGrey), Path("a.jpg")));
  EXPECT_EQ(Run(PageFileType::Jpeg, Path("a.jpg")), (Calls{"open", "text 1", "front", "nothing", "finish", "close"}));
  ASSERT_EQ(records.size(), 1U);
  EXPECT_EQ(records[0].Valid, 0);
  EXPECT_EQ(records[0].SerialNumber[0], '\0');
}

TEST_F(PageFileRunTest, ThreePageTiffWithAnEmptyMiddlePage) {
  const std::vector<GreyPage> pages{Page(kFoundGrey), Page(kNothingGrey), Page(kFoundGrey)};
  ASSERT_TRUE(pattern::WriteTiffFile(pages, Path("a.tif")));
  EXPECT_EQ(Run(PageFileType::Tiff, Path("a.tif")),
            (Calls{"open", "clear", "text 1", "finish", "clear", "text 2", "front", "nothing", "finish", "clear",
                   "text 3", "finish", "close"}));
  EXPECT_EQ(Serials(), (std::vector<std::string>{"page1", "-", "page3"}));
  EXPECT_EQ(recognizer.pages, (std::vector<int>{1, 2, 3}));
}

TEST_F(PageFileRunTest, CancelDuringPageTwoOfAPdfStopsTheFile) {
  const std::vector<GreyPage> pages{Page(kFoundGrey), Page(kCancelGrey), Page(kFoundGrey)};
  ASSERT_TRUE(pattern::WritePdfFile(pages, Path("a.pdf")));
  EXPECT_EQ(Run(PageFileType::Pdf, Path("a.pdf")),
            (Calls{"open", "clear", "text 1", "finish", "clear", "text 2", "close"}));
  EXPECT_EQ(Serials(), (std::vector<std::string>{"page1"}));
}

TEST_F(PageFileRunTest, CancelOnTheOnlyPageReportsNothing) {
  ASSERT_TRUE(pattern::WriteBmpFile(Page(kCancelGrey), Path("a.bmp")));
  EXPECT_EQ(Run(PageFileType::Bmp, Path("a.bmp")), (Calls{"open", "text 1", "front", "close"}));
  EXPECT_TRUE(records.empty());
}

std::string Text(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// A PDF image of 4 bits a sample: an image the PDF reader does not read.
test::PdfImage FourBitImage() {
  test::PdfImage image;
  image.width = 2;
  image.bitsPerComponent = 4;
  image.data = {0x12};
  return image;
}

TEST_F(PageFileRunTest, FilesThatGiveNoPageSayWhyAndKeepTheList) {
  records.push_back(TrackingRecord{});  // an earlier run's record stays
  WriteBytes(Path("bad.bmp"), "BM this is no bitmap");
  WriteBytes(Path("bad.jpg"), "\xFF\xD8 no JPEG");
  WriteBytes(Path("bad.tif"), "II no TIFF");
  WriteBytes(Path("bad.pdf"), "%PDF-1.4 broken");
  WriteBytes(Path("none.pdf"), Text(test::BuildPdf({})));
  WriteBytes(Path("four.pdf"), Text(test::BuildPdf({test::PdfPage{{FourBitImage()}, ""}})));
  const struct {
    PageFileType type;
    std::string path;
    Calls calls;
  } cases[] = {
      {PageFileType::Empty, Path("empty.bmp"), {"dialog 12"}},
      {PageFileType::Unsupported, Path("x.txt"), {"dialog 12"}},
      {PageFileType::Bmp, Path("bad.bmp"), {"dialog 12"}},
      {PageFileType::Jpeg, Path("bad.jpg"), {"dialog 12"}},
      {PageFileType::Tiff, Path("bad.tif"), {"dialog 12"}},
      {PageFileType::Pdf, Path("bad.pdf"), {"dialog 12"}},
      // A document without pages still shows and closes its progress window.
      {PageFileType::Pdf, Path("none.pdf"), {"open", "close", "dialog 12"}},
      // Its one image is of a kind not read.
      {PageFileType::Pdf, Path("four.pdf"), {"open", "close", "dialog 12"}},
  };
  for (const auto& c : cases) {
    host.calls.clear();
    EXPECT_EQ(Run(c.type, c.path), c.calls) << c.path;
  }
  EXPECT_EQ(records.size(), 1U);
  EXPECT_TRUE(recognizer.pages.empty());
}

TEST_F(PageFileRunTest, AnUnreadableTiffPageEndsTheRunReportedOnceAndKeepsTheEarlierPages) {
  // A listed page that claims RGB with one sample, which no reader can turn into pixels:
  // message 12 once, owned by the dialog, the progress window closed after it; the records of
  // the pages before it stay, the pages after it are not read.
  const auto page = [](std::uint32_t photometric) {
    test::RawTiffDirectory directory = test::RawGreyDirectory(48, 40);
    for (auto& entry : directory.entries) {
      if (entry.tag == 262) entry.value = photometric;
    }
    directory.strip.assign(directory.strip.size(), static_cast<std::uint8_t>(kFoundGrey));
    return directory;
  };
  constexpr std::uint32_t kGrey = 1, kUnreadable = 2;
  const struct {
    std::vector<std::uint32_t> pages;
    Calls calls;
    std::vector<std::string> serials;
  } cases[] = {
      {{kGrey, kUnreadable, kGrey}, {"open", "clear", "text 1", "finish", "dialog 12", "close"}, {"page1"}},
      {{kUnreadable, kGrey}, {"open", "dialog 12", "close"}, {}},
  };
  for (const auto& c : cases) {
    std::vector<test::RawTiffDirectory> directories;
    for (std::uint32_t photometric : c.pages) directories.push_back(page(photometric));
    const auto bytes = test::BuildRawTiff(directories);
    WriteBytes(Path("a.tif"), std::string(bytes.begin(), bytes.end()));
    host.calls.clear();
    records.clear();
    EXPECT_EQ(Run(PageFileType::Tiff, Path("a.tif")), c.calls);
    EXPECT_EQ(Serials(), c.serials);
  }
}

TEST_F(PageFileRunTest, PdfPagesWithoutAnImageHaveNoPatternAndPagesWithAnUnreadImageAreSkipped) {
  // A page of text alone, or an empty one, has no image to search: an empty record and
  // message 18 in its place, as a blank scan. A page whose image is of a kind not read (4 bits
  // a sample) is skipped without a record or a message. A file of text pages alone is no
  // unsupported file.
  const auto image = [](int grey) {
    test::PdfImage i;
    i.width = 32;
    i.height = 24;
    i.data.assign(32 * 24, static_cast<std::uint8_t>(grey));
    return test::PdfPage{{i}, ""};
  };
  const test::PdfPage text{{}, "no image here"};
  const struct {
    const char* name;
    std::vector<test::PdfPage> pages;
    Calls calls;
    std::vector<std::string> serials;
    std::vector<int> recognized;
  } cases[] = {
      {"mixed.pdf",
       {image(kFoundGrey), text, test::PdfPage{{FourBitImage()}, ""}, test::PdfPage{}, image(kNothingGrey)},
       {"open", "clear", "text 1", "finish", "clear", "text 2", "front", "nothing", "finish", "clear", "text 4",
        "front", "nothing", "finish", "clear", "text 5", "front", "nothing", "finish", "close"},
       {"page1", "-", "-", "-"},
       {1, 5}},
      {"text.pdf",
       {text, text},
       {"open", "clear", "text 1", "front", "nothing", "finish", "clear", "text 2", "front", "nothing", "finish",
        "close"},
       {"-", "-"},
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(Path(c.name), Text(test::BuildPdf(c.pages)));
    host.calls.clear();
    records.clear();
    recognizer.pages.clear();
    EXPECT_EQ(Run(PageFileType::Pdf, Path(c.name)), c.calls);
    EXPECT_EQ(Serials(), c.serials);
    EXPECT_EQ(recognizer.pages, c.recognized);
  }
}

}  // namespace
}  // namespace orla
