#pragma once
// CPrintDialog over the common print dialog.

#include <windows.h>
#include <commdlg.h>

#include "wnd.h"

class CPrintDialog {
 public:
  CPrintDialog(BOOL setupOnly, DWORD flags, CWnd* parent = nullptr);
  virtual ~CPrintDialog();
  CPrintDialog(const CPrintDialog&) = delete;
  CPrintDialog& operator=(const CPrintDialog&) = delete;

  // IDOK or IDCANCEL. Without a parent the dialog is owned by the main window.
  virtual INT_PTR DoModal();
  // The printer context the dialog returned (PD_RETURNDC); the caller owns it from here on.
  HDC GetPrinterDC();

  PRINTDLGA m_pd{};

 private:
  CWnd* parent_;
};
