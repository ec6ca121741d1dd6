#pragma once
// CDCBitmap: a memory device context with a bitmap selected into it. The plain form opens a
// bitmap the caller owns; the buffer form owns its bitmap and copies itself onto the target
// when it goes, so a control is composed off screen and reaches the screen in one copy.

#include <windows.h>

#include "afx_types.h"
#include "gdi.h"

class CDCBitmap : public CDC {
 public:
  // A memory context compatible with `dc`; `bitmap`, when given, is selected into it and
  // stays the caller's.
  CDCBitmap(HDC dc, HBITMAP bitmap);
  CDCBitmap(HDC dc, CBitmap* bitmap);
  // The buffer form over the target's rectangle (left, top)-(right, bottom): its window
  // origin is (left, top), so the caller draws in the target's coordinates.
  CDCBitmap(HDC target, int left, int top, int right, int bottom);
  // The buffer form copies its rectangle to the target; every form selects the previous
  // bitmap again before its own is deleted.
  ~CDCBitmap() override;

 private:
  void Select(HBITMAP bitmap);

  HDC m_hTargetDC = nullptr;
  CRect m_rect;
  CBitmap m_bitmap;
  HBITMAP m_hPreviousBitmap = nullptr;
};
