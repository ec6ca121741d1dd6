#include "gdi.h"

#include <memory>
#include <vector>

#include "wnd.h"

bool CGdiObject::Attach(HGDIOBJ handle) {
  DeleteObject();
  handle_ = handle;
  return handle_ != nullptr;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ handle = handle_;
  handle_ = nullptr;
  return handle;
}

BOOL CGdiObject::DeleteObject() {
  if (handle_ == nullptr) return FALSE;
  const BOOL ok = ::DeleteObject(handle_);
  handle_ = nullptr;
  return ok;
}

CDC* CDC::FromHandle(HDC dc) {
  // Handles from messages are wrapped for the length of one dispatch; the wrappers own
  // nothing and are dropped by the framework's loops.
  if (CDC* known = fw::FindTemporary(dc)) return known;
  auto wrapper = std::make_unique<CDC>();
  wrapper->m_hDC = dc;
  wrapper->owned_ = false;
  CDC* raw = wrapper.get();
  fw::KeepTemporary(std::move(wrapper));
  return raw;
}

bool CDC::Attach(HDC dc) {
  DeleteDC();
  m_hDC = dc;
  owned_ = true;
  return m_hDC != nullptr;
}

HDC CDC::Detach() {
  HDC dc = m_hDC;
  m_hDC = nullptr;
  return dc;
}

BOOL CDC::DeleteDC() {
  if (m_hDC == nullptr) return FALSE;
  const BOOL ok = owned_ ? ::DeleteDC(m_hDC) : TRUE;
  m_hDC = nullptr;
  return ok;
}

void CDC::FillSolidRect(const RECT& rect, COLORREF color) {
  const COLORREF old = ::SetBkColor(m_hDC, color);
  ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
  ::SetBkColor(m_hDC, old);
}

CSize CDC::GetTextExtent(const char* text, int length) const {
  SIZE size{};
  ::GetTextExtentPoint32A(m_hDC, text, length, &size);
  return CSize(size);
}

CPaintDC::CPaintDC(CWnd* window) : window_(window->GetSafeHwnd()) {
  m_hDC = ::BeginPaint(window_, &m_ps);
  owned_ = false;
}

CPaintDC::~CPaintDC() {
  ::EndPaint(window_, &m_ps);
  m_hDC = nullptr;
}

CClientDC::CClientDC(CWnd* window) : window_(window != nullptr ? window->GetSafeHwnd() : nullptr) {
  m_hDC = ::GetDC(window_);
  owned_ = false;
}

CClientDC::~CClientDC() {
  if (m_hDC != nullptr) ::ReleaseDC(window_, m_hDC);
  m_hDC = nullptr;
}
