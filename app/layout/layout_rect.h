#pragma once
// A rectangle in window coordinates, as the window layout arithmetic of the progress window
// and the image buttons uses it: RECT's fields without windows.h.

namespace orla {

struct LayoutRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const LayoutRect&) const = default;
};

}  // namespace orla
