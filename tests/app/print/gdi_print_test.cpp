// The printed sheet on a real GDI memory context under Wine: the text lands where the layout
// put it, in the fonts it asked for, the rules are dotted, long texts wrap with real font
// metrics, and the context gets its objects back. A memory context has no pages, so the
// device used here counts page starts and ends instead of asking the driver.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "dib_canvas.h"
#include "print/gdi_print_device.h"
#include "print/printer_sheet.h"
#include "print/record_time.h"
#include "print/result_sheet.h"
#include "print/text_print_job.h"
#include "wine_check.h"

namespace {

struct DrawnText {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::string text;
  orla::TextExtent extent;
  LOGFONTA font{};
  HGDIOBJ fontHandle = nullptr;
};

struct DrawnRule {
  std::int32_t x1 = 0;
  std::int32_t x2 = 0;
  std::int32_t y = 0;
};

class MemoryPageDevice : public orla::GdiPrintDevice {
 public:
  using GdiPrintDevice::GdiPrintDevice;

  void DrawTextAt(std::int32_t x, std::int32_t y, std::string_view text) override {
    DrawnText drawn{x, y, std::string(text), MeasureText(text), {}, GetCurrentObject(Dc(), OBJ_FONT)};
    GetObjectA(drawn.fontHandle, sizeof drawn.font, &drawn.font);
    texts.push_back(drawn);
    GdiPrintDevice::DrawTextAt(x, y, text);
  }
  void DrawDottedRule(std::int32_t x1, std::int32_t x2, std::int32_t y) override {
    rules.push_back({x1, x2, y});
    GdiPrintDevice::DrawDottedRule(x1, x2, y);
  }
  bool StartPage() override {
    ++starts;
    return true;
  }
  bool EndPage() override {
    ++ends;
    return true;
  }

  std::vector<DrawnText> texts;
  std::vector<DrawnRule> rules;
  int starts = 0;
  int ends = 0;
};

// A white page on a memory context; ink is any pixel darker than mid-grey.
class Canvas : public test_support::DibCanvas {
 public:
  Canvas(int width, int height) : DibCanvas(width, height, test_support::kWhite) {}
  int DarkIn(int left, int top, int right, int bottom) const {
    return CountIn({left, top, right, bottom}, [](COLORREF c) { return GetBValue(c) < 128; });
  }
};

orla::ResultSheet Sheet() {
  orla::ResultSheet sheet;
  sheet.labels = {"Date && Time:", "Serial No.\nof MFP:", "MAC address of PC:", "User name of PC:", "Print job name:",
                  "Supplementary tracking information:"};
  sheet.values = {"2026/12/10 09:07:12", "LX12345678", "0a-1b-2c-3d-4e-5f", "alice", "", "WWWWWWWW"};
  sheet.headerLabel = "Printed:";
  sheet.shownPage = 3;
  sheet.now = [] { return std::int64_t{1796893632}; };
  return sheet;
}

constexpr int kWidth = 1200;
constexpr int kHeight = 1400;

void TestSheetOnMemoryContext() {
  Canvas canvas(kWidth, kHeight);
  const HGDIOBJ originalFont = GetCurrentObject(canvas.dc(), OBJ_FONT);
  const HGDIOBJ originalPen = GetCurrentObject(canvas.dc(), OBJ_PEN);
  std::vector<DrawnText> texts;
  std::vector<DrawnRule> rules;
  {
    MemoryPageDevice device(canvas.dc(), orla::GdiPrintDevice::Ownership::Borrowed);
    CHECK(device.LogPixelsY() == 96);
    CTextPrintJob job(device);
    job.m_nPageWidth = kWidth;
    job.m_nPageHeight = kHeight;
    CHECK(orla::PrintResultSheet(job, Sheet()));
    CHECK(device.starts == 1 && device.ends == 1);
    texts = device.texts;
    rules = device.rules;
  }
  // The context has its own font and pen back, and the fonts made for the sheet are gone.
  CHECK(GetCurrentObject(canvas.dc(), OBJ_FONT) == originalFont);
  CHECK(GetCurrentObject(canvas.dc(), OBJ_PEN) == originalPen);
  for (const DrawnText& t : texts) CHECK(GetObjectType(t.fontHandle) == 0);

  std::vector<std::string> nonEmpty;
  for (const DrawnText& t : texts) {
    if (!t.text.empty()) nonEmpty.push_back(t.text);
  }
  const std::vector<std::string> expected = {
      "Printed:" + FormatRecordTime(1796893632), "Date & Time:", "2026/12/10 09:07:12", "Serial No.of MFP:", "LX12345678",
      "MAC address of PC:", "0a-1b-2c-3d-4e-5f", "User name of PC:", "alice", "Print job name:",
      "Supplementary tracking information:", "WWWWWWWW", "Page 3"};
  CHECK(nonEmpty == expected);
  if (nonEmpty != expected) return;

  // Every text is inked inside the box the layout measured for it, and nowhere left of the
  // margin; empty lines leave their band white.
  const int lineHeight = -MulDiv(10, 96, 72);
  for (const DrawnText& t : texts) {
    if (t.text.empty()) {
      CHECK(canvas.DarkIn(200, t.y, kWidth - 200, t.y + t.extent.cy) == 0);
      continue;
    }
    CHECK(t.x >= 200 && t.x + t.extent.cx <= kWidth - 200);
    CHECK(t.extent.cx > 0 && t.extent.cy > 0);
    CHECK(canvas.DarkIn(t.x, t.y, t.x + t.extent.cx, t.y + t.extent.cy) > 0);
    CHECK(t.font.lfHeight == lineHeight);
  }
  CHECK(canvas.DarkIn(0, 0, 200, kHeight) == 0);

  // Header and footer centred in the second set's face; labels normal and values bold in the
  // first set's face.
  const DrawnText& header = texts.front();
  const DrawnText& footer = texts.back();
  CHECK(std::string(header.font.lfFaceName) == "Arial Greek");
  CHECK(std::string(footer.font.lfFaceName) == "Arial Greek");
  CHECK(header.y == MulDiv(40, 96, 72));
  CHECK(footer.y == kHeight - 160);
  CHECK(header.x == 200 + 800 / 2 - header.extent.cx / 2);
  CHECK(footer.x == 200 + 800 / 2 - footer.extent.cx / 2);
  for (const DrawnText& t : texts) {
    if (t.text == "Date & Time:" || t.text == "User name of PC:") {
      CHECK(std::string(t.font.lfFaceName) == "MS Gothick" && t.font.lfWeight == 400);
    }
    if (t.text == "LX12345678" || t.text == "WWWWWWWW") {
      CHECK(std::string(t.font.lfFaceName) == "MS Gothick" && t.font.lfWeight == 700);
    }
  }

  // Seven dotted rules across the printable width: part of each row inked, part not, and the
  // rows around it white.
  CHECK(rules.size() == 7);
  for (const DrawnRule& rule : rules) {
    CHECK(rule.x1 == 200 && rule.x2 == kWidth - 200);
    const int inked = canvas.DarkIn(rule.x1, rule.y, rule.x2, rule.y + 1);
    const int length = rule.x2 - rule.x1;
    CHECK(inked > length / 4 && inked < length * 3 / 4);
    CHECK(canvas.DarkIn(rule.x1, rule.y + 1, rule.x2, rule.y + 2) == 0);
  }
}

void TestLongTextWrapsWithRealMetrics() {
  Canvas canvas(kWidth, kHeight);
  MemoryPageDevice device(canvas.dc(), orla::GdiPrintDevice::Ownership::Borrowed);
  CTextPrintJob job(device);
  CHECK(job.AddFontSet("MS Gothick", 10) == 0);
  job.m_nPageWidth = 400;
  job.m_nPageHeight = kHeight;
  job.m_rcMargin = {100, 0, 100, 0};
  const std::string text =
      "A supplementary description that runs on well past the width of the narrow page it is printed on";
  job.PrintLine(0, text, CTextPrintJob::kLeft, 0);
  std::string joined;
  const int oneCharacter = device.MeasureText("W").cx;
  for (const DrawnText& t : device.texts) {
    joined += t.text;
    CHECK(t.x == 100);
    CHECK(t.extent.cx <= 200 + oneCharacter);
    CHECK(canvas.DarkIn(t.x, t.y, t.x + t.extent.cx, t.y + t.extent.cy) > 0);
  }
  CHECK(device.texts.size() >= 3);
  CHECK(joined == text);
  // Lines broken at a blank keep it at their end.
  CHECK(!device.texts.empty() && device.texts.front().text.back() == ' ');
}

void TestOwnedContextIsDeleted() {
  HDC dc = CreateCompatibleDC(nullptr);
  {
    orla::GdiPrintDevice device(dc, orla::GdiPrintDevice::Ownership::Owned);
    const int font = device.CreatePrintFont({"Arial Greek", -13, 400});
    CHECK(font == 0);
    device.SelectPrintFont(font);
  }
  CHECK(GetObjectType(dc) == 0);

  // A memory context takes no document: the job stops before drawing, and the context the
  // print dialog would have handed over is deleted all the same.
  HDC refusing = CreateCompatibleDC(nullptr);
  CHECK(!orla::PrintSheetOnPrinter(refusing, Sheet()));
  CHECK(GetObjectType(refusing) == 0);
  CHECK(!orla::PrintSheetOnPrinter(nullptr, Sheet()));
}

}  // namespace

int main() {
  TestSheetOnMemoryContext();
  TestLongTextWrapsWithRealMetrics();
  TestOwnedContextIsDeleted();
  return wine_check::Finish("gdi_print_test");
}
