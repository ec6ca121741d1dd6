#include "lang/lang_choice.h"

#include <cstddef>
#include <utility>

namespace orla {
namespace {

constexpr std::uint16_t kEnglish = 9;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Accumulates decimal digits modulo 65536; returns the number of digits read.
std::size_t ReadNumber(std::u16string_view text, std::size_t& pos, std::uint16_t& value) {
  const std::size_t start = pos;
  std::uint32_t acc = 0;
  while (pos < text.size() && IsDigit(text[pos])) {
    acc = (acc * 10 + (text[pos] - u'0')) & 0xFFFF;
    ++pos;
  }
  value = static_cast<std::uint16_t>(acc);
  return pos - start;
}

}  // namespace

bool ParseLanguageCode(std::u16string_view text, LanguageCode& code) {
  std::size_t pos = 0;
  LanguageCode parsed;
  if (ReadNumber(text, pos, parsed.primary) == 0) return false;
  if (pos < text.size()) {
    if (text[pos] != u'-') return false;
    ++pos;
    if (ReadNumber(text, pos, parsed.sub) == 0) return false;
    if (pos < text.size()) return false;
  }
  code = parsed;
  return true;
}

LanguageCode LanguageCodeOfLangId(std::uint16_t langId) {
  return {static_cast<std::uint16_t>(langId & 0x3FF), static_cast<std::uint16_t>(langId >> 10)};
}

std::string ChooseLanguageFile(const std::vector<std::string>& candidates, std::uint16_t systemLangId,
                               const LanguageFileLoader& load, LangTable& table) {
  const LanguageCode system = LanguageCodeOfLangId(systemLangId);
  LangTable fallback;
  for (const std::string& path : candidates) {
    table.clear();
    if (!load(path, table)) continue;
    std::u16string codeText;
    LanguageCode code;
    if (!FindLanguageEntry(table, kLanguageCodeKey, codeText) || !ParseLanguageCode(codeText, code)) continue;
    if (code.primary == system.primary) {
      if (code.sub == 0) fallback = table;
      if (code.sub == system.sub) return path;
    } else if (fallback.empty() && code.primary == kEnglish) {
      fallback = table;
    }
  }
  if (!fallback.empty()) table = std::move(fallback);
  return {};
}

}  // namespace orla
