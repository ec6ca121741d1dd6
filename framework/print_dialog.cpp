#include "print_dialog.h"

#include "dialog.h"

CPrintDialog::CPrintDialog(BOOL setupOnly, DWORD flags, CWnd* parent) : parent_(parent) {
  m_pd.lStructSize = sizeof m_pd;
  m_pd.Flags = flags | (setupOnly ? PD_PRINTSETUP : PD_ALLPAGES);
  m_pd.nCopies = 1;
  m_pd.hInstance = GetModuleHandleW(nullptr);
}

CPrintDialog::~CPrintDialog() {
  if (m_pd.hDevMode != nullptr) GlobalFree(m_pd.hDevMode);
  if (m_pd.hDevNames != nullptr) GlobalFree(m_pd.hDevNames);
  if (m_pd.hDC != nullptr) DeleteDC(m_pd.hDC);
}

INT_PTR CPrintDialog::DoModal() {
  CWnd* owner = parent_ != nullptr ? parent_ : AfxGetMainWnd();
  m_pd.hwndOwner = owner != nullptr ? owner->m_hWnd : nullptr;
  if (m_pd.hDC != nullptr) {
    DeleteDC(m_pd.hDC);
    m_pd.hDC = nullptr;
  }
  return PrintDlgA(&m_pd) ? IDOK : IDCANCEL;
}

HDC CPrintDialog::GetPrinterDC() {
  HDC dc = m_pd.hDC;
  m_pd.hDC = nullptr;
  return dc;
}
