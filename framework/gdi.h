#pragma once
// Device contexts and GDI objects. Each wrapper deletes what it created or was given to own
// (Attach), and nothing else.

#include <windows.h>

#include "afx_types.h"

class CWnd;

class CGdiObject {
 public:
  CGdiObject() = default;
  virtual ~CGdiObject() { DeleteObject(); }
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  HGDIOBJ GetSafeHandle() const { return handle_; }
  bool Attach(HGDIOBJ handle);
  HGDIOBJ Detach();
  BOOL DeleteObject();

 protected:
  HGDIOBJ handle_ = nullptr;
};

class CBrush : public CGdiObject {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
  BOOL CreateSolidBrush(COLORREF color) { return Attach(::CreateSolidBrush(color)); }
  operator HBRUSH() const { return static_cast<HBRUSH>(handle_); }  // NOLINT
};

class CPen : public CGdiObject {
 public:
  BOOL CreatePen(int style, int width, COLORREF color) { return Attach(::CreatePen(style, width, color)); }
  operator HPEN() const { return static_cast<HPEN>(handle_); }  // NOLINT
};

class CFont : public CGdiObject {
 public:
  BOOL CreateFontIndirectW(const LOGFONTW* font) { return Attach(::CreateFontIndirectW(font)); }
  operator HFONT() const { return static_cast<HFONT>(handle_); }  // NOLINT
};

class CBitmap : public CGdiObject {
 public:
  BOOL CreateCompatibleBitmap(HDC dc, int width, int height) {
    return Attach(::CreateCompatibleBitmap(dc, width, height));
  }
  BOOL LoadBitmapW(UINT id) {
    return Attach(::LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id)));
  }
  operator HBITMAP() const { return static_cast<HBITMAP>(handle_); }  // NOLINT
};

class CDC {
 public:
  CDC() = default;
  virtual ~CDC() { DeleteDC(); }
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  HDC GetSafeHdc() const { return m_hDC; }
  operator HDC() const { return m_hDC; }  // NOLINT
  // A device context this object does not own (from a message); never deleted.
  static CDC* FromHandle(HDC dc);

  bool Attach(HDC dc);
  HDC Detach();
  BOOL CreateCompatibleDC(CDC* other) { return Attach(::CreateCompatibleDC(other != nullptr ? other->m_hDC : nullptr)); }
  BOOL DeleteDC();

  HGDIOBJ SelectObject(CGdiObject* object) { return ::SelectObject(m_hDC, object->GetSafeHandle()); }
  HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
  COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
  COLORREF SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }
  int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
  int GetClipBox(RECT* rect) const { return ::GetClipBox(m_hDC, rect); }
  void FillSolidRect(const RECT& rect, COLORREF color);
  int DrawTextW(const char16_t* text, int length, RECT* rect, UINT format) {
    return ::DrawTextW(m_hDC, reinterpret_cast<LPCWSTR>(text), length, rect, format);
  }
  int DrawTextA(const char* text, int length, RECT* rect, UINT format) { return ::DrawTextA(m_hDC, text, length, rect, format); }
  CSize GetTextExtent(const char* text, int length) const;
  BOOL BitBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, width, height, source->m_hDC, sx, sy, rop);
  }

  HDC m_hDC = nullptr;

 protected:
  bool owned_ = true;
};

// BeginPaint/EndPaint for one WM_PAINT: validates the update region.
class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* window);
  ~CPaintDC() override;
  PAINTSTRUCT m_ps{};

 private:
  HWND window_;
};

// GetDC/ReleaseDC of a window's client area.
class CClientDC : public CDC {
 public:
  explicit CClientDC(CWnd* window);
  ~CClientDC() override;

 private:
  HWND window_;
};
