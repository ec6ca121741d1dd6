#pragma once
// CTextPrintJob: a small line printer over a PrintDevice. It keeps sets of fonts, lays text out
// line by line with word wrapping and page breaks, draws rules and calls back at each page
// start and end. Choosing the printer and starting the document belong to the program, which
// sets the page size before the first line.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "print/print_device.h"

struct PrintMargins {
  std::int32_t left = 0;
  std::int32_t top = 0;  // in points (1/72 inch); the others in device units
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

class CTextPrintJob {
 public:
  static constexpr int kMaxFontSets = 10;
  static constexpr int kFontsPerSet = 4;
  // PrintLine flags.
  static constexpr int kCentre = 1;
  static constexpr int kLeft = 2;
  static constexpr int kFlushRight = 4;
  static constexpr int kStayOnLine = 8;
  // m_nErrorCode once a page could not be started or ended.
  static constexpr int kPageFailed = 7;
  // A line may end at its last blank when at most this many characters follow the blank.
  static constexpr std::size_t kBreakReach = 20;

  using PageEvent = std::function<void(CTextPrintJob& job, int page, bool starting)>;

  explicit CTextPrintJob(orla::PrintDevice& device);

  // Makes fonts 0-3 of a new set: 10 points normal and bold, `points` normal and bold.
  // Returns the set's index, or -1 when ten sets exist or a font cannot be made.
  int AddFontSet(std::string_view face, int points);
  void SkipLines(int set, int count);
  void PrintLine(int set, std::string text, int flags, std::int32_t offset);
  void DrawRule();
  // Selects the current font of `set` and makes it the current set.
  void SelectSet(int set);
  // Starts a page and records a failure; false when it failed.
  bool StartPage();
  bool EndPage();

  orla::PrintDevice& Device() { return m_device; }
  std::int32_t ToDeviceY(std::int32_t points) const;

  // Written by the caller, as the layout of a sheet needs.
  int m_nPage = 0;
  int m_nFontSets = 0;
  std::int32_t m_nPageWidth = 0;
  std::int32_t m_nPageHeight = 0;
  std::array<std::array<int, kFontsPerSet>, kMaxFontSets> m_pFonts{};
  PrintMargins m_rcMargin;
  std::array<int, kMaxFontSets> m_nFontIndex{};
  std::int32_t m_nY = 0;
  bool m_bPageEvents = false;
  std::int32_t m_nLineSpacing = 0;
  int m_nErrorCode = 0;
  bool m_bInPageEvent = false;
  int m_nCurrentSet = -1;
  PageEvent m_pfnPageEvent;

 private:
  void CallPageEvent(int page, bool starting);
  // Cuts the next line of a wrapped text from `start`, moving `start` behind it.
  std::string NextWrappedLine(const std::string& text, std::size_t& start, std::int32_t width);
  void PrintOneLine(const std::string& line, std::int32_t lineWidth, std::int32_t cy, std::int32_t width, int flags,
                    std::int32_t offset);

  orla::PrintDevice& m_device;
};
