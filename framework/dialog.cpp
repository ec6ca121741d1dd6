#include "dialog.h"

#include "data_exchange.h"

namespace {

CWinApp* g_app = nullptr;

// Every message goes to the dialog manager's procedure, which calls this one: the framework
// has already handled what it wanted in its own window procedure in front of it.
INT_PTR CALLBACK DialogProcedure(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
  ON_COMMAND(IDOK, OnOK)
  ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (UpdateData(TRUE)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::UpdateData(BOOL save) {
  if (m_hWnd == nullptr) return FALSE;
  CDataExchange dx(this, save);
  DoDataExchange(&dx);
  return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
  if (m_hWnd == nullptr) return FALSE;
  // Keyboard input gets the dialog manager's navigation (Tab, arrows, Enter, Esc).
  if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST &&
      (msg->hwnd == m_hWnd || ::IsChild(m_hWnd, msg->hwnd))) {
    return ::IsDialogMessageW(m_hWnd, msg);
  }
  return FALSE;
}

HWND CDialog::FindOwner() const {
  HWND owner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
  if (owner == nullptr) {
    CWnd* main = AfxGetMainWnd();
    if (main != nullptr && main != this) owner = main->m_hWnd;
  }
  if (owner != nullptr) owner = ::GetAncestor(owner, GA_ROOT);
  return owner;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
  if (m_hWnd != nullptr) return FALSE;
  m_nIDTemplate = templateId;
  if (parent != nullptr) m_pParentWnd = parent;
  HookNextCreation(this);
  HWND window = ::CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_nIDTemplate), FindOwner(),
                                     DialogProcedure, 0);
  UnhookCreation();
  if (window == nullptr && m_hWnd != nullptr) Detach();
  return window != nullptr;
}

INT_PTR CDialog::DoModal() {
  HWND owner = FindOwner();
  const bool disabledOwner = owner != nullptr && ::IsWindowEnabled(owner);
  if (disabledOwner) ::EnableWindow(owner, FALSE);

  m_nModalResult = -1;
  if (!Create(m_nIDTemplate)) {
    if (disabledOwner) ::EnableWindow(owner, TRUE);
    return -1;
  }
  m_bInModalLoop = true;
  if (!IsWindowVisible()) ShowWindow(SW_SHOWNORMAL);

  MSG msg;
  while (m_bInModalLoop && ::IsWindow(m_hWnd)) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      // WM_QUIT belongs to the outer loop: put it back and leave.
      if (got == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));
      m_bInModalLoop = false;
      break;
    }
    if (!PreTranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    fw::DropTemporaries();
  }
  m_bInModalLoop = false;

  // The owner is enabled again before the dialog goes, so activation returns to it.
  if (disabledOwner) ::EnableWindow(owner, TRUE);
  if (m_hWnd != nullptr) {
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    DestroyWindow();
  }
  return m_nModalResult;
}

void CDialog::EndDialog(int result) {
  m_nModalResult = result;
  if (m_bInModalLoop) {
    m_bInModalLoop = false;
    // Wakes the loop in case the call came from outside a dispatch.
    if (m_hWnd != nullptr) ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
  } else if (m_hWnd != nullptr) {
    DestroyWindow();
  }
}

// ---- application object

CWinApp::CWinApp() {
  g_app = this;
  m_hInstance = GetModuleHandleW(nullptr);
}

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

int CWinApp::Run() {
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    CWnd* target = CWnd::FromHandlePermanent(msg.hwnd);
    if (target == nullptr || !target->PreTranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    fw::DropTemporaries();
  }
  const int code = ExitInstance();
  return code != 0 ? code : static_cast<int>(msg.wParam);
}

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app != nullptr ? g_app->m_pMainWnd : nullptr; }

int AfxWinMain(HINSTANCE instance) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return 1;
  app->m_hInstance = instance;
  if (!app->InitInstance()) {
    const int code = app->ExitInstance();
    return code;
  }
  return app->Run();
}
