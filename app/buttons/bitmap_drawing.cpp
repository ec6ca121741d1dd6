#include "buttons/bitmap_drawing.h"

#include <algorithm>
#include <new>
#include <optional>

#include "buttons/dc_bitmap.h"
#include "buttons/dib_buffer_size.h"
#include "buttons/shadow_filter.h"
#include "gdi.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kSilhouetteGrey = RGB(128, 128, 128);
// Paints the pattern where the source is black and keeps the destination where it is white.
constexpr DWORD kRopPatternThroughBlack = 0xB8074A;
// Destination AND NOT source.
constexpr DWORD kRopAndNotSource = 0x220326;

// A monochrome mask of an image: white where the image has the transparent colour, black
// elsewhere. The context goes before the bitmap it holds.
struct ImageMask {
  CBitmap bitmap;
  std::optional<CDCBitmap> dc;

  bool Build(HDC image, COLORREF transparent, int width, int height) {
    if (width <= 0 || height <= 0) return false;
    if (!bitmap.Attach(::CreateBitmap(width, height, 1, 1, nullptr))) return false;
    dc.emplace(image, &bitmap);
    if (dc->m_hDC == nullptr) return false;
    const COLORREF oldBack = ::SetBkColor(image, transparent);
    const BOOL copied = ::BitBlt(*dc, 0, 0, width, height, image, 0, 0, SRCCOPY);
    ::SetBkColor(image, oldBack);
    return copied != FALSE;
  }
};

}  // namespace

HBITMAP Create32BitBitmap(int width, int height) {
  if (width <= 0 || height <= 0) return nullptr;
  // A DIB section rather than a device-dependent bitmap: Wine takes about eight times as long
  // to select the latter into a context, and the shadow and each snapshot open fresh ones on
  // every redraw of a pulsing button.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

void AlphaBlendRect(int alpha, HDC destination, const RECT& destinationRect, HDC source, const RECT& sourceRect) {
  BLENDFUNCTION blend{};
  blend.BlendOp = AC_SRC_OVER;
  blend.BlendFlags = 0;
  blend.SourceConstantAlpha = static_cast<BYTE>(std::clamp(alpha, 0, 255));
  blend.AlphaFormat = 0;
  ::AlphaBlend(destination, destinationRect.left, destinationRect.top, destinationRect.right - destinationRect.left,
               destinationRect.bottom - destinationRect.top, source, sourceRect.left, sourceRect.top,
               sourceRect.right - sourceRect.left, sourceRect.bottom - sourceRect.top, blend);
}

void PaintBrushThroughMask(HDC destination, HDC mask, COLORREF color, int x, int y, int width, int height) {
  CBrush brush(color);
  if (brush.GetSafeHandle() == nullptr) return;
  const HGDIOBJ oldBrush = ::SelectObject(destination, brush);
  ::SetTextColor(destination, kBlack);
  ::SetBkColor(destination, kWhite);
  ::BitBlt(destination, x, y, width, height, mask, 0, 0, kRopPatternThroughBlack);
  ::SelectObject(destination, oldBrush);
}

void DrawTransparentBitmap(HDC destination, HDC image, COLORREF transparent, int x, int y, int width, int height) {
  ImageMask mask;
  if (!mask.Build(image, transparent, width, height)) return;
  CBitmap work;
  if (!work.CreateCompatibleBitmap(destination, width, height)) return;
  CDCBitmap workDc(destination, &work);
  if (workDc.m_hDC == nullptr) return;

  // The image with its transparent pixels turned black.
  ::BitBlt(workDc, 0, 0, width, height, image, 0, 0, SRCCOPY);
  ::SetTextColor(workDc, kBlack);
  ::SetBkColor(workDc, kWhite);
  ::BitBlt(workDc, 0, 0, width, height, *mask.dc, 0, 0, kRopAndNotSource);

  // Black out the shape, then paint the image into it. A monochrome source takes the
  // destination's text colour for its black pixels, so that must be black too, whatever the
  // caption left there.
  const COLORREF oldBack = ::SetBkColor(destination, kWhite);
  const COLORREF oldText = ::SetTextColor(destination, kBlack);
  ::BitBlt(destination, x, y, width, height, *mask.dc, 0, 0, SRCAND);
  ::BitBlt(destination, x, y, width, height, workDc, 0, 0, SRCPAINT);
  ::SetTextColor(destination, oldText);
  ::SetBkColor(destination, oldBack);
}

void DrawDisabledBitmap(HDC destination, HDC image, COLORREF transparent, int x, int y, int width, int height) {
  ImageMask mask;
  if (!mask.Build(image, transparent, width, height)) return;
  PaintBrushThroughMask(destination, *mask.dc, ::GetSysColor(COLOR_3DHILIGHT), x + 1, y + 1, width, height);
  PaintBrushThroughMask(destination, *mask.dc, ::GetSysColor(COLOR_3DSHADOW), x, y, width, height);
}

int GetBitmapBits32(HDC dc, HBITMAP bitmap, int width, int height, BITMAPINFOHEADER* header,
                    std::vector<std::uint32_t>* bits) {
  bits->clear();
  if (bitmap == nullptr || width <= 0 || height <= 0) return 0;
  // Room for the colour masks GetDIBits may add behind the header.
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD masks[3];
  } info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = height;
  info.header.biPlanes = 1;
  info.header.biBitCount = 32;
  info.header.biCompression = BI_RGB;
  auto* asInfo = reinterpret_cast<BITMAPINFO*>(&info);
  if (::GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), nullptr, asInfo, DIB_RGB_COLORS) == 0) return 0;
  // Plain rows, read and handed on as such: the header goes on without room for masks.
  info.header.biCompression = BI_RGB;

  const auto size = orla::DibBufferSizeFor(width, height, info.header.biBitCount, info.header.biSizeImage);
  if (!size) return 0;
  try {
    bits->resize((size->bytes + 3) / 4);
  } catch (const std::bad_alloc&) {
    bits->clear();
    return 0;
  }
  if (::GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), bits->data(), asInfo, DIB_RGB_COLORS) == 0) {
    bits->clear();
    return 0;
  }
  *header = info.header;
  return size->rowWords;
}

void DrawShadowBitmap(HDC destination, HDC image, COLORREF transparent, int x, int y, int width, int height) {
  ImageMask mask;
  if (!mask.Build(image, transparent, width, height)) return;
  const int fullWidth = width + 2 * orla::kShadowMargin;
  const int fullHeight = height + 2 * orla::kShadowMargin;

  // The image's shape in grey on white, 4 pixels in.
  CBitmap silhouette;
  if (!silhouette.Attach(Create32BitBitmap(fullWidth, fullHeight))) return;
  {
    CDCBitmap dc(destination, &silhouette);
    if (dc.m_hDC == nullptr) return;
    ::PatBlt(dc, 0, 0, fullWidth, fullHeight, WHITENESS);
    PaintBrushThroughMask(dc, *mask.dc, kSilhouetteGrey, orla::kShadowMargin, orla::kShadowMargin, width, height);
  }
  BITMAPINFOHEADER silhouetteHeader{};
  std::vector<std::uint32_t> silhouetteBits;
  const int silhouetteRow =
      GetBitmapBits32(destination, silhouette, fullWidth, fullHeight, &silhouetteHeader, &silhouetteBits);
  if (silhouetteRow == 0) return;

  // What the shadow falls on.
  CBitmap background;
  if (!background.Attach(Create32BitBitmap(fullWidth, fullHeight))) return;
  {
    CDCBitmap dc(destination, &background);
    if (dc.m_hDC == nullptr) return;
    ::BitBlt(dc, 0, 0, fullWidth, fullHeight, destination, x - 2, y - 2, SRCCOPY);
  }
  BITMAPINFOHEADER backgroundHeader{};
  std::vector<std::uint32_t> backgroundBits;
  const int backgroundRow =
      GetBitmapBits32(destination, background, fullWidth, fullHeight, &backgroundHeader, &backgroundBits);
  if (backgroundRow == 0) return;

  const orla::PixelRows32 silhouettePixels{silhouetteBits, static_cast<std::size_t>(silhouetteRow),
                                           static_cast<std::size_t>(fullHeight)};
  orla::PixelRows32 backgroundPixels{backgroundBits, static_cast<std::size_t>(backgroundRow),
                                     static_cast<std::size_t>(fullHeight)};
  if (!orla::ApplyShadowKernel(silhouettePixels, backgroundPixels, width, height)) return;

  // The rows are bottom-up, but the written area has the same margin at top and bottom.
  BITMAPINFO info{};
  info.bmiHeader = backgroundHeader;
  ::StretchDIBits(destination, x, y, width + 4, height + 4, 2, 2, width + 4, height + 4, backgroundBits.data(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
}
