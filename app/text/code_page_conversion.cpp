#include "text/code_page_conversion.h"

#include <windows.h>

#include "text/utf_conversion.h"

namespace orla {
namespace {

// Wine's and Windows' converters refuse a default character for UTF-8.
bool CodePageTakesDefaultChar() { return GetACP() != CP_UTF8; }

}  // namespace

std::u16string MultiByteToWide(std::string_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (units <= 0) return {};
  std::u16string out(static_cast<std::size_t>(units), u'\0');
  const int done = MultiByteToWideChar(CP_ACP, 0, text.data(), length, reinterpret_cast<LPWSTR>(out.data()), units);
  out.resize(static_cast<std::size_t>(done > 0 ? done : 0));
  return out;
}

std::string WideToMultiByte(std::u16string_view text, bool* usedDefault) {
  if (usedDefault != nullptr) *usedDefault = false;
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const auto* wide = reinterpret_cast<LPCWSTR>(text.data());
  const bool withDefault = CodePageTakesDefaultChar();
  BOOL defaultUsed = FALSE;
  const int bytes = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, withDefault ? "_" : nullptr,
                                        withDefault ? &defaultUsed : nullptr);
  if (bytes <= 0) return {};
  std::string out(static_cast<std::size_t>(bytes), '\0');
  const int done = WideCharToMultiByte(CP_ACP, 0, wide, length, out.data(), bytes, withDefault ? "_" : nullptr,
                                       withDefault ? &defaultUsed : nullptr);
  if (done <= 0) return {};
  out.resize(static_cast<std::size_t>(done));
  if (usedDefault != nullptr) *usedDefault = defaultUsed != FALSE;
  return out;
}

CString WideToCString(std::u16string_view text) { return CString(WideToMultiByte(text, nullptr)); }

std::string AnsiToUtf8(std::string_view text) { return WideToUtf8String(MultiByteToWide(text)); }

}  // namespace orla
