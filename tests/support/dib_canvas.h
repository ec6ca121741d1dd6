#pragma once
// Winelib test support: a memory device context on a top-down 32-bit DIB section, so what GDI
// drew can be read back pixel by pixel, and 32-bit bitmaps painted from a function.

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <functional>

namespace test_support {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

// The image the button tests draw: 16 x 12, a 2-pixel magenta border (the transparent
// colour), `inner` inside with one blue pixel at the inner top-left corner.
inline COLORREF TestImagePixel(int x, int y, COLORREF inner = kRed) {
  if (x < 2 || y < 2 || x >= 14 || y >= 10) return kMagenta;
  return x == 2 && y == 2 ? kBlue : inner;
}

inline bool Near(COLORREF a, COLORREF b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// A top-down 32-bit DIB section; `bits` points at its pixels (0x00RRGGBB).
inline HBITMAP CreateDib32(int width, int height, std::uint32_t** bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  *bits = static_cast<std::uint32_t*>(pixels);
  return bitmap;
}

inline std::uint32_t ToPixel(COLORREF color) {
  return (static_cast<std::uint32_t>(GetRValue(color)) << 16) | (static_cast<std::uint32_t>(GetGValue(color)) << 8) |
         GetBValue(color);
}

inline COLORREF ToColor(std::uint32_t pixel) { return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF); }

// A 32-bit bitmap whose pixel (x, y) is paint(x, y); the caller owns it.
inline HBITMAP PaintedBitmap(int width, int height, const std::function<COLORREF(int, int)>& paint) {
  std::uint32_t* bits = nullptr;
  HBITMAP bitmap = CreateDib32(width, height, &bits);
  if (bitmap == nullptr) return nullptr;
  GdiFlush();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) bits[y * width + x] = ToPixel(paint(x, y));
  return bitmap;
}

class DibCanvas {
 public:
  DibCanvas(int width, int height, COLORREF fill = RGB(0, 0, 0)) : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDib32(width, height, &bits_);
    old_ = SelectObject(dc_, bitmap_);
    Fill(fill);
  }
  ~DibCanvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  DibCanvas(const DibCanvas&) = delete;
  DibCanvas& operator=(const DibCanvas&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  int width() const { return width_; }
  int height() const { return height_; }

  void Fill(COLORREF color) {
    GdiFlush();
    for (int i = 0; i < width_ * height_; ++i) bits_[i] = ToPixel(color);
  }
  void Set(int x, int y, COLORREF color) {
    GdiFlush();
    bits_[y * width_ + x] = ToPixel(color);
  }
  COLORREF At(int x, int y) const {
    GdiFlush();
    return ToColor(bits_[y * width_ + x]);
  }
  // Smallest rectangle holding every pixel for which `match` holds; empty when none does.
  RECT Bounds(const std::function<bool(COLORREF)>& match) const {
    GdiFlush();
    RECT found{width_, height_, 0, 0};
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) {
        if (!match(ToColor(bits_[y * width_ + x]))) continue;
        found.left = x < found.left ? x : found.left;
        found.top = y < found.top ? y : found.top;
        found.right = x + 1 > found.right ? x + 1 : found.right;
        found.bottom = y + 1 > found.bottom ? y + 1 : found.bottom;
      }
    }
    if (found.right == 0) found = RECT{0, 0, 0, 0};
    return found;
  }
  int Count(const std::function<bool(COLORREF)>& match) const { return CountIn({0, 0, width_, height_}, match); }
  // The same within `area`; the part of it outside the canvas counts nothing.
  int CountIn(const RECT& area, const std::function<bool(COLORREF)>& match) const {
    GdiFlush();
    int n = 0;
    for (int y = area.top < 0 ? 0 : area.top; y < area.bottom && y < height_; ++y) {
      for (int x = area.left < 0 ? 0 : area.left; x < area.right && x < width_; ++x) {
        n += match(ToColor(bits_[y * width_ + x])) ? 1 : 0;
      }
    }
    return n;
  }

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

}  // namespace test_support
