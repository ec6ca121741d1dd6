#pragma once
// Thin control wrappers: each member is one message to the control.

#include <windows.h>
#include <commctrl.h>

#include "wnd.h"

class CButton : public CWnd {
 public:
  // Owner-drawn buttons override this; their parent reflects WM_DRAWITEM to them.
  virtual void DrawItem(LPDRAWITEMSTRUCT) {}
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  BOOL Create(const char16_t* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CreateEx(0, u"BUTTON", caption, style, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                    parent->m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
  }
  int GetCheck() const { return static_cast<int>(::SendMessageW(m_hWnd, BM_GETCHECK, 0, 0)); }
  void SetCheck(int check) { ::SendMessageW(m_hWnd, BM_SETCHECK, static_cast<WPARAM>(check), 0); }
  UINT GetState() const { return static_cast<UINT>(::SendMessageW(m_hWnd, BM_GETSTATE, 0, 0)); }
};

class CProgressCtrl : public CWnd {
 public:
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CreateEx(0, u"msctls_progress32", nullptr, style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent->m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
  }
  void SetRange(int lower, int upper) { ::SendMessageW(m_hWnd, PBM_SETRANGE32, static_cast<WPARAM>(lower), upper); }
  int SetPos(int position) { return static_cast<int>(::SendMessageW(m_hWnd, PBM_SETPOS, static_cast<WPARAM>(position), 0)); }
  int GetPos() const { return static_cast<int>(::SendMessageW(m_hWnd, PBM_GETPOS, 0, 0)); }
  int SetStep(int step) { return static_cast<int>(::SendMessageW(m_hWnd, PBM_SETSTEP, static_cast<WPARAM>(step), 0)); }
};

class CAnimateCtrl : public CWnd {
 public:
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CreateEx(0, u"SysAnimate32", nullptr, style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent->m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
  }
  // Opens clip `id` from `module`; the module must stay loaded while the clip is open.
  BOOL Open(HINSTANCE module, UINT id) {
    return static_cast<BOOL>(::SendMessageW(m_hWnd, ACM_OPENW, reinterpret_cast<WPARAM>(module),
                                            static_cast<LPARAM>(id)));
  }
  BOOL Close() { return static_cast<BOOL>(::SendMessageW(m_hWnd, ACM_OPENW, 0, 0)); }
  BOOL Stop() { return static_cast<BOOL>(::SendMessageW(m_hWnd, ACM_STOP, 0, 0)); }
};
