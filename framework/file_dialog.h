#pragma once
// CFileDialog over the common open and save dialogs, in the process code page.

#include <windows.h>
#include <commdlg.h>

#include <string>

#include "afx_string.h"
#include "wnd.h"

class CFileDialog {
 public:
  // `filter` is "text|pattern|text|pattern||".
  CFileDialog(BOOL open, const char* defaultExtension, const char* fileName, DWORD flags, const char* filter,
              CWnd* parent = nullptr);
  virtual ~CFileDialog() = default;

  // IDOK or IDCANCEL. Without a parent the dialog is owned by the main window.
  virtual INT_PTR DoModal();
  CString GetPathName() const { return CString(file_.c_str()); }

  OPENFILENAMEA m_ofn{};

 private:
  BOOL open_;
  std::string filter_;
  std::string defaultExtension_;
  std::string file_;
  CWnd* parent_;
};
