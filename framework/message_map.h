#pragma once
// The static message table of a window class: data, one row per handled message, walked from
// the most derived class to CWnd. Each row carries a small function that unpacks the message
// parameters and calls the handler, so handlers keep their natural signatures.

#include <windows.h>

class CWnd;
class CCmdUI;

namespace fw {

enum class EntryKind { kMessage, kCommand, kUpdateCommandUi };

struct MessageEntry {
  EntryKind kind;
  UINT message;  // window message (kMessage), notification code (kCommand)
  UINT idFirst;
  UINT idLast;
  // Runs the handler; for kUpdateCommandUi lParam is the CCmdUI*.
  LRESULT (*invoke)(CWnd* self, WPARAM wParam, LPARAM lParam);
};

struct MessageMap {
  const MessageMap* (*base)();
  const MessageEntry* entries;  // ends with a row whose invoke is null
};

}  // namespace fw

#define DECLARE_MESSAGE_MAP()                         \
 public:                                              \
  static const ::fw::MessageMap* GetThisMessageMap(); \
  const ::fw::MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                         \
  const ::fw::MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const ::fw::MessageMap* theClass::GetThisMessageMap() {                              \
    using ThisClass = theClass;                                                        \
    using TheBaseClass = baseClass;                                                    \
    static const ::fw::MessageEntry entries[] = {
#define END_MESSAGE_MAP()                                                      \
  {::fw::EntryKind::kMessage, 0, 0, 0, nullptr}                                \
  }                                                                            \
  ;                                                                            \
  static const ::fw::MessageMap map{&TheBaseClass::GetThisMessageMap, entries}; \
  return &map;                                                                 \
  }

#define FW_SELF static_cast<ThisClass*>(self)

// LRESULT OnXxx(WPARAM, LPARAM)
#define ON_MESSAGE(msg, memberFn) \
  {::fw::EntryKind::kMessage, msg, 0, 0, [](CWnd* self, WPARAM w, LPARAM l) -> LRESULT { return FW_SELF->memberFn(w, l); }},
// void OnXxx() for a command or a control notification from one id.
#define ON_CONTROL(code, id, memberFn)                                                        \
  {::fw::EntryKind::kCommand, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id), \
   [](CWnd* self, WPARAM, LPARAM) -> LRESULT { FW_SELF->memberFn(); return 0; }},
#define ON_COMMAND(id, memberFn) ON_CONTROL(0, id, memberFn)
#define ON_BN_CLICKED(id, memberFn) ON_CONTROL(BN_CLICKED, id, memberFn)
#define ON_EN_CHANGE(id, memberFn) ON_CONTROL(EN_CHANGE, id, memberFn)
// void OnUpdateXxx(CCmdUI*)
#define ON_UPDATE_COMMAND_UI(id, memberFn)                                                  \
  {::fw::EntryKind::kUpdateCommandUi, 0, static_cast<UINT>(id), static_cast<UINT>(id),    \
   [](CWnd* self, WPARAM, LPARAM l) -> LRESULT { FW_SELF->memberFn(reinterpret_cast<CCmdUI*>(l)); return 0; }},

#define ON_WM_PAINT() \
  {::fw::EntryKind::kMessage, WM_PAINT, 0, 0, [](CWnd* self, WPARAM, LPARAM) -> LRESULT { FW_SELF->OnPaint(); return 0; }},
#define ON_WM_CLOSE() \
  {::fw::EntryKind::kMessage, WM_CLOSE, 0, 0, [](CWnd* self, WPARAM, LPARAM) -> LRESULT { FW_SELF->OnClose(); return 0; }},
#define ON_WM_ERASEBKGND()                                                           \
  {::fw::EntryKind::kMessage, WM_ERASEBKGND, 0, 0, [](CWnd* self, WPARAM w, LPARAM) -> LRESULT { \
     return FW_SELF->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(w)));          \
   }},
#define ON_WM_TIMER() \
  {::fw::EntryKind::kMessage, WM_TIMER, 0, 0, [](CWnd* self, WPARAM w, LPARAM) -> LRESULT { FW_SELF->OnTimer(w); return 0; }},
#define ON_WM_QUERYDRAGICON()                                                          \
  {::fw::EntryKind::kMessage, WM_QUERYDRAGICON, 0, 0, [](CWnd* self, WPARAM, LPARAM) -> LRESULT { \
     return reinterpret_cast<LRESULT>(FW_SELF->OnQueryDragIcon());                      \
   }},
// void OnInitMenuPopup(CMenu* popup, UINT index, BOOL systemMenu)
#define ON_WM_INITMENUPOPUP()                                                                  \
  {::fw::EntryKind::kMessage, WM_INITMENUPOPUP, 0, 0, [](CWnd* self, WPARAM w, LPARAM l) -> LRESULT { \
     FW_SELF->OnInitMenuPopup(CMenu::FromHandle(reinterpret_cast<HMENU>(w)), LOWORD(l), HIWORD(l)); \
     return 0;                                                                                  \
   }},
// HBRUSH OnCtlColor(CDC*, CWnd*, UINT kind) for every WM_CTLCOLOR* message.
#define ON_WM_CTLCOLOR()                                                                           \
  {::fw::EntryKind::kMessage, WM_CTLCOLORMSGBOX, 0, WM_CTLCOLORSTATIC, [](CWnd* self, WPARAM w, LPARAM l) -> LRESULT { \
     const UINT kind = ::fw::CurrentMessage()->message - WM_CTLCOLORMSGBOX;                            \
     return reinterpret_cast<LRESULT>(FW_SELF->OnCtlColor(CDC::FromHandle(reinterpret_cast<HDC>(w)),    \
                                                          CWnd::FromHandle(reinterpret_cast<HWND>(l)), kind)); \
   }},

// int OnCreate(LPCREATESTRUCT): -1 fails the creation.
#define ON_WM_CREATE()                                                                      \
  {::fw::EntryKind::kMessage, WM_CREATE, 0, 0, [](CWnd* self, WPARAM, LPARAM l) -> LRESULT { \
     return FW_SELF->OnCreate(reinterpret_cast<LPCREATESTRUCTW>(l));                         \
   }},
#define ON_WM_DESTROY() \
  {::fw::EntryKind::kMessage, WM_DESTROY, 0, 0, [](CWnd* self, WPARAM, LPARAM) -> LRESULT { FW_SELF->OnDestroy(); return 0; }},
#define ON_WM_NCDESTROY() \
  {::fw::EntryKind::kMessage, WM_NCDESTROY, 0, 0, [](CWnd* self, WPARAM, LPARAM) -> LRESULT { FW_SELF->OnNcDestroy(); return 0; }},
#define ON_WM_SYSCOLORCHANGE()                                                                \
  {::fw::EntryKind::kMessage, WM_SYSCOLORCHANGE, 0, 0, [](CWnd* self, WPARAM, LPARAM) -> LRESULT { \
     FW_SELF->OnSysColorChange();                                                             \
     return 0;                                                                                \
   }},
#define ON_WM_GETDLGCODE()                                                                     \
  {::fw::EntryKind::kMessage, WM_GETDLGCODE, 0, 0, [](CWnd* self, WPARAM, LPARAM) -> LRESULT { \
     return static_cast<LRESULT>(FW_SELF->OnGetDlgCode());                                     \
   }},
#define ON_WM_KILLFOCUS()                                                                      \
  {::fw::EntryKind::kMessage, WM_KILLFOCUS, 0, 0, [](CWnd* self, WPARAM w, LPARAM) -> LRESULT { \
     FW_SELF->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(w)));                        \
     return 0;                                                                                 \
   }},
// void OnXxx(UINT keyState, CPoint point) for the mouse buttons and moves.
#define FW_ON_MOUSE(msg, memberFn)                                                                    \
  {::fw::EntryKind::kMessage, msg, 0, 0, [](CWnd* self, WPARAM w, LPARAM l) -> LRESULT {              \
     FW_SELF->memberFn(static_cast<UINT>(w), CPoint(static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l)))); \
     return 0;                                                                                        \
   }},
#define ON_WM_LBUTTONDOWN() FW_ON_MOUSE(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() FW_ON_MOUSE(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() FW_ON_MOUSE(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_MOUSEMOVE() FW_ON_MOUSE(WM_MOUSEMOVE, OnMouseMove)
