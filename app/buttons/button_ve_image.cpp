#include "buttons/button_ve_image.h"

#include "buttons/bitmap_drawing.h"
#include "buttons/dc_bitmap.h"

namespace {

// Width and height of a bitmap or an icon; false when they cannot be read.
bool ImageSize(HBITMAP bitmap, HICON icon, SIZE* size) {
  if (bitmap != nullptr) {
    BITMAP info{};
    if (::GetObjectW(bitmap, sizeof(info), &info) == 0) return false;
    *size = {info.bmWidth, info.bmHeight};
    return size->cx > 0 && size->cy > 0;
  }
  if (icon == nullptr) return false;
  ICONINFO info{};
  if (!::GetIconInfo(icon, &info)) return false;
  // GetIconInfo hands out copies of both bitmaps; a redraw must not leave them behind.
  CBitmap color;
  CBitmap mask;
  color.Attach(info.hbmColor);
  mask.Attach(info.hbmMask);
  BITMAP bits{};
  if (color.GetSafeHandle() != nullptr) {
    if (::GetObjectW(color.GetSafeHandle(), sizeof(bits), &bits) == 0) return false;
    *size = {bits.bmWidth, bits.bmHeight};
  } else {
    // A monochrome icon stacks its AND and XOR masks in one bitmap.
    if (mask.GetSafeHandle() == nullptr || ::GetObjectW(mask.GetSafeHandle(), sizeof(bits), &bits) == 0) return false;
    *size = {bits.bmWidth, bits.bmHeight / 2};
  }
  return size->cx > 0 && size->cy > 0;
}

}  // namespace

void CButtonVE_Image::SetHoverImage(HBITMAP bitmap, HICON icon) {
  m_bmpHover.Attach(bitmap);
  m_iconHover.reset(icon);
}

void CButtonVE_Image::SetDisabledImage(HBITMAP bitmap, HICON icon) {
  m_bmpDisabled.Attach(bitmap);
  m_iconDisabled.reset(icon);
}

void CButtonVE_Image::DrawContent(CDC* dc, HTHEME theme, UINT uiState, const CRect& client, const CRect& backContent,
                                  const CRect& text, UINT format, BOOL enabled) {
  const DWORD style = GetStyle();
  HBITMAP bitmap = nullptr;
  HICON icon = nullptr;
  if ((style & BS_BITMAP) != 0) bitmap = reinterpret_cast<HBITMAP>(SendMessage(BM_GETIMAGE, IMAGE_BITMAP));
  if ((style & BS_ICON) != 0 && bitmap == nullptr) icon = reinterpret_cast<HICON>(SendMessage(BM_GETIMAGE, IMAGE_ICON));
  bool embossed = false;
  const auto hoverBitmap = static_cast<HBITMAP>(m_bmpHover.GetSafeHandle());
  const auto disabledBitmap = static_cast<HBITMAP>(m_bmpDisabled.GetSafeHandle());
  if (!enabled && (disabledBitmap != nullptr || m_iconDisabled != nullptr)) {
    bitmap = disabledBitmap;
    icon = m_iconDisabled.get();
  } else if (!enabled) {
    embossed = true;
  } else if (m_bHover && (hoverBitmap != nullptr || m_iconHover != nullptr)) {
    bitmap = hoverBitmap;
    icon = m_iconHover.get();
  }
  SIZE image{};
  const bool hasImage = ImageSize(bitmap, icon, &image);

  CString caption;
  GetWindowText(caption);
  const HFONT font = GetFont();
  const HGDIOBJ oldFont = font != nullptr ? dc->SelectObject(font) : nullptr;
  CSize captionSize;
  if (!caption.IsEmpty()) captionSize = GetCaptionSize(dc, caption, text, format);

  orla::ImagePlacement place;
  place.caption = {text.left, text.top, text.right, text.bottom};
  place.captionFormat = format;
  if (hasImage) {
    orla::ImagePlacementInput in;
    in.text = place.caption;
    in.imageWidth = image.cx;
    in.imageHeight = image.cy;
    in.hasCaption = !caption.IsEmpty();
    in.captionWidth = captionSize.cx;
    in.captionHeight = captionSize.cy;
    in.gapX = m_nGapX;
    in.gapY = m_nGapY;
    in.side = m_nImagePlacement;
    in.format = format;
    place = orla::PlaceImage(in);
  }

  const int saved = ::SaveDC(*dc);
  ::IntersectClipRect(*dc, backContent.left, backContent.top, backContent.right, backContent.bottom);
  if (captionSize.cx > 0) {
    const CRect captionRect(place.caption.left, place.caption.top, place.caption.right, place.caption.bottom);
    DrawCaptionText(dc, theme, uiState, client, backContent, captionRect, place.captionFormat, enabled, caption);
  }

  if (hasImage) {
    CBitmap work;
    if (work.CreateCompatibleBitmap(*dc, image.cx, image.cy)) {
      CDCBitmap workDc(*dc, &work);
      if (workDc.m_hDC != nullptr) {
        COLORREF transparent = m_crTransparent;
        workDc.FillSolidRect(CRect(0, 0, image.cx, image.cy),
                             transparent == kTopLeftPixel ? m_crBackground : transparent);
        const LPARAM handle = bitmap != nullptr ? reinterpret_cast<LPARAM>(bitmap) : reinterpret_cast<LPARAM>(icon);
        ::DrawStateA(workDc, nullptr, nullptr, handle, 0, 0, 0, image.cx, image.cy,
                     bitmap != nullptr ? DST_BITMAP : DST_ICON);
        if (transparent == kTopLeftPixel) transparent = ::GetPixel(workDc, 0, 0);
        if (embossed) {
          DrawDisabledBitmap(*dc, workDc, transparent, place.x, place.y, image.cx, image.cy);
        } else {
          if (m_bShadow) DrawShadowBitmap(*dc, workDc, transparent, place.x - 1, place.y - 1, image.cx, image.cy);
          DrawTransparentBitmap(*dc, workDc, transparent, place.x, place.y, image.cx, image.cy);
        }
      }
    }
  }
  ::RestoreDC(*dc, saved);
  if (oldFont != nullptr) dc->SelectObject(oldFont);
}
