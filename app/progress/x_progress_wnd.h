#pragma once
// The progress popup shown while a file's pages are recognised: a text line, a bar, a Cancel
// button and an optional animation. Recognition runs on the UI thread and keeps the program
// alive through PumpMessages, which also turns Esc and Cancel into the cancelled state.

#include <windows.h>

#include <initializer_list>

#include "afx_string.h"
#include "controls.h"
#include "gdi.h"
#include "progress_sink.h"
#include "wnd.h"

class CXProgressWnd : public CWnd, public orla::ProgressSink {
 public:
  CXProgressWnd(CWnd* parent, const char* title);
  ~CXProgressWnd() override;

  BOOL Create(CWnd* parent, const char* title, BOOL withAnimation);
  void EnterModal(CWnd* parent);
  void SetRangeDefault();
  void SetCancelButtonText(const char* text);
  // Formats `format` with integer arguments only (see FormatIntegers): the format may come
  // from a language file.
  template <typename... Ints>
  void SetText(const char* format, Ints... numbers) {
    SetTextWith(format, {static_cast<long long>(numbers)...});
  }
  void Clear();
  void SetPos(int position) override;
  void Refresh();
  void PumpMessages() override;
  void Cancel();
  BOOL DestroyWindow() override;

  // What the recognizer reads. The framework clears m_hWnd when the window is destroyed by
  // any road (WM_NCDESTROY), so no IsWindow call is needed on this hot path.
  bool IsAlive() const override { return m_hWnd != nullptr; }
  int Position() const override { return m_nPos; }
  int PassEnd() const override { return m_nPassEnd; }
  void SetPassEnd(int end) override { m_nPassEnd = end; }
  bool Cancelled() const override { return m_bCancelled != 0; }
  // The pump looks at the queue every few milliseconds at most; a few thousand pixels of a
  // walk take microseconds, so visiting that often still sees Cancel at once.
  int PixelsPerVisit() const override { return 4096; }

  // Read by tests and the Track road.
  int Percent() const { return m_nPercent; }
  const CString& Text() const { return m_strText; }
  CString DisplayText() const;
  const CRect& TextRect() const { return m_rcText; }
  CButton& CancelButton() { return m_wndCancel; }
  CProgressCtrl& ProgressBar() { return m_wndProgress; }
  bool IsModal() const { return m_bModal != 0; }

  int m_bCancelled = 0;
  int m_nPos = 0;
  int m_nPassEnd = 100;

 protected:
  BOOL OnEraseBkgnd(CDC* dc);
  void OnPaint();
  void OnClose();
  void OnCancelClicked();
  DECLARE_MESSAGE_MAP()

 private:
  void SetDefaults();
  void SetTextWith(const char* format, std::initializer_list<long long> numbers);
  void Layout(int textLines);
  void DrawTextBuffered(const CString& text, CDC* dc);
  // Shows the current position: the text with its percent and the bar.
  void DrawPosition();
  HFONT Font() const;

  CWnd* m_pParent = nullptr;
  CProgressCtrl m_wndProgress;
  CButton m_wndCancel;
  HWND m_hDisabledOwner = nullptr;
  CAnimateCtrl m_wndAnimation;
  HMODULE m_hAnimationModule = nullptr;  // holds the clip's resources while it is open
  int m_nAnimationSize = 50;
  CRect m_rcText;
  int m_bModal = 0;
  int m_bFirstRefresh = 1;
  int m_nUpper = 100;
  int m_nLower = 0;
  int m_nTextLines = 2;
  int m_nPercent = 0;
  CString m_strTitle = "Progress";
  CString m_strText;
  CString m_strCancel = " Cancel ";
  CFont m_font;
  unsigned long long m_lastPumpTick = 0;
  unsigned long long m_lastDrawTick = 0;
  unsigned long long m_lastFocusTick = 0;
  int m_bPositionPending = 0;  // a position set since the last drawing waits for the next one
};
