// The memory device context bitmaps and the bitmap drawing operations on Wine's GDI, read
// back pixel by pixel from 32-bit DIB sections.

#include <windows.h>

#include <vector>

#include "buttons/bitmap_drawing.h"
#include "buttons/dc_bitmap.h"
#include "dib_canvas.h"
#include "gdi_object_count.h"
#include "wine_check.h"

namespace {

using namespace test_support;

// The test image selected into a 16 x 12 canvas.
struct TestImage {
  DibCanvas canvas{16, 12};
  TestImage() {
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 16; ++x) canvas.Set(x, y, TestImagePixel(x, y));
  }
};

SIZE SelectedBitmapSize(HDC dc) {
  BITMAP info{};
  GetObjectW(GetCurrentObject(dc, OBJ_BITMAP), sizeof(info), &info);
  return {info.bmWidth, info.bmHeight};
}

void TestBufferLandsOnItsRectangle() {
  DibCanvas target(200, 100, kBlack);
  {
    CDCBitmap buffer(target.dc(), 10, 20, 110, 70);
    const SIZE size = SelectedBitmapSize(buffer);
    CHECK(size.cx == 100 && size.cy == 50);
    // The caller draws in the target's coordinates.
    buffer.FillSolidRect(CRect(10, 20, 110, 70), kRed);
    SetPixel(buffer, 10, 20, kGreen);
    SetPixel(buffer, 109, 69, kBlue);
    CHECK(target.At(10, 20) == kBlack);  // nothing reaches the target before the buffer closes
  }
  CHECK(target.At(10, 20) == kGreen);
  CHECK(target.At(109, 69) == kBlue);
  CHECK(target.At(60, 45) == kRed);
  CHECK(target.At(9, 20) == kBlack);
  CHECK(target.At(110, 20) == kBlack);
  CHECK(target.At(10, 19) == kBlack);
  CHECK(target.At(10, 70) == kBlack);
}

void TestBufferWithoutBitmapCopiesNothing() {
  DibCanvas target(40, 40, kBlack);
  const int before = test_support::GdiObjectCount();
  {
    CDCBitmap empty(target.dc(), 10, 10, 10, 30);  // no width
    CHECK(empty.m_hDC != nullptr);
    empty.FillSolidRect(CRect(0, 0, 40, 40), kRed);
  }
  {
    // A bitmap this large cannot be made.
    CDCBitmap huge(target.dc(), 0, 0, 200000, 200000);
    CHECK(SelectedBitmapSize(huge).cx == 1);  // still the context's own 1 x 1 bitmap
    huge.FillSolidRect(CRect(0, 0, 40, 40), kRed);
  }
  CHECK(target.Count([](COLORREF c) { return c == kBlack; }) == 40 * 40);
  CHECK(test_support::GdiObjectCount() == before);
}

void TestPlainForms() {
  DibCanvas reference(4, 4);
  const int before = test_support::GdiObjectCount();
  {
    // Without a bitmap nothing is selected and nothing restored.
    CDCBitmap plain(reference.dc(), static_cast<HBITMAP>(nullptr));
    CHECK(plain.m_hDC != nullptr);
    CHECK(SelectedBitmapSize(plain).cx == 1);
    CDCBitmap none(reference.dc(), static_cast<CBitmap*>(nullptr));
    CHECK(SelectedBitmapSize(none).cx == 1);
  }
  HBITMAP mine = PaintedBitmap(8, 8, [](int x, int) { return x < 4 ? kRed : kBlue; });
  {
    CDCBitmap plain(reference.dc(), mine);
    CHECK(GetCurrentObject(plain, OBJ_BITMAP) == mine);
    CHECK(GetPixel(plain, 1, 1) == kRed);
    CHECK(GetPixel(plain, 6, 1) == kBlue);
  }
  // The caller's bitmap survives and is free to be selected elsewhere.
  CHECK(GetObjectType(mine) == OBJ_BITMAP);
  HDC other = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(other, mine);
  CHECK(previous != nullptr);
  SelectObject(other, previous);
  DeleteDC(other);
  {
    CBitmap object;
    object.Attach(mine);
    {
      CDCBitmap plain(reference.dc(), &object);
      CHECK(GetCurrentObject(plain, OBJ_BITMAP) == mine);
    }
    CHECK(GetObjectType(mine) == OBJ_BITMAP);
  }  // the CBitmap deletes it: it could not, had it still been selected
  CHECK(GetObjectType(mine) == 0);
  CHECK(test_support::GdiObjectCount() == before);
}

void TestAlphaBlendRectClamps() {
  DibCanvas source(10, 10, kWhite);
  DibCanvas destination(10, 10, kBlack);
  const RECT all{0, 0, 10, 10};
  const struct {
    int alpha;
    COLORREF expected;
  } cases[] = {{300, kWhite}, {255, kWhite}, {-5, kBlack}, {0, kBlack}, {128, RGB(128, 128, 128)}};
  for (const auto& c : cases) {
    destination.Fill(kBlack);
    AlphaBlendRect(c.alpha, destination.dc(), all, source.dc(), all);
    CHECK(Near(destination.At(5, 5), c.expected, 1));
  }
  // Different sizes stretch.
  destination.Fill(kBlack);
  source.Set(0, 0, kRed);
  AlphaBlendRect(255, destination.dc(), all, source.dc(), RECT{0, 0, 1, 1});
  CHECK(destination.At(9, 9) == kRed);
}

void TestTransparentBitmap() {
  TestImage image;
  DibCanvas destination(40, 30, kGreen);
  // Whatever text colour the caption left must not tint the image.
  SetTextColor(destination.dc(), RGB(90, 80, 70));
  SetBkColor(destination.dc(), RGB(10, 20, 30));
  DrawTransparentBitmap(destination.dc(), image.canvas.dc(), kMagenta, 5, 7, 16, 12);
  CHECK(destination.At(5, 7) == kGreen);  // border: transparent
  CHECK(destination.At(7, 9) == kBlue);   // inner top-left
  CHECK(destination.At(8, 9) == kRed);
  CHECK(destination.At(18, 16) == kRed);  // inner bottom-right
  CHECK(destination.At(19, 17) == kGreen);
  CHECK(destination.Count([](COLORREF c) { return c == kRed || c == kBlue; }) == 12 * 8);
  CHECK(destination.Count([](COLORREF c) { return c == kMagenta; }) == 0);
  CHECK(GetTextColor(destination.dc()) == RGB(90, 80, 70));
  CHECK(GetBkColor(destination.dc()) == RGB(10, 20, 30));

  // An image of nothing but its transparent colour draws nothing.
  DibCanvas blank(16, 12, kMagenta);
  destination.Fill(kGreen);
  DrawTransparentBitmap(destination.dc(), blank.dc(), kMagenta, 5, 7, 16, 12);
  CHECK(destination.Count([](COLORREF c) { return c == kGreen; }) == 40 * 30);
}

void TestDisabledBitmap() {
  TestImage image;
  DibCanvas destination(40, 30, kGreen);
  const COLORREF shadow = GetSysColor(COLOR_3DSHADOW);
  const COLORREF highlight = GetSysColor(COLOR_3DHILIGHT);
  DrawDisabledBitmap(destination.dc(), image.canvas.dc(), kMagenta, 5, 7, 16, 12);
  // The shape (7..18, 9..16) in the shadow colour over its highlight copy one pixel down and right.
  const RECT shape = destination.Bounds([&](COLORREF c) { return c == shadow; });
  CHECK(shape.left == 7 && shape.top == 9 && shape.right == 19 && shape.bottom == 17);
  CHECK(destination.Count([&](COLORREF c) { return c == shadow; }) == 12 * 8);
  CHECK(destination.At(19, 17) == highlight);
  CHECK(destination.At(19, 10) == highlight);
  CHECK(destination.At(8, 17) == highlight);
  CHECK(destination.At(7, 17) == kGreen);
  CHECK(destination.At(19, 9) == kGreen);
  CHECK(destination.Count([](COLORREF c) { return c == kRed || c == kBlue; }) == 0);

  DibCanvas blank(16, 12, kMagenta);
  destination.Fill(kGreen);
  DrawDisabledBitmap(destination.dc(), blank.dc(), kMagenta, 5, 7, 16, 12);
  CHECK(destination.Count([](COLORREF c) { return c == kGreen; }) == 40 * 30);
}

void TestPaintBrushThroughMask() {
  // A 1-bit mask: black left half, white right half.
  DibCanvas maskSource(8, 4, kWhite);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) maskSource.Set(x, y, kBlack);
  HBITMAP maskBitmap = CreateBitmap(8, 4, 1, 1, nullptr);
  {
    CDCBitmap mask(maskSource.dc(), maskBitmap);
    BitBlt(mask, 0, 0, 8, 4, maskSource.dc(), 0, 0, SRCCOPY);
    DibCanvas destination(12, 8, kGreen);
    PaintBrushThroughMask(destination.dc(), mask, kBlue, 2, 3, 8, 4);
    CHECK(destination.At(2, 3) == kBlue);
    CHECK(destination.At(5, 6) == kBlue);
    CHECK(destination.At(6, 3) == kGreen);
    CHECK(destination.At(1, 3) == kGreen);
    CHECK(destination.Count([](COLORREF c) { return c == kBlue; }) == 16);
    CHECK(GetTextColor(destination.dc()) == kBlack);
    CHECK(GetBkColor(destination.dc()) == kWhite);
  }
  DeleteObject(maskBitmap);
}

void TestGetBitmapBits32() {
  HBITMAP bitmap = PaintedBitmap(5, 3, [](int x, int y) { return RGB(x * 10, y * 20, 7); });
  HDC screen = GetDC(nullptr);
  BITMAPINFOHEADER header{};
  std::vector<std::uint32_t> bits;
  const int rowWords = GetBitmapBits32(screen, bitmap, 5, 3, &header, &bits);
  CHECK(rowWords == 5);
  CHECK(header.biSize == sizeof(BITMAPINFOHEADER) && header.biWidth == 5 && header.biHeight == 3);
  CHECK(header.biBitCount == 32 && header.biCompression == BI_RGB && header.biPlanes == 1);
  CHECK(bits.size() >= 15);
  bool allMatch = bits.size() >= 15;
  for (int y = 0; y < 3 && allMatch; ++y) {
    for (int x = 0; x < 5; ++x) {
      // Bottom-up rows.
      const std::uint32_t expected =
          (static_cast<std::uint32_t>(x * 10) << 16) | (static_cast<std::uint32_t>(y * 20) << 8) | 7;
      if ((bits[(2 - y) * 5 + x] & 0xFFFFFF) != expected) allMatch = false;
    }
  }
  CHECK(allMatch);

  const struct {
    HBITMAP bitmap;
    int width, height;
  } refused[] = {{bitmap, 0, 3}, {bitmap, 5, 0}, {bitmap, -5, 3}, {bitmap, 5, -3}, {nullptr, 5, 3}};
  for (const auto& r : refused) {
    bits.assign(4, 1);
    CHECK(GetBitmapBits32(screen, r.bitmap, r.width, r.height, &header, &bits) == 0);
    CHECK(bits.empty());
  }
  ReleaseDC(nullptr, screen);
  DeleteObject(bitmap);
}

void TestShadowBitmap() {
  // A 30 x 30 image with no transparent pixel, its shadow cast on a pink-grey background.
  DibCanvas image(30, 30, kRed);
  const COLORREF back = RGB(255, 200, 255);
  DibCanvas destination(60, 60, back);
  DrawShadowBitmap(destination.dc(), image.dc(), kMagenta, 10 - 1, 10 - 1, 30, 30);
  // Under the middle of the shape: half brightness, truncated (255 -> 128, 200 -> 100).
  CHECK(destination.At(26, 26) == RGB(128, 100, 128));
  // The shadow is the shape moved one pixel right and down: the kernel's corner reaches the
  // written area's first and last pixels, nothing reaches beyond it.
  CHECK(GetRValue(destination.At(9, 9)) == 253);
  CHECK(GetRValue(destination.At(42, 42)) == 253);
  CHECK(destination.At(8, 8) == back);
  CHECK(destination.At(43, 43) == back);
  CHECK(destination.At(50, 20) == back);

  DibCanvas blank(30, 30, kMagenta);
  destination.Fill(back);
  DrawShadowBitmap(destination.dc(), blank.dc(), kMagenta, 9, 9, 30, 30);
  CHECK(destination.Count([&](COLORREF c) { return c == back; }) == 60 * 60);
}

void TestNothingLeaks() {
  TestImage image;
  DibCanvas destination(60, 60, kGreen);
  DibCanvas source(10, 10, kWhite);
  // Warm up caches GDI keeps for itself.
  DrawShadowBitmap(destination.dc(), image.canvas.dc(), kMagenta, 20, 20, 16, 12);
  const int before = test_support::GdiObjectCount();
  for (int i = 0; i < 200; ++i) {
    CDCBitmap buffer(destination.dc(), 0, 0, 60, 60);
    DrawTransparentBitmap(buffer, image.canvas.dc(), kMagenta, 5, 5, 16, 12);
    DrawDisabledBitmap(buffer, image.canvas.dc(), kMagenta, 5, 25, 16, 12);
    DrawShadowBitmap(buffer, image.canvas.dc(), kMagenta, 30, 30, 16, 12);
    AlphaBlendRect(100, buffer, RECT{0, 0, 10, 10}, source.dc(), RECT{0, 0, 10, 10});
  }
  CHECK(test_support::GdiObjectCount() == before);
}

void TestObjectCountSeesALeak() {
  const int before = test_support::GdiObjectCount();
  CHECK(before > 0);
  HBRUSH brushes[5];
  for (HBRUSH& brush : brushes) brush = CreateSolidBrush(RGB(1, 2, 3));
  CHECK(test_support::GdiObjectCount() == before + 5);
  for (HBRUSH brush : brushes) DeleteObject(brush);
  CHECK(test_support::GdiObjectCount() == before);
}

}  // namespace

int main() {
  TestObjectCountSeesALeak();
  TestBufferLandsOnItsRectangle();
  TestBufferWithoutBitmapCopiesNothing();
  TestPlainForms();
  TestAlphaBlendRectClamps();
  TestPaintBrushThroughMask();
  TestTransparentBitmap();
  TestDisabledBitmap();
  TestGetBitmapBits32();
  TestShadowBitmap();
  TestNothingLeaks();
  return wine_check::Finish("bitmap_drawing_test");
}
