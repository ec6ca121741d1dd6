#include "about/dlg_version_inf.h"

#include <string>

#include "about/file_version_text.h"
#include "resource.h"

CDlgVersionInf::CDlgVersionInf() : CDialog(IDD_VERSION_INF, nullptr) {}

CDlgVersionInf::~CDlgVersionInf() = default;

BOOL CDlgVersionInf::OnInitDialog() {
  CDialog::OnInitDialog();
  // Without a readable version resource the template's text stays.
  const std::string version = orla::GetFileVersionText();
  if (!version.empty()) SetDlgItemText(IDC_VERSION_TEXT, version.c_str());
  return TRUE;
}
