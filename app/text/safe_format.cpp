#include "text/safe_format.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "text/utf_conversion.h"

namespace orla {
namespace {

// Width and precision from a file are capped so a text cannot ask for megabytes of padding.
constexpr int kMaxFieldWidth = 4095;

bool IsFlag(char c) { return c == '-' || c == '+' || c == ' ' || c == '0' || c == '#'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLength(char c) { return c == 'h' || c == 'l' || c == 'j' || c == 'z' || c == 't' || c == 'L' || c == 'q'; }
bool IsIntegerConversion(char c) {
  return c == 'd' || c == 'i' || c == 'u' || c == 'x' || c == 'X' || c == 'o';
}

std::size_t ReadDigits(std::string_view format, std::size_t pos, int& value) {
  value = 0;
  while (pos < format.size() && IsDigit(format[pos])) {
    value = std::min(kMaxFieldWidth, value * 10 + (format[pos] - '0'));
    ++pos;
  }
  return pos;
}

}  // namespace

std::string FormatIntegers(std::string_view format, std::initializer_list<long long> numbers, std::size_t maxBytes) {
  std::string out;
  auto next = numbers.begin();
  std::size_t i = 0;
  while (i < format.size() && out.size() < maxBytes) {
    if (format[i] != '%') {
      out.push_back(format[i++]);
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == '%') {
      out.push_back('%');
      i += 2;
      continue;
    }
    // Parse one conversion: flags, width, precision, length letters, conversion letter.
    std::size_t pos = i + 1;
    std::string directive = "%";
    while (pos < format.size() && IsFlag(format[pos])) directive.push_back(format[pos++]);
    int width = 0;
    const std::size_t widthEnd = ReadDigits(format, pos, width);
    if (widthEnd > pos) directive += std::to_string(width);
    pos = widthEnd;
    if (pos < format.size() && format[pos] == '.') {
      int precision = 0;
      pos = ReadDigits(format, pos + 1, precision);
      directive += "." + std::to_string(precision);
    }
    while (pos < format.size() && IsLength(format[pos])) ++pos;
    if (pos < format.size() && IsIntegerConversion(format[pos]) && next != numbers.end()) {
      const char conversion = format[pos];
      directive += "ll";
      directive.push_back(conversion);
      const long long number = *next++;
      char buffer[kMaxFieldWidth + 32];
      int written = 0;
      if (conversion == 'd' || conversion == 'i') {
        written = std::snprintf(buffer, sizeof buffer, directive.c_str(), number);
      } else {
        written = std::snprintf(buffer, sizeof buffer, directive.c_str(), static_cast<unsigned long long>(number));
      }
      if (written > 0) out.append(buffer, std::min<std::size_t>(written, sizeof buffer - 1));
      i = pos + 1;
      continue;
    }
    // Not a conversion we fill: the '%' stands for itself and the rest follows as text.
    out.push_back('%');
    ++i;
  }
  if (out.size() > maxBytes) out.resize(maxBytes);
  return out;
}

std::u16string FormatIntegers(std::u16string_view format, std::initializer_list<long long> numbers) {
  return Utf8ToWideString(FormatIntegers(WideToUtf8String(format), numbers));
}

}  // namespace orla
