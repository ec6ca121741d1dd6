#include "text/utf_conversion.h"

#include <cstddef>
#include <cstdint>

namespace orla {
namespace {

constexpr std::uint32_t kMaxCodePoint = 0x10FFFF;

struct Lead {
  int continuations;
  std::uint32_t base;
};

// Lead bytes C0-FF announce 1 to 5 continuation bytes; the value starts as the byte minus
// the start of its range.
Lead LeadOf(unsigned char byte) {
  if (byte < 0xE0) return {1, 0xC0};
  if (byte < 0xF0) return {2, 0xE0};
  if (byte < 0xF8) return {3, 0xF0};
  if (byte < 0xFC) return {4, 0xF8};
  return {5, 0xFC};
}

bool IsContinuation(unsigned char byte) { return byte >= 0x80 && byte <= 0xBF; }

// Calls emit(unit) for each UTF-16 unit; returns false at the first fault.
template <typename Emit>
bool DecodeUtf8(std::string_view utf8, Emit emit) {
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto byte = static_cast<unsigned char>(utf8[i++]);
    if (byte < 0x80) {
      emit(static_cast<char16_t>(byte));
      continue;
    }
    if (IsContinuation(byte)) return false;
    const Lead lead = LeadOf(byte);
    // At most 5 continuations of 6 bits on a lead value below 4: fits in 64 bits easily.
    std::uint64_t value = byte - lead.base;
    for (int k = 0; k < lead.continuations && i < utf8.size(); ++k) {
      const auto next = static_cast<unsigned char>(utf8[i++]);
      if (!IsContinuation(next)) break;  // consumed and dropped
      value = value * 64 + (next - 0x80u);
    }
    if (value < 0x10000) {
      emit(static_cast<char16_t>(value));
    } else if (value <= kMaxCodePoint) {
      const auto offset = static_cast<std::uint32_t>(value - 0x10000);
      emit(static_cast<char16_t>(0xD800 + (offset >> 10)));
      emit(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
    } else {
      return false;
    }
  }
  return true;
}

template <typename Emit>
bool EncodeUtf8(std::u16string_view utf16, Emit emit) {
  std::size_t i = 0;
  while (i < utf16.size()) {
    std::uint32_t value = utf16[i++];
    if (value >= 0xDC00 && value <= 0xDFFF) return false;
    if (value >= 0xD800 && value <= 0xDBFF) {
      if (i >= utf16.size() || utf16[i] < 0xDC00 || utf16[i] > 0xDFFF) return false;
      value = 0x10000 + (value - 0xD800) * 1024 + (utf16[i++] - 0xDC00u);
    }
    if (value < 0x80) {
      emit(static_cast<char>(value));
      continue;
    }
    int continuations = 5;
    std::uint32_t leadBase = 0xFC;
    if (value < 0x800) {
      continuations = 1, leadBase = 0xC0;
    } else if (value < 0x10000) {
      continuations = 2, leadBase = 0xE0;
    } else if (value < 0x200000) {
      continuations = 3, leadBase = 0xF0;
    } else if (value < 0x4000000) {
      continuations = 4, leadBase = 0xF8;
    }
    emit(static_cast<char>((value >> (6 * continuations)) + leadBase));
    for (int k = continuations - 1; k >= 0; --k) emit(static_cast<char>(((value >> (6 * k)) & 0x3F) + 0x80));
  }
  return true;
}

}  // namespace

// Both count first and convert second, so the result is sized once.
bool Utf8ToUtf16(std::string_view utf8, std::u16string& out) {
  std::size_t units = 0;
  DecodeUtf8(utf8, [&](char16_t) { ++units; });
  out.clear();
  out.reserve(units);
  return DecodeUtf8(utf8, [&](char16_t unit) { out.push_back(unit); });
}

bool Utf16ToUtf8(std::u16string_view utf16, std::string& out) {
  std::size_t bytes = 0;
  EncodeUtf8(utf16, [&](char) { ++bytes; });
  out.clear();
  out.reserve(bytes);
  return EncodeUtf8(utf16, [&](char byte) { out.push_back(byte); });
}

std::u16string Utf8ToWideString(std::string_view utf8) {
  std::u16string out;
  Utf8ToUtf16(utf8, out);
  return out;
}

std::string WideToUtf8String(std::u16string_view utf16) {
  std::string out;
  Utf16ToUtf8(utf16, out);
  return out;
}

}  // namespace orla
