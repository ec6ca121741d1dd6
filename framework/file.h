#pragma once
// CFile: a file handle opened with CreateFileA; CFileFind: the file search.

#include <windows.h>

#include "afx_string.h"

class CFile {
 public:
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    modeCreate = 0x1000,
    shareDenyNone = 0x0040,
  };

  CFile() = default;
  ~CFile() { Close(); }
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  // Readers share the file with other readers (and, with shareDenyNone, with writers).
  BOOL Open(const char* path, UINT flags);
  UINT Read(void* buffer, UINT count);
  BOOL Write(const void* buffer, UINT count);
  ULONGLONG GetLength() const;
  void Close();
  HANDLE m_hFile = INVALID_HANDLE_VALUE;
};

class CFileFind {
 public:
  CFileFind() = default;
  ~CFileFind() { Close(); }
  CFileFind(const CFileFind&) = delete;
  CFileFind& operator=(const CFileFind&) = delete;

  // Starts a search; the first entry is read by the first FindNextFile.
  BOOL FindFile(const char* pattern);
  // Steps to the next entry; the result says whether another one follows it.
  BOOL FindNextFile();
  CString GetFileName() const { return CString(current_.cFileName); }
  CString GetFilePath() const { return folder_ + GetFileName(); }
  BOOL IsDirectory() const { return (current_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
  BOOL IsDots() const;
  ULONGLONG GetLength() const {
    return (static_cast<ULONGLONG>(current_.nFileSizeHigh) << 32) | current_.nFileSizeLow;
  }
  void Close();

 private:
  HANDLE search_ = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAA current_{};
  WIN32_FIND_DATAA next_{};
  bool hasNext_ = false;
  CString folder_;
};
