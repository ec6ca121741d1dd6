#pragma once
// Small pages painted by the tests: a white 8-bit page, dots and rectangles of grey on it,
// and a recognizer that reads it.

#include <initializer_list>

#include "halvo_pic.h"
#include "point.h"
#include "shading_reg.h"

namespace orla::test {

// The pass loop is not part of these tests; this recognizer only lets the stages run.
class StageRecognizer : public CShadingReg {
 public:
  RecognizeResult Recognize(CHalvoPic*, int) override { return kRecognizeNothingFound; }

  // Makes `pic` the current page, as a pass does.
  void Use(CHalvoPic& pic) {
    page = &pic;
    pageWidth = pic.width;
    pageHeight = pic.height;
  }
};

inline void Blank(CHalvoPic& pic, int width, int height) { pic.CreateBlank8(width, height); }

inline void Paint(CHalvoPic& pic, int x, int y, std::uint8_t grey = 0) {
  if (x >= 0 && y >= 0 && x < pic.width && y < pic.height) pic.rows[static_cast<std::size_t>(y)][x] = grey;
}

inline void PaintRect(CHalvoPic& pic, int x, int y, int w, int h, std::uint8_t grey = 0) {
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) Paint(pic, x + i, y + j, grey);
}

inline void PaintDots(CHalvoPic& pic, std::initializer_list<Point> dots) {
  for (const Point& d : dots) Paint(pic, d.x, d.y);
}

inline int DarkPixels(const CHalvoPic& pic) {
  int n = 0;
  for (int y = 0; y < pic.height; ++y)
    for (int x = 0; x < pic.width; ++x) n += pic.rows[static_cast<std::size_t>(y)][x] == 0;
  return n;
}

}  // namespace orla::test
