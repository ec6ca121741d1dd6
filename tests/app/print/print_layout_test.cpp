// The line printer and the printed result sheet against a recording device: line breaks,
// page breaks at the exact boundary, header and footer, the six blocks, failures.

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "print/mul_div.h"
#include "print/record_time.h"
#include "print/result_sheet.h"
#include "print/text_print_job.h"

namespace {

// Every character is half the font's height wide; a line is as high as the font.
class RecordingDevice : public orla::PrintDevice {
 public:
  struct Drawn {
    std::string kind;  // "text", "rule", "start", "end"
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::string text;
    orla::PrintFont font;
  };

  std::int32_t LogPixelsY() const override { return 600; }
  int CreatePrintFont(const orla::PrintFont& font) override {
    if (failFonts) return -1;
    fonts.push_back(font);
    return static_cast<int>(fonts.size()) - 1;
  }
  void SelectPrintFont(int font) override { selected = font; }
  orla::TextExtent MeasureText(std::string_view text) override {
    const std::int32_t h = -fonts.at(static_cast<std::size_t>(selected)).height;
    return {static_cast<std::int32_t>(text.size()) * (h / 2), h};
  }
  void DrawTextAt(std::int32_t x, std::int32_t y, std::string_view text) override {
    drawn.push_back({"text", x, y, std::string(text), fonts.at(static_cast<std::size_t>(selected))});
  }
  void DrawDottedRule(std::int32_t x1, std::int32_t x2, std::int32_t y) override {
    drawn.push_back({"rule", x1, y, std::to_string(x2), {}});
  }
  bool StartPage() override {
    drawn.push_back({"start", 0, 0, "", {}});
    return ++starts != failStartPage;
  }
  bool EndPage() override {
    drawn.push_back({"end", 0, 0, "", {}});
    return true;
  }

  std::vector<Drawn> Texts() const {
    std::vector<Drawn> out;
    for (const Drawn& d : drawn) {
      if (d.kind == "text") out.push_back(d);
    }
    return out;
  }

  std::vector<orla::PrintFont> fonts;
  int selected = -1;
  std::vector<Drawn> drawn;
  int starts = 0;
  int failStartPage = 0;  // the number of the StartPage call that fails; 0 none
  bool failFonts = false;
};

// A job with one 10-point set (characters 41 dots wide, lines 83 high, gap 42) and no margins.
struct Job {
  RecordingDevice device;
  CTextPrintJob job{device};
  explicit Job(std::int32_t width, std::int32_t height = 100000) {
    job.AddFontSet("F", 10);
    job.m_nPageWidth = width;
    job.m_nPageHeight = height;
    job.m_nLineSpacing = 5;
  }
  std::vector<std::string> Lines() const {
    std::vector<std::string> out;
    for (const auto& d : device.Texts()) out.push_back(d.text);
    return out;
  }
};

TEST(MulDivRound, RoundsHalvesAwayFromZero) {
  EXPECT_EQ(orla::MulDivRound(10, 600, 72), 83);
  EXPECT_EQ(orla::MulDivRound(40, 600, 72), 333);
  EXPECT_EQ(orla::MulDivRound(5, 600, 72), 42);
  EXPECT_EQ(orla::MulDivRound(3, 3, 2), 5);
  EXPECT_EQ(orla::MulDivRound(-3, 3, 2), -5);
  EXPECT_EQ(orla::MulDivRound(3, -3, -2), 5);
  EXPECT_EQ(orla::MulDivRound(1, 1, 0), -1);
  EXPECT_EQ(orla::MulDivRound(INT32_MAX, 2, 1), -1);
}

struct WrapCase {
  const char* text;
  std::int32_t width;
  std::vector<std::string> lines;
};

TEST(TextPrintJob, LineBreaks) {
  const WrapCase cases[] = {
      // Exactly as wide as the page: one line.
      {"abcd", 164, {"abcd"}},
      // One dot wider: the chunk that reaches the width is the whole text, printed once.
      {"abcd", 163, {"abcd"}},
      // A blank close to the end of the chunk: the line ends behind it.
      {"aaaa bbbb cccc", 410, {"aaaa bbbb ", "cccc"}},
      // No blank: broken at the width, until the text is used up.
      {"abcdefghijklmnopqrstuvwxyz0123", 410, {"abcdefghij", "klmnopqrst", "uvwxyz0123"}},
      // 19 characters behind the last blank of a 25-character chunk: break at the blank.
      {"abcde fghijklmnopqrstuvwxyz0123", 1025, {"abcde ", "fghijklmnopqrstuvwxyz0123"}},
      // 20 characters behind it: break at the width instead.
      {"abcd efghijklmnopqrstuvwxyz0123", 1025, {"abcd efghijklmnopqrstuvwx", "yz0123"}},
      // The blank-break takes more lines than the width alone would: all are printed.
      {"aaaaaaa bbbbbbb ccccccc ddddddd", 410, {"aaaaaaa ", "bbbbbbb ", "ccccccc ", "ddddddd"}},
      // A page no wider than its margins: no wrapping (and no division by zero).
      {"abcd efgh", 0, {"abcd efgh"}},
      {"abcd efgh", -50, {"abcd efgh"}},
  };
  for (const WrapCase& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " in " + std::to_string(c.width));
    Job j(c.width);
    j.job.PrintLine(0, c.text, CTextPrintJob::kLeft, 0);
    EXPECT_EQ(j.Lines(), c.lines);
  }
}

TEST(TextPrintJob, PositionsLinesAndAdvances) {
  Job j(1000);
  j.job.m_rcMargin = {100, 0, 100, 0};  // W = 800
  j.job.m_nY = 7;
  j.job.PrintLine(0, "abcd", CTextPrintJob::kCentre, 0);           // 164 wide
  j.job.PrintLine(0, "abcd", CTextPrintJob::kFlushRight, 5);
  j.job.PrintLine(0, "", CTextPrintJob::kStayOnLine | CTextPrintJob::kLeft, 0);
  j.job.SkipLines(0, 1);
  j.job.DrawRule();
  const auto& d = j.device.drawn;
  ASSERT_EQ(d.size(), 5u);
  EXPECT_EQ(d[0].x, 100 + 400 - 82);
  EXPECT_EQ(d[0].y, 7);
  EXPECT_EQ(d[1].x, 100 + 800 - 164 + 5);
  EXPECT_EQ(d[1].y, 7 + 125);
  EXPECT_EQ(d[2].y, 7 + 250);  // an empty line is as high as "A"
  EXPECT_EQ(d[3].y, 7 + 250);  // the previous line stayed
  EXPECT_EQ(d[4].kind, "rule");
  EXPECT_EQ(d[4].x, 100);
  EXPECT_EQ(d[4].text, "900");
  EXPECT_EQ(d[4].y, 7 + 375);
  EXPECT_EQ(j.job.m_nY, 7 + 375 + 42);
}

TEST(TextPrintJob, PageBreakAtTheExactBoundary) {
  // Lines step 125 dots (83 high plus a gap of 42).
  struct Case {
    std::int32_t height;
    std::size_t linesOnFirstPage;
  };
  const Case cases[] = {{375, 3}, {374, 2}, {376, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.height);
    Job j(1000, c.height);
    for (int i = 0; i < 4; ++i) j.job.PrintLine(0, "line" + std::to_string(i), CTextPrintJob::kLeft, 0);
    std::size_t before = 0;
    for (const auto& d : j.device.drawn) {
      if (d.kind == "end") break;
      ++before;
    }
    EXPECT_EQ(before, c.linesOnFirstPage);
    ASSERT_GT(j.device.drawn.size(), before + 2);
    EXPECT_EQ(j.device.drawn[before + 1].kind, "start");
    EXPECT_EQ(j.device.drawn[before + 2].y, 0);  // the top margin of the new page
    EXPECT_EQ(j.job.m_nPage, 2);
  }
}

TEST(TextPrintJob, FontSets) {
  RecordingDevice device;
  CTextPrintJob job(device);
  EXPECT_EQ(job.AddFontSet("A face name that is much longer than thirty-one bytes", 16), 0);
  ASSERT_EQ(device.fonts.size(), 4u);
  EXPECT_EQ(device.fonts[0].face, "A face name that is much longer");
  EXPECT_EQ(device.fonts[0].face.size(), 31u);
  const std::int32_t heights[] = {-83, -83, -133, -133};
  const std::int32_t weights[] = {400, 700, 400, 700};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(device.fonts[static_cast<std::size_t>(i)].height, heights[i]);
    EXPECT_EQ(device.fonts[static_cast<std::size_t>(i)].weight, weights[i]);
  }
  for (int i = 1; i < 10; ++i) EXPECT_EQ(job.AddFontSet("F", 10), i);
  EXPECT_EQ(job.AddFontSet("F", 10), -1);  // an eleventh
  EXPECT_EQ(device.fonts.size(), 40u);

  RecordingDevice noFonts;
  noFonts.failFonts = true;
  CTextPrintJob failing(noFonts);
  EXPECT_EQ(failing.AddFontSet("F", 10), -1);
  EXPECT_EQ(failing.m_nFontSets, 0);
}

class ResultSheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tz = std::getenv("TZ");
    savedTz_ = tz != nullptr ? std::optional<std::string>(tz) : std::nullopt;
    setenv("TZ", "UTC0", 1);
    tzset();
  }
  void TearDown() override {
    if (savedTz_) {
      setenv("TZ", savedTz_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

  static orla::ResultSheet Sheet() {
    orla::ResultSheet sheet;
    sheet.labels = {"Data && Time:", "Serial NO.\nof MFP:", "MAC address of PC:", "Username of PC:", "Job &name:", ""};
    sheet.values = {"2026/12/10 09:07:12", "LX12345678", "0a-1b-2c-3d-4e-5f", "alice", "", "d"};
    sheet.headerLabel = "Printed:";
    sheet.shownPage = 3;
    sheet.now = [] { return std::int64_t{1796893632}; };  // 2026/12/10 09:07:12 UTC
    return sheet;
  }

 private:
  std::optional<std::string> savedTz_;
};

TEST_F(ResultSheetTest, HeaderSixBlocksAndFooter) {
  RecordingDevice device;
  CTextPrintJob job(device);
  job.m_nPageWidth = 4800;
  job.m_nPageHeight = 6600;
  ASSERT_TRUE(orla::PrintResultSheet(job, Sheet()));

  const auto texts = device.Texts();
  std::vector<std::string> seen;
  for (const auto& t : texts) seen.push_back(t.text);
  const std::vector<std::string> expected = {
      "Printed:   2026/12/10 09:07:12", "", "", "", "", "",
      "Data & Time:", "2026/12/10 09:07:12", "", "",
      "Serial NO.of MFP:", "LX12345678", "", "",
      "MAC address of PC:", "0a-1b-2c-3d-4e-5f", "", "",
      "Username of PC:", "alice", "", "",
      "Job name:", "", "", "",
      "", "d", "",
      "Page 3"};
  EXPECT_EQ(seen, expected);

  // Header centred in "Arial Greek" at the top margin; footer centred at the bottom limit.
  EXPECT_EQ(texts.front().y, 333);
  EXPECT_EQ(texts.front().x, 200 + 4400 / 2 - 30 * 41 / 2);
  EXPECT_EQ(texts.front().font.face, "Arial Greek");
  EXPECT_EQ(texts.back().y, 6600 - 160);
  EXPECT_EQ(texts.back().x, 200 + 2200 - 6 * 41 / 2);
  // Labels in "MS Gothick" normal, values bold, both 10 points.
  EXPECT_EQ(texts[6].font.face, "MS Gothick");
  EXPECT_EQ(texts[6].font.weight, 400);
  EXPECT_EQ(texts[6].font.height, -83);
  EXPECT_EQ(texts[7].font.face, "MS Gothick");
  EXPECT_EQ(texts[7].font.weight, 700);
  EXPECT_EQ(texts[6].y, 1125);
  EXPECT_EQ(texts[7].y, 1250);

  // Seven rules across the printable width: one under the empty lines, one per block.
  std::vector<std::int32_t> rules;
  for (const auto& d : device.drawn) {
    if (d.kind == "rule") {
      rules.push_back(d.y);
      EXPECT_EQ(d.x, 200);
      EXPECT_EQ(d.text, "4600");
    }
  }
  std::vector<std::int32_t> expectedRules = {958};
  for (int i = 0; i < 6; ++i) expectedRules.push_back(1500 + 542 * i);
  EXPECT_EQ(rules, expectedRules);
  // One page, started and ended once.
  EXPECT_EQ(device.drawn.front().kind, "start");
  EXPECT_EQ(device.drawn.back().kind, "end");
}

TEST_F(ResultSheetTest, SmallPagesBreakWithHeadersAndFootersOnEverySheet) {
  RecordingDevice device;
  CTextPrintJob job(device);
  job.m_nPageWidth = 4800;
  job.m_nPageHeight = 1800;
  ASSERT_TRUE(orla::PrintResultSheet(job, Sheet()));
  std::vector<std::string> footers;
  int headers = 0;
  for (const auto& t : device.Texts()) {
    if (t.text.starts_with("Page ")) footers.push_back(t.text);
    if (t.text.starts_with("Printed:")) ++headers;
  }
  ASSERT_GE(footers.size(), 3u);
  EXPECT_EQ(static_cast<std::size_t>(headers), footers.size());
  EXPECT_EQ(footers.front(), "Page 1");
  EXPECT_EQ(footers.back(), "Page 3");  // the last one carries the page shown
}

TEST_F(ResultSheetTest, FailuresStopTheJob) {
  {
    RecordingDevice device;
    device.failStartPage = 1;
    CTextPrintJob job(device);
    job.m_nPageWidth = 4800;
    job.m_nPageHeight = 6600;
    EXPECT_FALSE(orla::PrintResultSheet(job, Sheet()));
    EXPECT_TRUE(device.Texts().empty());
  }
  {
    // The second page cannot be started: nothing more is drawn.
    RecordingDevice device;
    device.failStartPage = 2;
    CTextPrintJob job(device);
    job.m_nPageWidth = 4800;
    job.m_nPageHeight = 1800;
    EXPECT_FALSE(orla::PrintResultSheet(job, Sheet()));
    EXPECT_EQ(device.drawn.back().kind, "start");
    EXPECT_EQ(job.m_nErrorCode, CTextPrintJob::kPageFailed);
  }
  {
    RecordingDevice device;
    device.failFonts = true;
    CTextPrintJob job(device);
    EXPECT_FALSE(orla::PrintResultSheet(job, Sheet()));
    EXPECT_TRUE(device.drawn.empty());
  }
}

TEST(LabelAsShown, AmpersandsAndLineFeeds) {
  EXPECT_EQ(orla::LabelAsShown("Data && Time:"), "Data & Time:");
  EXPECT_EQ(orla::LabelAsShown("&Open"), "Open");
  EXPECT_EQ(orla::LabelAsShown("two\nwords"), "twowords");
  EXPECT_EQ(orla::LabelAsShown("a &&& b&"), "a & b");
  EXPECT_EQ(orla::LabelAsShown(""), "");
}

TEST_F(ResultSheetTest, RecordTime) {
  EXPECT_EQ(FormatRecordTime(1796893632), "   2026/12/10 09:07:12");
  EXPECT_EQ(FormatRecordTime(0), "   1970/01/01 00:00:00");
  // A time that cannot be converted prints as an empty text.
  EXPECT_EQ(FormatRecordTime(INT64_MAX), "");
}

}  // namespace
