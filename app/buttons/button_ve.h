#pragma once
// CButtonVE: a push button that draws itself, with the system's visual styles when a theme
// is active and with classic frame controls otherwise. A 50 ms timer, started by the first
// drawing, follows the mouse for the hover look, steps cross-fades between looks and makes
// the default button pulse. Every drawing is composed off screen and copied in one step.
//
// A button that creates its own window (receives WM_CREATE) deletes itself after its window
// is gone, so such a button is made with new; buttons bound to a dialog's controls are
// members of their dialog and never deleted that way.

#include <windows.h>
// Wine's header declares the functions without C linkage.
extern "C" {
#include <uxtheme.h>
}
#include <vssym32.h>

#include "afx_string.h"
#include "afx_types.h"
#include "buttons/button_ve_helper.h"
#include "controls.h"
#include "gdi.h"

class CButtonVE : public CButton, public CButtonVE_Helper {
 public:
  static constexpr UINT_PTR kHoverTimerId = 200;
  static constexpr UINT kHoverTimerPeriod = 50;

  CButtonVE() = default;
  ~CButtonVE() override = default;

  void DrawItem(LPDRAWITEMSTRUCT item) override;
  // Width and height of the caption without its accelerator marks, in the selected font.
  virtual CSize GetCaptionSize(CDC* dc, const CString& caption, const CRect& rect, UINT format);
  virtual void DrawCaptionText(CDC* dc, HTHEME theme, UINT uiState, const CRect& client, const CRect& backContent,
                               const CRect& text, UINT format, BOOL enabled, const CString& caption);
  // Draws what stands on the button's face: here the caption alone.
  virtual void DrawContent(CDC* dc, HTHEME theme, UINT uiState, const CRect& client, const CRect& backContent,
                           const CRect& text, UINT format, BOOL enabled);
  virtual HRESULT DrawThemeBack(CDC* target, CDC* dc, HTHEME theme, int state, const CRect& rect, CRect* content);
  virtual void DrawThemeAnimation(CDC* target, CDC* dc, HTHEME theme, int state, const CRect& rect,
                                  const CRect& content);
  virtual void DrawClassicFrame(CDC* target, CDC* dc, BOOL focused, UINT flags, const CRect& rect, CRect* content);
  virtual LRESULT OnUpdateUIState(WPARAM wParam, LPARAM lParam);

  BOOL IsVersion6OrLater();
  BOOL IsMouseOver() const;

  // The animation state, for tests.
  int ThemedState() const { return m_nThemedState; }
  int FadeStepsLeft() const { return m_nFadeSteps; }
  int FadeAlphaStep() const { return m_nFadeAlphaStep; }
  int PulseCounter() const { return m_nPulse; }
  bool IsDefaultButton() const { return m_bDefault != 0; }
  bool IsHover() const { return m_bHover != 0; }
  bool HasSnapshot() const { return m_bmpSnapshot.GetSafeHandle() != nullptr; }
  bool IsTimerRunning() const { return m_bTimerRunning != 0; }

 protected:
  int OnCreate(LPCREATESTRUCTW create);
  void OnDestroy();
  void PostNcDestroy() override;
  void OnSysColorChange();
  void OnTimer(UINT_PTR id);
  BOOL OnEraseBkgnd(CDC* dc);
  UINT OnGetDlgCode();
  void OnKillFocus(CWnd* newFocus);
  void OnLButtonDblClk(UINT flags, CPoint point);
  void OnLButtonUp(UINT flags, CPoint point);
  LRESULT OnSetStyle(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

  // Draws the old look into a fresh snapshot for the cross-fade into `newState`.
  void TakeSnapshot(CDC* target, HTHEME theme, int oldState, int newState, const CRect& client);

  int m_nVersion6 = -1;
  BOOL m_bTimerRunning = FALSE;
  BOOL m_bCreatedByWindow = FALSE;
  BOOL m_bHover = FALSE;
  BOOL m_bDefault = FALSE;
  int m_nThemedState = -1;
  int m_nPulse = 0;
  int m_nCheck = 0;
  CBitmap m_bmpSnapshot;
  int m_nFadeSteps = 0;
  int m_nFadeAlphaStep = 25;
  BOOL m_bCustomBackground = FALSE;
  COLORREF m_crBackground = ::GetSysColor(COLOR_BTNFACE);
  HBRUSH m_hParentBrush = nullptr;
};
