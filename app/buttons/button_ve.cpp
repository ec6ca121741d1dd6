#include "buttons/button_ve.h"

#include <string>

#include "buttons/bitmap_drawing.h"
#include "buttons/button_look.h"
#include "buttons/caption_format.h"
#include "buttons/dc_bitmap.h"
#include "buttons/theme_library.h"
#include "text/code_page_conversion.h"

// The portable rules carry the Win32 values.
static_assert(orla::kDlgcButton == DLGC_BUTTON && orla::kDlgcDefPushButton == DLGC_DEFPUSHBUTTON &&
              orla::kDlgcUndefPushButton == DLGC_UNDEFPUSHBUTTON);
static_assert(orla::kDfcsButtonPush == DFCS_BUTTONPUSH && orla::kDfcsInactive == DFCS_INACTIVE &&
              orla::kDfcsPushed == DFCS_PUSHED && orla::kDfcsChecked == DFCS_CHECKED);
static_assert(orla::kBsDefPushButton == BS_DEFPUSHBUTTON && orla::kBsOwnerDraw == BS_OWNERDRAW &&
              orla::kBsTypeMask == BS_TYPEMASK);
static_assert(orla::kDtLeft == DT_LEFT && orla::kDtCenter == DT_CENTER && orla::kDtRight == DT_RIGHT &&
              orla::kDtTop == DT_TOP && orla::kDtVCenter == DT_VCENTER && orla::kDtBottom == DT_BOTTOM &&
              orla::kDtSingleLine == DT_SINGLELINE);
static_assert(orla::kBsLeft == BS_LEFT && orla::kBsRight == BS_RIGHT && orla::kBsTop == BS_TOP &&
              orla::kBsBottom == BS_BOTTOM && orla::kBsMultiLine == BS_MULTILINE);
static_assert(int{orla::kStateNormal} == PBS_NORMAL && int{orla::kStateHot} == PBS_HOT &&
              int{orla::kStatePressed} == PBS_PRESSED && int{orla::kStateDisabled} == PBS_DISABLED &&
              int{orla::kStateDefaulted} == PBS_DEFAULTED);

BEGIN_MESSAGE_MAP(CButtonVE, CButton)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_SYSCOLORCHANGE()
  ON_WM_TIMER()
  ON_WM_ERASEBKGND()
  ON_WM_GETDLGCODE()
  ON_WM_KILLFOCUS()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_LBUTTONUP()
  ON_MESSAGE(BM_SETSTYLE, OnSetStyle)
  ON_MESSAGE(BM_SETCHECK, OnSetCheck)
  ON_MESSAGE(BM_GETCHECK, OnGetCheck)
  ON_MESSAGE(WM_UPDATEUISTATE, OnUpdateUIState)
END_MESSAGE_MAP()

// ---- messages

int CButtonVE::OnCreate(LPCREATESTRUCTW) {
  if (Default() == -1) return -1;
  m_bCreatedByWindow = TRUE;
  return 0;
}

void CButtonVE::OnDestroy() {
  if (m_bTimerRunning) {
    KillTimer(kHoverTimerId);
    m_bTimerRunning = FALSE;
  }
  m_bmpSnapshot.DeleteObject();
  Default();
}

void CButtonVE::PostNcDestroy() {
  // Only a button that made its own window belongs to it; the framework has let go of the
  // window by now, so nothing touches this object after it is gone.
  if (m_bCreatedByWindow) delete this;
}

void CButtonVE::OnSysColorChange() {
  Default();
  m_bmpSnapshot.DeleteObject();
  if (!m_bCustomBackground) m_crBackground = ::GetSysColor(COLOR_BTNFACE);
  Invalidate(TRUE);
  UpdateWindow();
}

void CButtonVE::OnTimer(UINT_PTR id) {
  if (id != kHoverTimerId) {
    Default();
    return;
  }
  const BOOL hover = IsMouseOver();
  if (hover != m_bHover) {
    m_bHover = hover;
    Invalidate(FALSE);
  }
  if (!IsVersion6OrLater()) return;
  if (m_nFadeSteps > 0) {
    --m_nFadeSteps;
    Invalidate(FALSE);
  } else if (m_nThemedState == orla::kStateDefaulted) {
    m_nPulse = orla::NextPulseCounter(m_nPulse);
    if (m_nPulse % 2 == 0) Invalidate(FALSE);
  }
}

BOOL CButtonVE::OnEraseBkgnd(CDC*) { return TRUE; }

UINT CButtonVE::OnGetDlgCode() { return orla::DialogCode(IsWindowEnabled() != FALSE, m_bDefault != FALSE); }

void CButtonVE::OnKillFocus(CWnd*) {
  Invalidate();
  Default();
}

void CButtonVE::OnLButtonDblClk(UINT flags, CPoint point) {
  SendMessage(WM_LBUTTONDOWN, flags, MAKELPARAM(point.x, point.y));
  Default();
}

void CButtonVE::OnLButtonUp(UINT, CPoint) {
  const UINT state = GetState();
  if ((state & BST_PUSHED) != 0) m_nCheck = orla::CheckStateAfterClick((GetStyle() & BS_PUSHLIKE) != 0, m_nCheck);
  Default();
}

LRESULT CButtonVE::OnSetStyle(WPARAM wParam, LPARAM lParam) {
  const BOOL defaultButton = orla::IsDefaultPushStyle(static_cast<unsigned>(wParam)) ? TRUE : FALSE;
  if (defaultButton != m_bDefault) {
    m_bDefault = defaultButton;
    Invalidate();
  }
  return DefWindowProc(BM_SETSTYLE, orla::StyleKeptOwnerDrawn(static_cast<unsigned>(wParam)), lParam);
}

LRESULT CButtonVE::OnSetCheck(WPARAM wParam, LPARAM) {
  m_nCheck = static_cast<int>(wParam);
  Invalidate();
  return 0;
}

LRESULT CButtonVE::OnGetCheck(WPARAM, LPARAM) { return m_nCheck; }

LRESULT CButtonVE::OnUpdateUIState(WPARAM wParam, LPARAM lParam) {
  Invalidate();
  return DefWindowProc(WM_UPDATEUISTATE, wParam, lParam);
}

// ---- helpers

BOOL CButtonVE::IsVersion6OrLater() {
  if (m_nVersion6 >= 0) return m_nVersion6;
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof(version);
  const bool ok = ::GetVersionExA(&version) != FALSE;
  m_nVersion6 = ok && version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 6 ? 1 : 0;
  return m_nVersion6;
}

BOOL CButtonVE::IsMouseOver() const {
  if (m_hWnd == nullptr) return FALSE;
  const HWND capture = ::GetCapture();
  if (capture != nullptr && capture != m_hWnd) return FALSE;
  POINT cursor{};
  if (!::GetCursorPos(&cursor)) return FALSE;
  RECT window{};
  ::GetWindowRect(m_hWnd, &window);
  if (!::PtInRect(&window, cursor)) return FALSE;
  const HWND under = ::WindowFromPoint(cursor);
  if (under == nullptr || !::IsWindowEnabled(under)) return FALSE;
  if (under == m_hWnd) return TRUE;
  POINT inside = cursor;
  ::ScreenToClient(under, &inside);
  return ::ChildWindowFromPointEx(under, inside, CWP_ALL) == m_hWnd;
}

// ---- drawing

void CButtonVE::DrawItem(LPDRAWITEMSTRUCT item) {
  if (!m_bTimerRunning) {
    SetTimer(kHoverTimerId, kHoverTimerPeriod);
    m_bTimerRunning = TRUE;
  }
  if (item == nullptr || item->CtlType != ODT_BUTTON) return;

  CRect client;
  GetClientRect(&client);
  CDC* target = CDC::FromHandle(item->hDC);
  CDCBitmap buffer(item->hDC, client.left, client.top, client.right, client.bottom);

  m_hParentBrush = nullptr;
  if (const HWND parent = ::GetParent(m_hWnd)) {
    m_hParentBrush = reinterpret_cast<HBRUSH>(::SendMessageW(
        parent, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(buffer.m_hDC), reinterpret_cast<LPARAM>(m_hWnd)));
  }

  const LRESULT queried = SendMessage(WM_QUERYUISTATE);
  const UINT uiState = queried < 0 ? 0 : static_cast<UINT>(queried);
  const UINT state = GetState();
  const DWORD style = GetStyle();
  m_bHover = IsMouseOver();
  BOOL pushed = (state & BST_PUSHED) != 0;
  const BOOL focused = ::GetFocus() == m_hWnd;
  BOOL pressedLook = pushed || ((style & BS_PUSHLIKE) != 0 && m_nCheck != 0);
  const BOOL enabled = IsWindowEnabled();
  if (!enabled) {
    pushed = FALSE;
    pressedLook = FALSE;
    m_bDefault = FALSE;
    m_bHover = FALSE;
  }

  HTHEME theme = nullptr;
  if (g_hUxTheme != nullptr && IsAppThemed() && IsThemeActive()) theme = OpenThemeData(m_hWnd, u"Button");

  CRect backContent;
  CRect text;
  if (theme != nullptr) {
    const int newState = orla::ChooseThemedState(!enabled, pressedLook, m_bHover, m_bDefault);
    const int oldState = m_nThemedState < 0 ? newState : m_nThemedState;
    m_nThemedState = newState;
    if (IsVersion6OrLater() && newState != oldState) TakeSnapshot(target, theme, oldState, newState, client);
    DrawThemeBack(target, &buffer, theme, newState, client, &backContent);
    DrawThemeAnimation(target, &buffer, theme, newState, client, backContent);
    text = backContent;
  } else {
    const UINT flags = orla::ClassicFrameFlags(!enabled, pressedLook, pushed, (style & BS_PUSHLIKE) != 0, m_nCheck);
    DrawClassicFrame(target, &buffer, focused, flags, client, &backContent);
    text = backContent;
    if (pushed) ::OffsetRect(&text, 1, 1);
    text.top -= 1;
  }

  DrawContent(&buffer, theme, uiState, client, backContent, text, orla::TextFormatForStyle(style), enabled);

  if (focused && (uiState & UISF_HIDEFOCUS) == 0) {
    CRect focus = theme != nullptr ? backContent : client;
    if (theme == nullptr) ::InflateRect(&focus, -4, -4);
    ::DrawFocusRect(buffer, &focus);
  }
  if (theme != nullptr) CloseThemeData(theme);
}

void CButtonVE::TakeSnapshot(CDC* target, HTHEME theme, int oldState, int newState, const CRect& client) {
  CBitmap snapshot;
  bool drawn = false;
  if (snapshot.Attach(Create32BitBitmap(client.Width(), client.Height()))) {
    CDCBitmap dc(target->m_hDC, &snapshot);
    if (dc.m_hDC != nullptr) {
      CRect content;
      DrawThemeBack(target, &dc, theme, oldState, client, &content);
      DrawThemeAnimation(target, &dc, theme, oldState, client, content);
      drawn = true;
    }
  }
  if (!drawn) {
    // Nothing to fade from: the new look shows at once.
    m_bmpSnapshot.DeleteObject();
    m_nFadeSteps = 0;
    return;
  }
  m_bmpSnapshot.Attach(snapshot.Detach());
  m_nFadeSteps = orla::FadeSteps(newState, oldState);
  m_nFadeAlphaStep = orla::FadeAlphaStep(m_nFadeSteps);
}

HRESULT CButtonVE::DrawThemeBack(CDC*, CDC* dc, HTHEME theme, int state, const CRect& rect, CRect* content) {
  if (IsThemeBackgroundPartiallyTransparent(theme, BP_PUSHBUTTON, state)) {
    DrawThemeParentBackground(m_hWnd, *dc, &rect);
  }
  const HRESULT result = DrawThemeBackground(theme, *dc, BP_PUSHBUTTON, state, &rect, nullptr);
  *content = rect;
  GetThemeBackgroundContentRect(theme, *dc, BP_PUSHBUTTON, state, &rect, content);
  return result;
}

void CButtonVE::DrawThemeAnimation(CDC* target, CDC* dc, HTHEME theme, int state, const CRect& rect,
                                   const CRect& content) {
  if (!IsVersion6OrLater()) return;
  if (m_nFadeSteps > 0) {
    if (m_bmpSnapshot.GetSafeHandle() != nullptr) {
      CDCBitmap snapshot(target->m_hDC, &m_bmpSnapshot);
      if (snapshot.m_hDC != nullptr) AlphaBlendRect(m_nFadeAlphaStep * m_nFadeSteps, *dc, rect, snapshot, rect);
    }
    m_nPulse = 0;
    return;
  }
  if (state != orla::kStateDefaulted) return;

  // The work bitmap holds the rectangle at (0, 0).
  CBitmap work;
  if (!work.CreateCompatibleBitmap(*target, rect.Width(), rect.Height())) return;
  CDCBitmap workDc(target->m_hDC, &work);
  if (workDc.m_hDC == nullptr) return;
  ::BitBlt(workDc, 0, 0, rect.Width(), rect.Height(), *dc, rect.left, rect.top, SRCCOPY);
  const auto inWork = [&](RECT r) {
    ::OffsetRect(&r, -rect.left, -rect.top);
    return CRect(r);
  };

  const int alpha = orla::PulseAlpha(m_nPulse);
  CRect grown = inWork(content);
  ::InflateRect(&grown, 1, 1);
  AlphaBlendRect(alpha / 2, *dc, content, workDc, grown);

  CRect hotContent;
  DrawThemeBack(target, &workDc, theme, orla::kStateHot, inWork(rect), &hotContent);
  ::InflateRect(&hotContent, -1, -1);
  CRect shrunk = content;
  ::InflateRect(&shrunk, -1, -1);
  AlphaBlendRect(alpha, *dc, shrunk, workDc, hotContent);
}

void CButtonVE::DrawClassicFrame(CDC*, CDC* dc, BOOL focused, UINT flags, const CRect& rect, CRect* content) {
  if (m_hParentBrush != nullptr && !m_bCustomBackground) {
    ::FillRect(*dc, &rect, m_hParentBrush);
  } else {
    dc->FillSolidRect(rect, m_crBackground);
  }
  CRect frame = rect;
  if (focused && (flags & DFCS_PUSHED) == 0) ::InflateRect(&frame, -1, -1);
  ::DrawFrameControl(*dc, &frame, DFC_BUTTON, flags);
  if (focused) ::FrameRect(*dc, &rect, ::GetSysColorBrush(COLOR_BTNTEXT));
  *content = rect;
  ::InflateRect(content, -4, -4);
}

CSize CButtonVE::GetCaptionSize(CDC* dc, const CString& caption, const CRect& rect, UINT format) {
  const std::string shown = orla::StripAccelerators(caption.str());
  if (shown.empty()) return CSize(0, 0);
  if (shown.find('\n') != std::string::npos && (format & DT_SINGLELINE) == 0) {
    int width = 0;
    std::size_t start = 0;
    while (start <= shown.size()) {
      std::size_t end = shown.find('\n', start);
      if (end == std::string::npos) end = shown.size();
      const CSize line = dc->GetTextExtent(shown.c_str() + start, static_cast<int>(end - start));
      if (line.cx > width) width = line.cx;
      start = end + 1;
    }
    // The marks are gone already: "&" left from "&&" is text, not a prefix.
    CRect measured = rect;
    dc->DrawTextA(shown.c_str(), static_cast<int>(shown.size()), &measured, format | DT_CALCRECT | DT_NOPREFIX);
    return CSize(width, measured.Height());
  }
  return dc->GetTextExtent(shown.c_str(), static_cast<int>(shown.size()));
}

void CButtonVE::DrawCaptionText(CDC* dc, HTHEME theme, UINT uiState, const CRect&, const CRect&, const CRect& text,
                                UINT format, BOOL enabled, const CString& caption) {
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  std::string shown = caption.str();
  if ((format & DT_SINGLELINE) != 0) shown = orla::LineFeedsToBlanks(shown);
  const int length = static_cast<int>(shown.size());

  // DrawText centres and bottom-aligns single lines only: place the text by hand.
  CRect measured = text;
  dc->DrawTextA(shown.c_str(), length, &measured, DT_CALCRECT | (format & DT_SINGLELINE));
  CRect place = text;
  place.top = orla::AlignedCaptionTop(text.top, text.bottom, measured.Height(), format);
  format &= ~(DT_VCENTER | DT_BOTTOM);
  if ((uiState & UISF_HIDEACCEL) != 0) format |= DT_HIDEPREFIX;

  if (theme != nullptr) {
    const std::u16string wide = orla::MultiByteToWide(shown);
    DrawThemeText(theme, *dc, BP_PUSHBUTTON, m_nThemedState, wide.c_str(), static_cast<int>(wide.size()), format, 0,
                  &place);
  } else if (enabled) {
    const COLORREF oldColor = dc->SetTextColor(::GetSysColor(COLOR_BTNTEXT));
    dc->DrawTextA(shown.c_str(), length, &place, format);
    dc->SetTextColor(oldColor);
  } else {
    const COLORREF oldColor = dc->SetTextColor(::GetSysColor(COLOR_3DHILIGHT));
    CRect raised = place;
    ::OffsetRect(&raised, 1, 1);
    dc->DrawTextA(shown.c_str(), length, &raised, format);
    dc->SetTextColor(::GetSysColor(COLOR_3DSHADOW));
    dc->DrawTextA(shown.c_str(), length, &place, format);
    dc->SetTextColor(oldColor);
  }
  dc->SetBkMode(oldMode);
}

void CButtonVE::DrawContent(CDC* dc, HTHEME theme, UINT uiState, const CRect& client, const CRect& backContent,
                            const CRect& text, UINT format, BOOL enabled) {
  CString caption;
  GetWindowText(caption);
  const HFONT font = GetFont();
  const HGDIOBJ oldFont = font != nullptr ? dc->SelectObject(font) : nullptr;
  DrawCaptionText(dc, theme, uiState, client, backContent, text, format, enabled, caption);
  if (oldFont != nullptr) dc->SelectObject(oldFont);
}
