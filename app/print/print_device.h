#pragma once
// What the line printer sees of a printer: fonts, text measuring and drawing, the dotted
// rule and the page boundaries. The program implements it over a printer device context
// (which it restores and deletes at the end); tests over a recording fake.

#include <cstdint>
#include <string>
#include <string_view>

namespace orla {

struct PrintFont {
  std::string face;        // at most 31 bytes
  std::int32_t height = 0;  // negative: character height in device units
  std::int32_t weight = 400;
  // Fixed pitch, default character set; width, escapement, orientation, italic, underline,
  // strike-out, precisions and quality all 0.
  std::uint8_t charSet = 1;
  std::uint8_t pitchAndFamily = 1;
};

struct TextExtent {
  std::int32_t cx = 0;
  std::int32_t cy = 0;
};

class PrintDevice {
 public:
  // The device's vertical dots per inch.
  virtual std::int32_t LogPixelsY() const = 0;
  // Returns a font id (>= 0) owned by the device, or -1 when the font cannot be made.
  virtual int CreatePrintFont(const PrintFont& font) = 0;
  virtual void SelectPrintFont(int font) = 0;
  // The extent of `text` in the selected font.
  virtual TextExtent MeasureText(std::string_view text) = 0;
  virtual void DrawTextAt(std::int32_t x, std::int32_t y, std::string_view text) = 0;
  // A dotted black line one device dot wide from (x1, y) to (x2, y).
  virtual void DrawDottedRule(std::int32_t x1, std::int32_t x2, std::int32_t y) = 0;
  virtual bool StartPage() = 0;
  virtual bool EndPage() = 0;

 protected:
  ~PrintDevice() = default;
};

}  // namespace orla
