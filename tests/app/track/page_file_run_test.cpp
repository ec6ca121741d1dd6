// The file side of Track over the real page readers, on files the pattern writer's page
// files make. The recognizer here is scripted by the page's grey level, so each page of a
// multi-page file can be steered to be found, to hold nothing or to be cancelled; the real
// recognizer on pattern pages is the Wine end-to-end test's part.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "lang/message_ids.h"
#include "mem_block.h"
#include "page_files.h"
#include "pdf_writer.h"
#include "recognize_result.h"
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
      if (page->progress != nullptr) page->progress->SetPos(100);
      return kRecognizeFound;
    }
    // As the real recognizer, it leaves the bar at 100 whatever it found.
    if (page->progress != nullptr) page->progress->SetPos(100);
    return grey < 192 ? kRecognizeNothingFound : kRecognizeCancelled;
  }
  std::vector<int> pages;
  std::vector<int> singlePasses;
  bool sawProgress = false;

 private:
  std::vector<TrackingRecord>& records_;
};

// The progress window as the run drives it: every position and pump noted, Cancel pressed at
// the first pump where `pressCancel` says so. Clear does what the real window's does.
class RecordingProgress final : public ProgressSink {
 public:
  bool IsAlive() const override { return true; }
  int Position() const override { return position_; }
  int PassEnd() const override { return passEnd_; }
  void SetPassEnd(int end) override { passEnd_ = end; }
  void SetPos(int position) override {
    position_ = position;
    positions.push_back(position);
  }
  void PumpMessages() override {
    ++pumps;
    if (!cancelled && pressCancel && pressCancel(position_)) {
      cancelled = true;
      cancelledAt = position_;
    }
  }
  bool Cancelled() const override { return cancelled; }
  void Clear() {
    SetPos(0);
    cancelled = false;
  }

  std::function<bool(int position)> pressCancel;
  bool cancelled = false;
  int cancelledAt = -1;
  std::vector<int> positions;
  int pumps = 0;

 private:
  int position_ = 0;
  int passEnd_ = 100;
};

class RecordingHost : public FileRunHost {
 public:
  ProgressSink* OpenProgress() override {
    calls.push_back("open");
    return &progress;
  }
  void CloseProgress() override { calls.push_back("close"); }
  void ClearProgress() override {
    calls.push_back("clear");
    progress.Clear();
  }
  void ShowPageText(int page) override {
    calls.push_back("text " + std::to_string(page));
    if (page == pressCancelOnPage) progress.pressCancel = pressCancel;
  }
  void ProgressToFront() override { calls.push_back("front"); }
  void ReportToDialog(int id) override { calls.push_back("dialog " + std::to_string(id)); }
  void ReportNothingFound() override { calls.push_back("nothing"); }
  void FinishRun() override {
    calls.push_back("finish");
    if (++finished == cancelAsPageEnds) progress.cancelled = true;
  }
  RecordingProgress progress;
  std::vector<std::string> calls;
  // Scripts for Cancel: pressed while page `pressCancelOnPage` is read, at the first pump
  // where `pressCancel` holds; or pressed as page `cancelAsPageEnds` ends (0: never).
  int pressCancelOnPage = 0;
  std::function<bool(int position)> pressCancel;
  int cancelAsPageEnds = 0;
  int finished = 0;
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

// Pages tall enough to be read in several bands and many rows.
std::vector<GreyPage> TallPages(int count) { return std::vector<GreyPage>(count, Page(kFoundGrey, 48, 300)); }

TEST_F(PageFileRunTest, CancelWhileAPageIsReadEndsTheFileAtOnce) {
  // The window's message loop turns in every step of reading a page; a Cancel there ends the
  // file as one during recognition does: the page is not recognized, the pages before it keep
  // their records, no message, and every bitmap is freed. The bar's stretch tells the step.
  ASSERT_TRUE(pattern::WriteTiffFile(TallPages(3), Path("a.tif")));
  ASSERT_TRUE(pattern::WritePdfFile(TallPages(3), Path("a.pdf")));
  const struct {
    const char* what;
    PageFileType type;
    const char* path;
    int from, to;  // of the bar, while the step runs
  } cases[] = {
      {"TIFF, decoding", PageFileType::Tiff, "a.tif", 0, 15},
      {"TIFF, loading the bitmap", PageFileType::Tiff, "a.tif", 15, 20},
      {"TIFF, grey conversion", PageFileType::Tiff, "a.tif", 20, 25},
      {"PDF, rendering", PageFileType::Pdf, "a.pdf", 0, 15},
      {"PDF, loading the bitmap", PageFileType::Pdf, "a.pdf", 15, 20},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    records.clear();
    recognizer.pages.clear();
    host = RecordingHost{};
    host.pressCancelOnPage = 2;
    const int from = c.from, to = c.to;
    host.pressCancel = [from, to](int position) { return position > from && position < to; };
    const std::size_t before = LiveBlockCount();
    EXPECT_EQ(Run(c.type, Path(c.path)), (Calls{"open", "clear", "text 1", "finish", "clear", "text 2", "close"}));
    EXPECT_GT(host.progress.cancelledAt, c.from);
    EXPECT_LT(host.progress.cancelledAt, c.to);
    EXPECT_EQ(Serials(), (std::vector<std::string>{"page1"}));
    EXPECT_EQ(recognizer.pages, (std::vector<int>{1}));
    EXPECT_EQ(LiveBlockCount(), before);
  }
}

TEST_F(PageFileRunTest, ACancelPressedAsAPageEndsStopsTheFileBeforeTheNextPage) {
  // Cancel taken by the window as the last page's bar reached 100: clearing the window for the
  // next page would forget it.
  ASSERT_TRUE(pattern::WriteTiffFile(TallPages(3), Path("a.tif")));
  ASSERT_TRUE(pattern::WritePdfFile(TallPages(3), Path("a.pdf")));
  for (const auto& [type, path] : {std::pair{PageFileType::Tiff, "a.tif"}, std::pair{PageFileType::Pdf, "a.pdf"}}) {
    SCOPED_TRACE(path);
    records.clear();
    recognizer.pages.clear();
    host = RecordingHost{};
    host.cancelAsPageEnds = 1;
    EXPECT_EQ(Run(type, Path(path)), (Calls{"open", "clear", "text 1", "finish", "close"}));
    EXPECT_EQ(Serials(), (std::vector<std::string>{"page1"}));
  }
}

TEST_F(PageFileRunTest, TheBarFillsItsFirstQuarterAsAPageIsReadAndReachesTheEndOnlyWhenItIsDone) {
  // Each page starts from an empty bar; reading moves it up to 25, never back, with the
  // window's loop turning all the while; the recognizer takes it on from there to 100.
  ASSERT_TRUE(pattern::WriteTiffFile(TallPages(2), Path("a.tif")));
  ASSERT_TRUE(pattern::WritePdfFile(TallPages(2), Path("a.pdf")));
  for (const auto& [type, path] : {std::pair{PageFileType::Tiff, "a.tif"}, std::pair{PageFileType::Pdf, "a.pdf"}}) {
    SCOPED_TRACE(path);
    host = RecordingHost{};
    Run(type, Path(path));
    // The positions of each page, from its clearing on.
    std::vector<std::vector<int>> pages;
    for (const int position : host.progress.positions) {
      if (position == 0 && (pages.empty() || pages.back().back() == 100)) pages.emplace_back();
      pages.back().push_back(position);
    }
    ASSERT_EQ(pages.size(), 2u);
    for (const std::vector<int>& positions : pages) {
      ASSERT_GE(positions.size(), 3u);
      EXPECT_EQ(positions.back(), 100);
      const std::vector<int> reading(positions.begin(), positions.end() - 1);
      EXPECT_TRUE(std::is_sorted(reading.begin(), reading.end()));
      EXPECT_EQ(reading.back(), 25);
      EXPECT_GE(std::set<int>(reading.begin(), reading.end()).size(), 10u) << "the bar moves as the page is read";
    }
    EXPECT_GE(host.progress.pumps, 300);
  }
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
      // Its one image is of a kind not read; the window named the page as it was read.
      {PageFileType::Pdf, Path("four.pdf"), {"open", "clear", "text 1", "close", "dialog 12"}},
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
      {{kGrey, kUnreadable, kGrey},
       {"open", "clear", "text 1", "finish", "clear", "text 2", "dialog 12", "close"},
       {"page1"}},
      {{kUnreadable, kGrey}, {"open", "clear", "text 1", "dialog 12", "close"}, {}},
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
       {"open", "clear", "text 1", "finish", "clear", "text 2", "front", "nothing", "finish", "clear", "text 3",
        "clear", "text 4", "front", "nothing", "finish", "clear", "text 5", "front", "nothing", "finish", "close"},
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
