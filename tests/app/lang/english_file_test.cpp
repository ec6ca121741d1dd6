#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

#include "lang/lang_choice.h"
#include "lang/lang_parser.h"
#include "lang/message_ids.h"
#include "text/safe_format.h"
#include "text/utf_conversion.h"

namespace orla {
namespace {

TEST(EnglishLanguageFile, LoadsCleanlyAndHoldsEveryTextThePartsShow) {
  std::ifstream file(ORLA_ENGLISH_FILE, std::ios::binary);
  ASSERT_TRUE(file.good());
  std::stringstream bytes;
  bytes << file.rdbuf();
  ASSERT_TRUE(LoadLanguageBytes(bytes.str(), g_LangTable));

  std::u16string codeText;
  LanguageCode code;
  ASSERT_TRUE(FindLanguageEntry(kLanguageCodeKey, codeText));
  ASSERT_TRUE(ParseLanguageCode(codeText, code));
  EXPECT_EQ(code.primary, 9);

  const int shown[] = {2, 3, 4, 5, 7, 8, 11, 12, 18, 19, 20, 21, 22, 23, 24, 25, 27, 28, 29, 30};
  for (int id : shown) EXPECT_FALSE(GetLangTextW(id).empty()) << "message " << id;
  for (std::uint32_t key = 0x02000000; key <= 0x02000014; ++key) {
    std::u16string text;
    EXPECT_TRUE(FindLanguageEntry(key, text)) << std::hex << key;
  }
  // The progress text takes the page number and then the percent, one integer each.
  const std::string progress = WideToUtf8String(GetLangTextW(kMsgProgressText));
  const std::string stored = FormatIntegers(progress, {4});
  EXPECT_NE(stored.find('4'), std::string::npos);
  EXPECT_NE(FormatIntegers(stored, {55}).find("55%"), std::string::npos);
  g_LangTable.clear();
}

// A scanned page that did not arrive is named by its place in the scan, one integer.
TEST(EnglishLanguageFile, TheScanTransferFailureNamesThePage) {
  std::ifstream file(ORLA_ENGLISH_FILE, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  ASSERT_TRUE(LoadLanguageBytes(bytes.str(), g_LangTable));
  const std::u16string format = GetLangTextW(kMsgScanTransferFailed);
  EXPECT_FALSE(format.empty());
  const std::u16string shown = FormatIntegers(format, {7});
  EXPECT_NE(shown.find(u"page 7"), std::u16string::npos);
  EXPECT_EQ(shown.find(u'%'), std::u16string::npos);
  g_LangTable.clear();
}

}  // namespace
}  // namespace orla
