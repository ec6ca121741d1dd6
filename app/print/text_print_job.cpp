#include "print/text_print_job.h"

#include "print/mul_div.h"
#include "text/code_page.h"

CTextPrintJob::CTextPrintJob(orla::PrintDevice& device) : m_device(device) {
  for (auto& set : m_pFonts) set.fill(-1);
  m_nFontIndex.fill(-1);
}

std::int32_t CTextPrintJob::ToDeviceY(std::int32_t points) const {
  return orla::MulDivRound(points, m_device.LogPixelsY(), 72);
}

int CTextPrintJob::AddFontSet(std::string_view face, int points) {
  if (m_nFontSets >= kMaxFontSets) return -1;
  // A face name holds at most 31 bytes; a double-byte character is not cut in two.
  std::size_t faceLength = 0;
  while (faceLength < face.size()) {
    const std::size_t length = orla::CharLengthAt(face, faceLength);
    if (faceLength + length > 31) break;
    faceLength += length;
  }
  const int sizes[kFontsPerSet] = {10, 10, points, points};
  const int weights[kFontsPerSet] = {400, 700, 400, 700};
  std::array<int, kFontsPerSet> fonts{};
  for (std::size_t i = 0; i < fonts.size(); ++i) {
    orla::PrintFont font;
    font.face = std::string(face.substr(0, faceLength));
    font.height = -ToDeviceY(sizes[i]);
    font.weight = weights[i];
    fonts[i] = m_device.CreatePrintFont(font);
    if (fonts[i] < 0) return -1;
  }
  const int set = m_nFontSets++;
  m_pFonts[set] = fonts;
  m_nFontIndex[set] = 0;
  SelectSet(set);
  return set;
}

void CTextPrintJob::SelectSet(int set) {
  if (set < 0 || set >= m_nFontSets) return;
  m_nCurrentSet = set;
  const int index = m_nFontIndex[set];
  if (index >= 0 && index < kFontsPerSet) m_device.SelectPrintFont(m_pFonts[set][index]);
}

bool CTextPrintJob::StartPage() {
  if (!m_device.StartPage()) {
    m_nErrorCode = kPageFailed;
    return false;
  }
  return true;
}

bool CTextPrintJob::EndPage() {
  if (!m_device.EndPage()) {
    m_nErrorCode = kPageFailed;
    return false;
  }
  return true;
}

void CTextPrintJob::CallPageEvent(int page, bool starting) {
  if (!m_bPageEvents || !m_pfnPageEvent) return;
  const bool outer = m_bInPageEvent;
  // A page's own header or footer never breaks the page.
  m_bInPageEvent = true;
  m_pfnPageEvent(*this, page, starting);
  m_bInPageEvent = outer;
}

void CTextPrintJob::SkipLines(int set, int count) {
  for (int i = 0; i < count; ++i) PrintLine(set, std::string(), kLeft, 0);
}

std::string CTextPrintJob::NextWrappedLine(const std::string& text, std::size_t& start, std::int32_t width) {
  // Grow the chunk until it reaches the width; the character that made it reach the width is
  // taken, so a chunk may stand out by up to one character.
  std::size_t end = start;
  while (end < text.size()) {
    end += orla::CharLengthAt(text, end);
    if (m_device.MeasureText(std::string_view(text).substr(start, end - start)).cx >= width) break;
  }
  const std::string chunk = text.substr(start, end - start);
  if (end >= text.size()) {
    start = text.size();
    return chunk;
  }
  // Break at the chunk's last blank when it lies close to the end; the blank stays on the line.
  const std::size_t blank = chunk.rfind(' ');
  if (blank != std::string::npos && chunk.size() - blank <= kBreakReach) {
    start += blank + 1;
    return chunk.substr(0, blank + 1);
  }
  start = end;
  return chunk;
}

void CTextPrintJob::PrintOneLine(const std::string& line, std::int32_t lineWidth, std::int32_t cy, std::int32_t width,
                                 int flags, std::int32_t offset) {
  std::int32_t x = m_rcMargin.left;
  if ((flags & kCentre) != 0) x += width / 2 - lineWidth / 2;
  if ((flags & kFlushRight) != 0) x += width - lineWidth;
  x += offset;

  const std::int32_t gap = ToDeviceY(m_nLineSpacing);
  if (!m_bInPageEvent && m_nY + gap + cy > m_nPageHeight - m_rcMargin.bottom) {
    ++m_nPage;
    m_bInPageEvent = true;
    const int set = m_nCurrentSet;
    CallPageEvent(m_nPage - 1, false);
    const bool next = EndPage() && StartPage();
    if (next) {
      m_nY = ToDeviceY(m_rcMargin.top);
      CallPageEvent(m_nPage, true);
    }
    m_bInPageEvent = false;
    if (!next || m_nErrorCode != 0) return;
    SelectSet(set);
  }
  m_device.DrawTextAt(x, m_nY, line);
  if ((flags & kStayOnLine) == 0) m_nY += gap + cy;
}

void CTextPrintJob::PrintLine(int set, std::string text, int flags, std::int32_t offset) {
  if (m_nErrorCode != 0 || set < 0 || set >= m_nFontSets) return;
  const std::int32_t width = m_nPageWidth - m_rcMargin.right - m_rcMargin.left;
  SelectSet(set);

  if (m_nPage == 0) {
    m_nPage = 1;
    if (m_bPageEvents) {
      m_nY = ToDeviceY(m_rcMargin.top);
      CallPageEvent(1, true);
      if (m_nErrorCode != 0) return;
      SelectSet(set);
    }
  }

  // An empty text is as high as the letter A.
  const orla::TextExtent extent = m_device.MeasureText(text.empty() ? std::string_view("A") : std::string_view(text));
  // A page no wider than its margins prints each text on one line rather than divide by it.
  if (width <= 0 || extent.cx <= width) {
    PrintOneLine(text, extent.cx, extent.cy, width, flags, offset);
    return;
  }
  // Lines are printed until the text is used up; each is placed by its own width.
  std::size_t start = 0;
  while (start < text.size() && m_nErrorCode == 0) {
    const std::string line = NextWrappedLine(text, start, width);
    PrintOneLine(line, m_device.MeasureText(line).cx, extent.cy, width, flags, offset);
  }
}

void CTextPrintJob::DrawRule() {
  if (m_nErrorCode != 0) return;
  m_device.DrawDottedRule(m_rcMargin.left, m_nPageWidth - m_rcMargin.right, m_nY);
  m_nY += ToDeviceY(m_nLineSpacing);
}
