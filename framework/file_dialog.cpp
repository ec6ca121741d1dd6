#include "file_dialog.h"

#include <algorithm>

#include "dialog.h"

CFileDialog::CFileDialog(BOOL open, const char* defaultExtension, const char* fileName, DWORD flags,
                         const char* filter, CWnd* parent)
    : open_(open), parent_(parent) {
  if (filter != nullptr) {
    filter_ = filter;
    for (char& c : filter_) {
      if (c == '|') c = '\0';
    }
    filter_.push_back('\0');
  }
  if (defaultExtension != nullptr) defaultExtension_ = defaultExtension;
  file_.assign(MAX_PATH * 4, '\0');
  if (fileName != nullptr) file_.replace(0, std::min(file_.size() - 1, std::string(fileName).size()), fileName);
  m_ofn.lStructSize = sizeof m_ofn;
  m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLESIZING;
  m_ofn.hInstance = GetModuleHandleW(nullptr);
}

INT_PTR CFileDialog::DoModal() {
  CWnd* owner = parent_ != nullptr ? parent_ : AfxGetMainWnd();
  m_ofn.hwndOwner = owner != nullptr ? owner->m_hWnd : nullptr;
  m_ofn.lpstrFilter = filter_.empty() ? nullptr : filter_.c_str();
  m_ofn.lpstrDefExt = defaultExtension_.empty() ? nullptr : defaultExtension_.c_str();
  m_ofn.lpstrFile = file_.data();
  m_ofn.nMaxFile = static_cast<DWORD>(file_.size());
  const BOOL ok = open_ ? GetOpenFileNameA(&m_ofn) : GetSaveFileNameA(&m_ofn);
  if (ok) file_.resize(std::char_traits<char>::length(file_.c_str()));
  return ok ? IDOK : IDCANCEL;
}
