#include "buttons/dc_bitmap.h"

CDCBitmap::CDCBitmap(HDC dc, HBITMAP bitmap) {
  Attach(::CreateCompatibleDC(dc));
  Select(bitmap);
}

CDCBitmap::CDCBitmap(HDC dc, CBitmap* bitmap)
    : CDCBitmap(dc, bitmap != nullptr ? static_cast<HBITMAP>(*bitmap) : nullptr) {}

CDCBitmap::CDCBitmap(HDC target, int left, int top, int right, int bottom)
    : m_hTargetDC(target), m_rect(left, top, right, bottom) {
  if (!Attach(::CreateCompatibleDC(target))) return;
  // A zero-sized request would hand back the shared 1 x 1 stock bitmap, not one of ours.
  if (m_rect.Width() <= 0 || m_rect.Height() <= 0) return;
  if (!m_bitmap.CreateCompatibleBitmap(target, m_rect.Width(), m_rect.Height())) return;
  Select(m_bitmap);
  ::SetWindowOrgEx(m_hDC, left, top, nullptr);
}

void CDCBitmap::Select(HBITMAP bitmap) {
  if (m_hDC == nullptr || bitmap == nullptr) return;
  m_hPreviousBitmap = static_cast<HBITMAP>(::SelectObject(m_hDC, bitmap));
}

CDCBitmap::~CDCBitmap() {
  // Without its bitmap the buffer holds nothing worth copying.
  if (m_hTargetDC != nullptr && m_hDC != nullptr && m_bitmap.GetSafeHandle() != nullptr &&
      m_hPreviousBitmap != nullptr) {
    ::BitBlt(m_hTargetDC, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), m_hDC, m_rect.left, m_rect.top,
             SRCCOPY);
  }
  if (m_hDC != nullptr && m_hPreviousBitmap != nullptr) ::SelectObject(m_hDC, m_hPreviousBitmap);
  // Members and the base go next: the owned bitmap, now deselected, then the context.
}
