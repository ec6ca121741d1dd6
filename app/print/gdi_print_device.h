#pragma once
// The line printer's device over a GDI device context: a printer's, or a memory context in
// tests. Fonts are made from 8-bit LOGFONTs as the printed sheet asks for them; the context
// gets back the font and pen it had, and every font made here is deleted, when the device
// goes. A printer context handed over from the print dialog is deleted with it.

#include <windows.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "print/print_device.h"

namespace orla {

class GdiPrintDevice : public PrintDevice {
 public:
  enum class Ownership { Borrowed, Owned };

  GdiPrintDevice(HDC dc, Ownership ownership);
  virtual ~GdiPrintDevice();
  GdiPrintDevice(const GdiPrintDevice&) = delete;
  GdiPrintDevice& operator=(const GdiPrintDevice&) = delete;

  HDC Dc() const { return dc_; }
  // The printable area in device units.
  std::int32_t PageWidth() const { return GetDeviceCaps(dc_, HORZRES); }
  std::int32_t PageHeight() const { return GetDeviceCaps(dc_, VERTRES); }

  std::int32_t LogPixelsY() const override { return GetDeviceCaps(dc_, LOGPIXELSY); }
  int CreatePrintFont(const PrintFont& font) override;
  void SelectPrintFont(int font) override;
  TextExtent MeasureText(std::string_view text) override;
  void DrawTextAt(std::int32_t x, std::int32_t y, std::string_view text) override;
  void DrawDottedRule(std::int32_t x1, std::int32_t x2, std::int32_t y) override;
  bool StartPage() override { return ::StartPage(dc_) > 0; }
  bool EndPage() override { return ::EndPage(dc_) > 0; }

 private:
  HDC dc_;
  Ownership ownership_;
  // The font the context had before the first font of ours went in.
  HGDIOBJ originalFont_ = nullptr;
  std::vector<HFONT> fonts_;
};

}  // namespace orla
