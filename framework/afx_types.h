#pragma once
// Points, sizes and rectangles as thin layers over the Win32 structures.

#include <windows.h>

class CPoint : public POINT {
 public:
  CPoint() : POINT{0, 0} {}
  CPoint(int px, int py) : POINT{px, py} {}
};

class CSize : public SIZE {
 public:
  CSize() : SIZE{0, 0} {}
  CSize(int width, int height) : SIZE{width, height} {}
  explicit CSize(const SIZE& size) : SIZE(size) {}
};

class CRect : public RECT {
 public:
  CRect() : RECT{0, 0, 0, 0} {}
  CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
  CRect(const RECT& rect) : RECT(rect) {}  // NOLINT: implicit as in Win32 code

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsRectEmpty() const { return IsRectEmpty_(); }
  bool PtInRect(POINT point) const { return ::PtInRect(this, point) != FALSE; }
  void SetRectEmpty() { ::SetRectEmpty(this); }
  operator RECT*() { return this; }              // NOLINT
  operator const RECT*() const { return this; }  // NOLINT

 private:
  bool IsRectEmpty_() const { return ::IsRectEmpty(this) != FALSE; }
};
