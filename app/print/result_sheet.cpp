#include "print/result_sheet.h"

#include <ctime>

#include "print/record_time.h"

namespace orla {
namespace {

std::string HeaderText(const ResultSheet& sheet) {
  const std::int64_t now = sheet.now ? sheet.now() : static_cast<std::int64_t>(std::time(nullptr));
  return sheet.headerLabel + FormatRecordTime(now);
}

}  // namespace

std::string LabelAsShown(std::string_view label) {
  std::string out;
  out.reserve(label.size());
  for (std::size_t i = 0; i < label.size(); ++i) {
    const char c = label[i];
    if (c == '\n') continue;
    if (c == '&') {
      if (i + 1 < label.size() && label[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += c;
  }
  return out;
}

bool PrintResultSheet(CTextPrintJob& job, const ResultSheet& sheet) {
  const int labelSet = job.AddFontSet("MS Gothick", 16);
  const int lineSet = job.AddFontSet("Arial Greek", 10);
  if (labelSet < 0 || lineSet < 0) return false;

  job.m_rcMargin = PrintMargins{200, 40, 200, 160};
  job.m_nLineSpacing = 5;
  job.SelectSet(labelSet);
  job.m_bPageEvents = true;
  job.m_pfnPageEvent = [&sheet](CTextPrintJob& j, int page, bool starting) {
    if (starting) {
      j.PrintLine(j.m_nCurrentSet, HeaderText(sheet), CTextPrintJob::kCentre, 0);
      j.SkipLines(j.m_nCurrentSet, 1);
    } else {
      j.m_nY = j.m_nPageHeight - j.m_rcMargin.bottom;
      j.PrintLine(j.m_nCurrentSet, "Page " + std::to_string(page), CTextPrintJob::kCentre, 0);
    }
  };

  if (!job.StartPage()) return false;
  job.m_nY = job.ToDeviceY(40);

  // The first of these empty lines starts page 1, which prints the header first.
  job.SkipLines(lineSet, 3);
  job.DrawRule();
  job.SkipLines(lineSet, 1);
  for (std::size_t i = 0; i < 6; ++i) {
    job.m_nFontIndex[labelSet] = 0;
    job.PrintLine(labelSet, LabelAsShown(sheet.labels[i]), CTextPrintJob::kLeft, 0);
    job.m_nFontIndex[labelSet] = 1;
    job.PrintLine(labelSet, sheet.values[i], CTextPrintJob::kLeft, 0);
    job.SkipLines(lineSet, 1);
    job.DrawRule();
    if (i < 5) job.SkipLines(lineSet, 1);
  }
  if (job.m_nErrorCode != 0) return false;

  // The last footer carries the number of the record shown, not a count of sheets.
  job.m_nPage = sheet.shownPage;
  job.m_bInPageEvent = true;
  job.m_pfnPageEvent(job, job.m_nPage, false);
  job.m_bInPageEvent = false;
  job.m_pfnPageEvent = nullptr;
  return job.EndPage() && job.m_nErrorCode == 0;
}

}  // namespace orla
