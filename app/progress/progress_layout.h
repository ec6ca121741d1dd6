#pragma once
// The progress window's geometry and percentage, as plain arithmetic so it can be checked
// without a display.

#include "layout/layout_rect.h"

namespace orla {

struct ProgressLayoutInput {
  bool hasAnimation = false;
  int animationSize = 50;
  // Size of the reserved text lines as measured with the window's font.
  int textWidth = 0;
  int textHeight = 0;
  // Extent of the Cancel caption followed by two blanks.
  int captionWidth = 0;
  int captionHeight = 0;
  int cxEdge = 2;
  int cyEdge = 2;
};

struct ProgressLayout {
  LayoutRect animation;  // empty without an animation
  LayoutRect text;
  LayoutRect bar;
  LayoutRect button;
  int clientWidth = 0;
  int clientHeight = 0;
};

ProgressLayout ComputeProgressLayout(const ProgressLayoutInput& in);

// (position - lower) * 100 / (upper - lower) rounded half up, truncated toward zero; 0 when
// the range is empty.
int ProgressPercent(int position, int lower, int upper);

}  // namespace orla
