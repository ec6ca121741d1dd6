#pragma once
// CButtonVE_Image: an owner-drawn button with an image beside its caption. The normal image
// is the button's standard image (BM_SETIMAGE, with BS_BITMAP or BS_ICON); images of its own
// serve while the mouse is over the button and while it is disabled. Pixels of the
// transparent colour are not drawn; a disabled button without a disabled image shows its
// image embossed; an optional soft shadow falls under the image.

#include <windows.h>

#include <memory>
#include <type_traits>

#include "buttons/button_ve.h"
#include "buttons/image_placement.h"

class CButtonVE_Image : public CButtonVE {
 public:
  // Transparent colour that means: the colour of the image's top-left pixel.
  static constexpr COLORREF kTopLeftPixel = 0xFFFFFFFF;

  CButtonVE_Image() = default;
  ~CButtonVE_Image() override = default;

  void DrawContent(CDC* dc, HTHEME theme, UINT uiState, const CRect& client, const CRect& backContent,
                   const CRect& text, UINT format, BOOL enabled) override;

  // The button owns these images from here on and releases any it held before.
  void SetHoverImage(HBITMAP bitmap, HICON icon);
  void SetDisabledImage(HBITMAP bitmap, HICON icon);
  void SetTransparentColor(COLORREF color) { m_crTransparent = color; }
  void SetShadow(BOOL shadow) { m_bShadow = shadow; }
  // orla::kImageLeft, kImageRight, kImageAbove or kImageBelow of the caption.
  void SetImagePlacement(int side) { m_nImagePlacement = side; }
  void SetImageGaps(int horizontal, int vertical) {
    m_nGapX = horizontal;
    m_nGapY = vertical;
  }

 private:
  struct IconDeleter {
    void operator()(std::remove_pointer_t<HICON>* icon) const { ::DestroyIcon(icon); }
  };
  using OwnedIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

  COLORREF m_crTransparent = kTopLeftPixel;
  BOOL m_bShadow = FALSE;
  CBitmap m_bmpHover;
  OwnedIcon m_iconHover;
  CBitmap m_bmpDisabled;
  OwnedIcon m_iconDisabled;
  int m_nImagePlacement = orla::kImageLeft;
  int m_nGapX = 8;
  int m_nGapY = 1;
};
