#pragma once
// CWnd: a window object bound to its HWND through a process-wide map. Windows created by the
// framework or subclassed from an existing HWND get the framework's W window procedure, so
// every message runs through the class's message table first and then to the procedure the
// window had before (Default).

#include <windows.h>

#include <memory>
#include <string>

#include "afx_string.h"
#include "afx_types.h"
#include "gdi.h"
#include "message_map.h"

class CMenu;
class CCmdUI;

namespace fw {

// The message being dispatched on this thread (for Default and handlers that need it).
const MSG* CurrentMessage();
// Wrappers for handles met in messages live until the next DropTemporaries.
void KeepTemporary(std::unique_ptr<CDC> dc);
void KeepTemporary(std::unique_ptr<CWnd> window);
void KeepTemporary(std::unique_ptr<CMenu> menu);
CDC* FindTemporary(HDC dc);
void DropTemporaries();

}  // namespace fw

class CWnd {
 public:
  CWnd() = default;
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  static const fw::MessageMap* GetThisMessageMap();
  virtual const fw::MessageMap* GetMessageMap() const;

  // The object bound to `window`, or a temporary one that lives for the current dispatch.
  static CWnd* FromHandle(HWND window);
  static CWnd* FromHandlePermanent(HWND window);

  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }                                 // NOLINT

  // Creates a window of a registered class; the object receives every message from
  // WM_NCCREATE on.
  virtual BOOL CreateEx(DWORD exStyle, const char16_t* className, const char16_t* windowName, DWORD style, int x,
                        int y, int width, int height, HWND parent, HMENU idOrMenu);
  virtual BOOL DestroyWindow();
  // Binds an existing window (a dialog control) and routes its messages through this object.
  BOOL SubclassWindow(HWND window);
  BOOL SubclassDlgItem(UINT id, CWnd* parent);
  HWND UnsubclassWindow();
  BOOL Attach(HWND window);
  HWND Detach();

  LRESULT Default();
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL PreTranslateMessage(MSG* msg);
  // Routes a command or a command-UI update through the message tables.
  virtual BOOL OnCmdMsg(UINT id, int code, CCmdUI* cmdUi);
  // A control's own chance at a notification its parent received (reflection).
  virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual void PostNcDestroy() {}

  // One Win32 call each.
  BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
  BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  void SetWindowTextW(const char16_t* text) { ::SetWindowTextW(m_hWnd, reinterpret_cast<LPCWSTR>(text)); }
  void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
  void GetWindowText(CString& text) const;
  std::u16string GetWindowTextW() const;
  CWnd* GetDlgItem(int id) const { return FromHandle(::GetDlgItem(m_hWnd, id)); }
  void SetDlgItemText(int id, const char* text) { ::SetDlgItemTextA(m_hWnd, id, text); }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
  void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
  void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
  BOOL MoveWindow(const RECT& rect, BOOL repaint = TRUE) {
    return ::MoveWindow(m_hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, repaint);
  }
  BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
  }
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
  }
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
  }
  void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
  BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
  HFONT GetFont() const { return reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)); }
  void SetFont(HFONT font, BOOL redraw = TRUE) { ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw); }
  CMenu* GetMenu() const;
  UINT_PTR SetTimer(UINT_PTR id, UINT elapse) { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
  BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
  BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
  void CenterWindow(CWnd* alternateOwner = nullptr);

  // Handlers whose defaults run the window's previous procedure.
  HBRUSH OnCtlColor(CDC* dc, CWnd* control, UINT kind);
  void OnInitMenuPopup(CMenu* popup, UINT index, BOOL systemMenu);

  HWND m_hWnd = nullptr;

 protected:
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  // Looks the message up in the tables; true when a handler ran.
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  static LRESULT CALLBACK StandardWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Binds the next window created on this thread to `self` (for CreateEx and dialogs).
  static void HookNextCreation(CWnd* self);
  static void UnhookCreation();

  WNDPROC m_pfnSuper = nullptr;

 private:
  friend LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam);
};

// Command-UI: the state of one menu item, set by an update handler.
class CCmdUI {
 public:
  UINT m_nID = 0;
  UINT m_nIndex = 0;
  UINT m_nIndexMax = 0;
  CMenu* m_pMenu = nullptr;
  CMenu* m_pSubMenu = nullptr;
  CMenu* m_pParentMenu = nullptr;
  CWnd* m_pOther = nullptr;
  BOOL m_bEnableChanged = FALSE;

  virtual ~CCmdUI() = default;
  virtual void Enable(BOOL on = TRUE);
  // Runs the handler registered for m_nID in `target`; without one, disables the item when
  // asked to.
  BOOL DoUpdate(CWnd* target, BOOL disableIfNoHandler);
};

// Walks a popup's items and runs each one's update handler in `target`, as a frame window
// does when a menu opens.
void UpdatePopupMenuCommandUi(CWnd* target, CMenu* popup);

class CMenu {
 public:
  CMenu() = default;
  virtual ~CMenu();
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;

  static CMenu* FromHandle(HMENU menu);
  HMENU GetSafeHmenu() const { return m_hMenu; }
  operator HMENU() const { return m_hMenu; }  // NOLINT
  BOOL Attach(HMENU menu);
  HMENU Detach();
  BOOL LoadMenuW(UINT id) { return Attach(::LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id))); }
  BOOL DestroyMenu();

  UINT GetMenuItemCount() const { return static_cast<UINT>(::GetMenuItemCount(m_hMenu)); }
  UINT GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }
  CMenu* GetSubMenu(int position) const { return FromHandle(::GetSubMenu(m_hMenu, position)); }
  UINT GetMenuState(UINT id, UINT flags) const { return ::GetMenuState(m_hMenu, id, flags); }
  UINT EnableMenuItem(UINT id, UINT flags) { return static_cast<UINT>(::EnableMenuItem(m_hMenu, id, flags)); }
  BOOL ModifyMenuW(UINT position, UINT flags, UINT_PTR newId, const char16_t* text) {
    return ::ModifyMenuW(m_hMenu, position, flags, newId, reinterpret_cast<LPCWSTR>(text));
  }

  HMENU m_hMenu = nullptr;

 private:
  bool owned_ = true;
};
