#include "progress/x_progress_wnd.h"

#include <string>

#include "progress/progress_layout.h"
#include "text/code_page_conversion.h"
#include "text/safe_format.h"

namespace {

constexpr UINT kCancelId = 10;
constexpr UINT kProgressId = 11;
constexpr UINT kAnimationId = 12;
constexpr UINT kShellAnimationClip = 165;
constexpr char16_t kClassName[] = u"OrlaProgressWnd";
// The recognizer pumps once per pixel in places; the queue is looked at no more often than
// this, which still shows Cancel and repaints without a visible delay.
constexpr unsigned long long kPumpIntervalMs = 10;
// Drawing a position (text and bar) costs milliseconds where the display is remote or
// emulated, and a page moves the bar a few hundred times; ten drawings a second look the same.
constexpr unsigned long long kRedrawIntervalMs = 100;
// Asking where the focus is costs as much as looking at the queue; the operator moves it far
// less often than the pump runs.
constexpr unsigned long long kFocusCheckIntervalMs = 100;

bool RegisterProgressClass() {
  static const bool registered = [] {
    WNDCLASSW wc{};
    wc.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_APPSTARTING));
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = reinterpret_cast<LPCWSTR>(kClassName);
    return RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

}  // namespace

BEGIN_MESSAGE_MAP(CXProgressWnd, CWnd)
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
  ON_WM_CLOSE()
  ON_BN_CLICKED(kCancelId, OnCancelClicked)
END_MESSAGE_MAP()

CXProgressWnd::CXProgressWnd(CWnd* parent, const char* title) {
  SetDefaults();
  m_nAnimationSize = 50;
  m_pParent = parent;
  m_strTitle = title != nullptr ? title : "";
  const CString titleCopy = m_strTitle;
  if (parent != nullptr) Create(parent, titleCopy, TRUE);
}

CXProgressWnd::~CXProgressWnd() {
  DestroyWindow();
  m_font.DeleteObject();  // after the children that used it are gone
}

void CXProgressWnd::SetDefaults() {
  m_hDisabledOwner = nullptr;
  m_nAnimationSize = 50;
  m_rcText.SetRectEmpty();
  m_bCancelled = 0;
  m_bModal = 0;
  m_bFirstRefresh = 1;
  m_nPos = 0;
  m_nUpper = 100;
  m_nLower = 0;
  m_nTextLines = 2;
  m_nPercent = 0;
  m_strTitle = "Progress";
  m_strText.Empty();
  m_strCancel = " Cancel ";
  m_nPassEnd = 100;
}

HFONT CXProgressWnd::Font() const {
  if (m_font.GetSafeHandle() != nullptr) return m_font;
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

BOOL CXProgressWnd::Create(CWnd* parent, const char* title, BOOL withAnimation) {
  if (m_hWnd != nullptr) return FALSE;
  m_strTitle = title != nullptr ? title : "";
  m_nPercent = 0;

  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    m_font.CreateFontIndirectW(&metrics.lfMessageFont);
  }  // otherwise Font() falls back to the stock GUI font

  if (!RegisterProgressClass()) return FALSE;
  const std::u16string title16 = orla::MultiByteToWide(m_strTitle.str());
  HWND owner = parent != nullptr ? parent->m_hWnd : nullptr;
  if (!CreateEx(WS_EX_DLGMODALFRAME, kClassName, title16.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 390, 130,
                owner, nullptr)) {
    return FALSE;
  }
  SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

  const CRect none;
  if (!m_wndProgress.Create(WS_CHILD | WS_VISIBLE, none, this, kProgressId)) return FALSE;

  if (withAnimation) {
    if (!m_wndAnimation.Create(WS_CHILD | WS_TABSTOP | ACS_CENTER | ACS_TRANSPARENT | ACS_AUTOPLAY, none, this,
                               kAnimationId)) {
      return FALSE;
    }
    // A missing clip only means no animation.
    HMODULE shell = LoadLibraryW(reinterpret_cast<LPCWSTR>(u"shell32.dll"));
    if (shell != nullptr && m_wndAnimation.Open(shell, kShellAnimationClip)) {
      m_hAnimationModule = shell;
    } else if (shell != nullptr) {
      FreeLibrary(shell);
    }
  }

  const std::u16string cancel16 = orla::MultiByteToWide(m_strCancel.str());
  if (!m_wndCancel.Create(cancel16.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, none, this, kCancelId)) {
    return FALSE;
  }
  m_wndCancel.SetFont(Font(), TRUE);

  Layout(m_nTextLines);
  CenterWindow();
  Refresh();
  return TRUE;
}

void CXProgressWnd::Layout(int textLines) {
  HDC dc = ::GetDC(m_hWnd);
  HGDIOBJ oldFont = ::SelectObject(dc, Font());

  std::u16string lines;
  for (int i = 0; i < textLines; ++i) lines += i == 0 ? u"M" : u"\nM";
  RECT measured{10, 0, 370, 110};
  ::DrawTextW(dc, reinterpret_cast<LPCWSTR>(lines.c_str()), -1, &measured, DT_CALCRECT | DT_NOPREFIX | DT_NOCLIP);
  const std::string caption = m_strCancel.str() + "  ";
  SIZE extent{};
  ::GetTextExtentPoint32A(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
  ::SelectObject(dc, oldFont);
  ::ReleaseDC(m_hWnd, dc);

  orla::ProgressLayoutInput in;
  in.hasAnimation = m_wndAnimation.m_hWnd != nullptr;
  in.animationSize = m_nAnimationSize;
  in.textWidth = measured.right - measured.left;
  in.textHeight = measured.bottom - measured.top;
  in.captionWidth = extent.cx;
  in.captionHeight = extent.cy;
  in.cxEdge = GetSystemMetrics(SM_CXEDGE);
  in.cyEdge = GetSystemMetrics(SM_CYEDGE);
  const orla::ProgressLayout layout = orla::ComputeProgressLayout(in);

  const auto toRect = [](const orla::LayoutRect& r) { return CRect(r.left, r.top, r.right, r.bottom); };
  m_rcText = toRect(layout.text);

  RECT frame{0, 0, layout.clientWidth, layout.clientHeight};
  ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)));
  SetWindowPos(nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (m_wndAnimation.m_hWnd != nullptr) m_wndAnimation.MoveWindow(toRect(layout.animation));
  m_wndProgress.MoveWindow(toRect(layout.bar));
  m_wndCancel.MoveWindow(toRect(layout.button));
}

void CXProgressWnd::EnterModal(CWnd* parent) {
  if (parent == nullptr) return;
  m_pParent = parent;
  if (!IsAlive() && !Create(parent, "Progress", FALSE)) return;
  HWND chosen = parent->m_hWnd;
  for (HWND w = parent->m_hWnd; w != nullptr && ::IsWindow(w) && ::IsWindowEnabled(w); w = ::GetParent(w)) chosen = w;
  m_hDisabledOwner = chosen;
  ::EnableWindow(chosen, FALSE);
  EnableWindow(TRUE);
  m_bModal = 1;
}

void CXProgressWnd::SetRangeDefault() {
  if (!IsAlive()) return;
  m_wndProgress.SetRange(0, 100);
  m_wndProgress.SetStep(1);
  m_nUpper = 100;
  m_nLower = 0;
}

void CXProgressWnd::SetCancelButtonText(const char* text) {
  if (!IsAlive() || text == nullptr || *text == '\0') return;
  m_strCancel = text;
  m_wndCancel.SetWindowTextW(orla::MultiByteToWide(text).c_str());
}

void CXProgressWnd::SetTextWith(const char* format, std::initializer_list<long long> numbers) {
  if (!IsAlive() || format == nullptr) return;
  m_strText = CString(orla::FormatIntegers(format, numbers));
}

CString CXProgressWnd::DisplayText() const {
  if (m_strText.IsEmpty()) return CString();
  return CString(orla::FormatIntegers(m_strText.str(), {m_nPercent}));
}

void CXProgressWnd::Clear() {
  if (!IsAlive()) return;
  SetText("");
  SetPos(0);
  m_bCancelled = 0;
  m_nPos = 0;
  UpdateWindow();
}

void CXProgressWnd::SetPos(int position) {
  if (!IsAlive()) return;
  m_nPos = position;
  m_nPercent = orla::ProgressPercent(position, m_nLower, m_nUpper);
  // The ends of the range are always drawn at once, so a finished or cleared bar never shows
  // an older position.
  const bool atEnd = position <= m_nLower || position >= m_nUpper;
  if (atEnd || GetTickCount64() - m_lastDrawTick >= kRedrawIntervalMs) {
    DrawPosition();
  } else {
    m_bPositionPending = 1;
  }
}

void CXProgressWnd::DrawPosition() {
  m_bPositionPending = 0;
  m_lastDrawTick = GetTickCount64();
  Refresh();
  m_wndProgress.SetPos(m_nPos);
}

void CXProgressWnd::Refresh() {
  if (!IsAlive()) return;
  if (!IsWindowVisible()) ShowWindow(SW_SHOW);
  DrawTextBuffered(DisplayText(), nullptr);
  if (m_wndAnimation.m_hWnd != nullptr) m_wndAnimation.ShowWindow(SW_SHOWNA);
  m_wndCancel.ShowWindow(SW_SHOWNA);
  if (m_bFirstRefresh) {
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    m_bFirstRefresh = 0;
  }
}

void CXProgressWnd::DrawTextBuffered(const CString& text, CDC* dc) {
  if (!IsAlive() || m_rcText.IsRectEmpty()) return;
  HDC target = dc != nullptr ? dc->m_hDC : ::GetDC(m_hWnd);
  if (target == nullptr) return;
  const int width = m_rcText.Width();
  const int height = m_rcText.Height();
  HDC memory = ::CreateCompatibleDC(target);
  HBITMAP bitmap = ::CreateCompatibleBitmap(target, width, height);
  if (memory != nullptr && bitmap != nullptr) {
    HGDIOBJ oldBitmap = ::SelectObject(memory, bitmap);
    HGDIOBJ oldFont = ::SelectObject(memory, Font());
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    RECT local{0, 0, width, height};
    ::FillRect(memory, &local, ::GetSysColorBrush(COLOR_BTNFACE));
    ::SetBkColor(memory, face);
    ::SetBkMode(memory, OPAQUE);
    ::SetTextColor(memory, ::GetSysColor(COLOR_BTNTEXT));
    ::DrawTextA(memory, text, text.GetLength(), &local, DT_LEFT | DT_TOP | DT_NOPREFIX);
    ::BitBlt(target, m_rcText.left, m_rcText.top, width, height, memory, 0, 0, SRCCOPY);
    ::SelectObject(memory, oldFont);
    ::SelectObject(memory, oldBitmap);
  }
  if (bitmap != nullptr) ::DeleteObject(bitmap);
  if (memory != nullptr) ::DeleteDC(memory);
  if (dc == nullptr) ::ReleaseDC(m_hWnd, target);
}

void CXProgressWnd::PumpMessages() {
  if (!IsAlive()) return;
  if (m_bCancelled) return;
  const unsigned long long now = GetTickCount64();
  if (now - m_lastPumpTick < kPumpIntervalMs) return;
  m_lastPumpTick = now;
  if (m_bPositionPending && now - m_lastDrawTick >= kRedrawIntervalMs) DrawPosition();

  if (m_bModal && now - m_lastFocusTick >= kFocusCheckIntervalMs) {
    m_lastFocusTick = now;
    HWND focus = ::GetFocus();
    if (focus != m_hWnd && !::IsChild(m_hWnd, focus)) ::SetFocus(m_hWnd);
  }
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
    if (msg.message == WM_CHAR && msg.wParam == VK_ESCAPE) {
      if (m_bModal) {
        PostMessage(WM_CLOSE);
      } else {
        Cancel();
      }
    }
    if (m_bModal && msg.message == WM_LBUTTONUP && m_wndCancel.m_hWnd != nullptr) {
      RECT button{};
      m_wndCancel.GetWindowRect(&button);
      if (::PtInRect(&button, msg.pt)) PostMessage(WM_CLOSE);
    }
    if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) break;
    if (msg.message == WM_QUIT) {
      // The outer loop still has to end the program, with the code it was asked for.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
    if (m_bCancelled) return;
  }
}

void CXProgressWnd::Cancel() {
  m_bCancelled = 1;
  if (IsAlive() && IsWindowVisible()) ShowWindow(SW_HIDE);
  if (m_pParent != nullptr && m_pParent->m_hWnd != nullptr && ::IsWindow(m_pParent->m_hWnd)) {
    ::SetForegroundWindow(m_pParent->m_hWnd);
  }
}

void CXProgressWnd::OnCancelClicked() {
  if (m_bModal) {
    PostMessage(WM_CLOSE);
  } else {
    Cancel();
  }
}

void CXProgressWnd::OnClose() { Cancel(); }

BOOL CXProgressWnd::OnEraseBkgnd(CDC* dc) {
  RECT clip{};
  dc->GetClipBox(&clip);
  ::FillRect(dc->m_hDC, &clip, ::GetSysColorBrush(COLOR_BTNFACE));
  return TRUE;
}

void CXProgressWnd::OnPaint() {
  CPaintDC dc(this);  // validates, so the pump can empty the queue
  DrawTextBuffered(DisplayText(), &dc);
}

BOOL CXProgressWnd::DestroyWindow() {
  if (m_wndAnimation.m_hWnd != nullptr) {
    m_wndAnimation.Stop();
    m_wndAnimation.Close();
  }
  if (m_hAnimationModule != nullptr) {
    FreeLibrary(m_hAnimationModule);
    m_hAnimationModule = nullptr;
  }
  if (m_bModal) {
    m_bModal = 0;
    if (m_hDisabledOwner != nullptr && ::IsWindow(m_hDisabledOwner)) ::EnableWindow(m_hDisabledOwner, TRUE);
    m_hDisabledOwner = nullptr;
  }
  if (m_hWnd == nullptr) return FALSE;
  return CWnd::DestroyWindow();
}
