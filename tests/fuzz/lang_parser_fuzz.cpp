// Feeds arbitrary bytes to the language-file loader and searches whatever table it leaves.

#include <cstdint>
#include <string>
#include <string_view>

#include "lang/lang_choice.h"
#include "lang/lang_parser.h"
#include "text/utf_conversion.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  orla::LangTable table;
  orla::LoadLanguageBytes(bytes, table);
  std::u16string text;
  if (orla::FindLanguageEntry(table, orla::kLanguageCodeKey, text)) {
    orla::LanguageCode code;
    orla::ParseLanguageCode(text, code);
    std::string back;
    orla::Utf16ToUtf8(text, back);
  }
  return 0;
}
