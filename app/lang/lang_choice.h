#pragma once
// Which language file the program uses: the file whose language code (the text of key 2,
// "P" or "P-S" in decimal) matches the system's default language.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "lang/lang_table.h"

namespace orla {

constexpr std::uint32_t kLanguageCodeKey = 2;

struct LanguageCode {
  std::uint16_t primary = 0;
  std::uint16_t sub = 0;
};

// "P" or "P-S", digits only; each part is taken modulo 65536.
bool ParseLanguageCode(std::u16string_view text, LanguageCode& code);

// Primary and sub-language of a Windows language identifier.
LanguageCode LanguageCodeOfLangId(std::uint16_t langId);

// Loads one candidate into the table (replacing its content); false when it did not load.
using LanguageFileLoader = std::function<bool(const std::string& path, LangTable& table)>;

// Examines `candidates` in order, leaving the chosen entries in `table`. Prefers the exact
// primary and sub-language, then the last file with the system's primary language and
// sub-language 0, then the first English (9) file, else whatever the last file examined left.
// Returns the path of the exactly matching file, or empty.
std::string ChooseLanguageFile(const std::vector<std::string>& candidates, std::uint16_t systemLangId,
                               const LanguageFileLoader& load, LangTable& table);

}  // namespace orla
