#include "afx_string.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>

void CString::Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (length < 0) {
    text_.clear();
  } else {
    text_.assign(static_cast<std::size_t>(length) + 1, '\0');
    std::vsnprintf(text_.data(), text_.size(), format, args);
    text_.resize(static_cast<std::size_t>(length));
  }
  va_end(args);
}

CString& CString::Trim() {
  const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
  while (!text_.empty() && blank(text_.back())) text_.pop_back();
  std::size_t first = 0;
  while (first < text_.size() && blank(text_[first])) ++first;
  text_.erase(0, first);
  return *this;
}

int CString::Find(char c, int start) const {
  if (start < 0 || start > GetLength()) return -1;
  const auto pos = text_.find(c, static_cast<std::size_t>(start));
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char c) const {
  const auto pos = text_.rfind(c);
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

CString CString::Left(int count) const { return text_.substr(0, static_cast<std::size_t>(std::clamp(count, 0, GetLength()))); }

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
  first = std::clamp(first, 0, GetLength());
  count = std::clamp(count, 0, GetLength() - first);
  return text_.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count));
}

CString CString::Right(int count) const {
  count = std::clamp(count, 0, GetLength());
  return text_.substr(text_.size() - static_cast<std::size_t>(count));
}

CString& CString::MakeLower() {
  for (char& c : text_) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return *this;
}
