#pragma once
// CDialog: a dialog from a template, run by the framework's own modal loop, which hands every
// message to PreTranslateMessage first. A dialog without a parent is owned by the
// application's main window, which is disabled while the dialog runs.

#include <windows.h>

#include "wnd.h"

class CDataExchange;

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT templateId, CWnd* parent = nullptr) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

  virtual INT_PTR DoModal();
  // Ends the modal loop; the window is destroyed when DoModal returns.
  void EndDialog(int result);
  // Creates the dialog modeless.
  BOOL Create(UINT templateId, CWnd* parent = nullptr);

  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  virtual void DoDataExchange(CDataExchange*) {}
  // Runs DoDataExchange: save = TRUE reads the controls into the members.
  BOOL UpdateData(BOOL save = TRUE);
  BOOL PreTranslateMessage(MSG* msg) override;

  DECLARE_MESSAGE_MAP()

 protected:
  LRESULT HandleInitDialog(WPARAM, LPARAM);
  // The window that owns the dialog: the parent's top-level window, or the main window.
  HWND FindOwner() const;

  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;
  int m_nModalResult = -1;
  bool m_bInModalLoop = false;
};

class CWinApp;
CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();

// The application object: one per program, built statically. The entry calls InitInstance;
// when it returns FALSE the program ends.
class CWinApp {
 public:
  CWinApp();
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  virtual BOOL InitInstance() { return TRUE; }
  virtual int ExitInstance() { return 0; }
  // The application's message loop (when InitInstance returns TRUE).
  virtual int Run();
  void SetRegistryKey(const char* key) { m_registryKey = key; }

  CWnd* m_pMainWnd = nullptr;
  HINSTANCE m_hInstance = nullptr;
  CString m_registryKey;
};

// The program's extended application object is the same class here.
using CWinAppEx = CWinApp;

// The framework's entry: runs the application object's InitInstance and, when it asks for
// it, the message loop; returns the exit code.
int AfxWinMain(HINSTANCE instance);
