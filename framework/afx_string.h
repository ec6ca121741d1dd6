#pragma once
// CString: an 8-bit string in the process code page.

#include <windows.h>

#include <string>

class CString {
 public:
  CString() = default;
  CString(const char* text) : text_(text != nullptr ? text : "") {}  // NOLINT: implicit as in Win32 code
  CString(const std::string& text) : text_(text) {}                  // NOLINT

  operator const char*() const { return text_.c_str(); }  // NOLINT
  const std::string& str() const { return text_; }
  int GetLength() const { return static_cast<int>(text_.size()); }
  bool IsEmpty() const { return text_.empty(); }
  void Empty() { text_.clear(); }

  CString& operator=(const char* text) { text_ = text != nullptr ? text : ""; return *this; }
  CString& operator+=(const CString& other) { text_ += other.text_; return *this; }
  CString& operator+=(char c) { text_ += c; return *this; }
  friend CString operator+(CString a, const CString& b) { return a += b; }
  friend bool operator==(const CString& a, const CString& b) { return a.text_ == b.text_; }
  friend bool operator==(const CString& a, const char* b) { return a.text_ == (b != nullptr ? b : ""); }

  // printf into the string; only for formats written in the program, never for file texts.
  void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
  CString& Trim();
  int Find(char c, int start = 0) const;
  int ReverseFind(char c) const;
  CString Left(int count) const;
  CString Mid(int first) const;
  CString Mid(int first, int count) const;
  CString Right(int count) const;
  CString& MakeLower();

 private:
  std::string text_;
};
