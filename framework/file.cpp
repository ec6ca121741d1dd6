#include "file.h"

#include <cstring>

BOOL CFile::Open(const char* path, UINT flags) {
  Close();
  DWORD access = GENERIC_READ;
  if ((flags & modeWrite) != 0) access = GENERIC_WRITE;
  if ((flags & modeReadWrite) != 0) access = GENERIC_READ | GENERIC_WRITE;
  DWORD share = FILE_SHARE_READ;
  if ((flags & shareDenyNone) != 0) share |= FILE_SHARE_WRITE;
  const DWORD disposition = (flags & modeCreate) != 0 ? CREATE_ALWAYS : OPEN_EXISTING;
  m_hFile = CreateFileA(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  return m_hFile != INVALID_HANDLE_VALUE;
}

UINT CFile::Read(void* buffer, UINT count) {
  DWORD got = 0;
  if (m_hFile == INVALID_HANDLE_VALUE || !ReadFile(m_hFile, buffer, count, &got, nullptr)) return 0;
  return got;
}

BOOL CFile::Write(const void* buffer, UINT count) {
  DWORD written = 0;
  return m_hFile != INVALID_HANDLE_VALUE && WriteFile(m_hFile, buffer, count, &written, nullptr) && written == count;
}

ULONGLONG CFile::GetLength() const {
  LARGE_INTEGER size{};
  if (m_hFile == INVALID_HANDLE_VALUE || !GetFileSizeEx(m_hFile, &size)) return 0;
  return static_cast<ULONGLONG>(size.QuadPart);
}

void CFile::Close() {
  if (m_hFile != INVALID_HANDLE_VALUE) CloseHandle(m_hFile);
  m_hFile = INVALID_HANDLE_VALUE;
}

BOOL CFileFind::FindFile(const char* pattern) {
  Close();
  const CString text(pattern != nullptr ? pattern : "*.*");
  const int slash = text.ReverseFind('\\');
  folder_ = slash >= 0 ? text.Left(slash + 1) : CString();
  search_ = FindFirstFileA(text, &next_);
  hasNext_ = search_ != INVALID_HANDLE_VALUE;
  return hasNext_;
}

BOOL CFileFind::FindNextFile() {
  if (!hasNext_) return FALSE;
  current_ = next_;
  hasNext_ = ::FindNextFileA(search_, &next_) != 0;
  return hasNext_;
}

BOOL CFileFind::IsDots() const {
  return IsDirectory() && (std::strcmp(current_.cFileName, ".") == 0 || std::strcmp(current_.cFileName, "..") == 0);
}

void CFileFind::Close() {
  if (search_ != INVALID_HANDLE_VALUE) FindClose(search_);
  search_ = INVALID_HANDLE_VALUE;
  hasNext_ = false;
}
