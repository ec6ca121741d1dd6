#include "lang/lang_choice.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "lang/lang_parser.h"
#include "lang/message_ids.h"

namespace orla {
namespace {

TEST(ParseLanguageCode, TableOfCodes) {
  const struct {
    std::u16string text;
    bool ok;
    std::uint16_t primary;
    std::uint16_t sub;
  } cases[] = {
      {u"9", true, 9, 0},       {u"9-0", true, 9, 0},      {u"17-1", true, 17, 1},
      {u"0009", true, 9, 0},    {u"65545", true, 9, 0},    {u"99999999999999999999", true, 65535, 0},
      {u"9-", false, 0, 0},     {u"9-a", false, 0, 0},     {u"09a", false, 0, 0},
      {u"", false, 0, 0},       {u" 9", false, 0, 0},      {u"-9", false, 0, 0},
      {u"9 ", false, 0, 0},     {u"9-1-2", false, 0, 0},   {u"+9", false, 0, 0},
  };
  for (const auto& c : cases) {
    LanguageCode code{77, 77};
    EXPECT_EQ(ParseLanguageCode(c.text, code), c.ok) << std::string(c.text.begin(), c.text.end());
    if (c.ok) {
      EXPECT_EQ(code.primary, c.primary);
      EXPECT_EQ(code.sub, c.sub);
    }
  }
}

// Language files by name; each holds its code under key 2 and its name under key 1.
std::string FileWithCode(const std::string& code, const std::string& name) {
  return "2=\"" + code + "\" 1=\"" + name + "\"";
}

std::u16string NameInTable(const LangTable& table) {
  std::u16string name;
  FindLanguageEntry(table, 1, name);
  return name;
}

constexpr std::uint16_t MakeLangId(std::uint16_t primary, std::uint16_t sub) {
  return static_cast<std::uint16_t>((sub << 10) | primary);
}

TEST(ChooseLanguageFile, PreferenceOverNamedFiles) {
  const std::map<std::string, std::string> files = {
      {"en1", FileWithCode("9-1", "en1")},   {"en2", FileWithCode("9-2", "en2")},
      {"en", FileWithCode("9", "en")},       {"en0", FileWithCode("9-0", "en0")},
      {"c17", FileWithCode("17", "c17")},    {"c17-1", FileWithCode("17-1", "c17-1")},
      {"c17-2", FileWithCode("17-2", "c17-2")}, {"nocode", "1=\"nocode\""},
      {"badcode", FileWithCode("17-x", "badcode")}, {"broken", "2=\"17-1\" 1=\"broken\" 3="},
      {"unreadable", ""},
  };
  const LanguageFileLoader load = [&](const std::string& path, LangTable& table) {
    const auto it = files.find(path);
    return it != files.end() && LoadLanguageBytes(it->second, table);
  };
  const std::uint16_t system17_1 = MakeLangId(17, 1);
  const struct {
    const char* name;
    std::vector<std::string> candidates;
    std::uint16_t langId;
    std::string chosen;
    std::u16string table;
  } cases[] = {
      {"exact match wins", {"en1", "c17", "c17-1"}, system17_1, "c17-1", u"c17-1"},
      {"English fallback", {"en1", "c17-2"}, system17_1, "", u"en1"},
      {"other sub-language is no fallback", {"c17-2", "en1"}, system17_1, "", u"en1"},
      {"primary with sub 0 beats English", {"en1", "c17"}, system17_1, "", u"c17"},
      {"primary with sub 0 beats English, other order", {"c17", "en1"}, system17_1, "", u"c17"},
      {"first English file is the fallback", {"en1", "en2"}, system17_1, "", u"en1"},
      {"nothing fits: last file examined", {"c17-2"}, system17_1, "", u"c17-2"},
      {"malformed last file leaves its entries", {"c17-2", "broken"}, system17_1, "", u"broken"},
      {"malformed file is not chosen", {"broken", "en1"}, system17_1, "", u"en1"},
      {"files without a code are skipped", {"nocode", "badcode", "en2"}, system17_1, "", u"en2"},
      {"unreadable last file: empty table", {"c17-2", "unreadable"}, system17_1, "", u""},
      {"no files", {}, system17_1, "", u""},
      {"English system: only 9 and 9-0 fall back, last one", {"en1", "en", "en0", "en2"}, MakeLangId(9, 3), "",
       u"en0"},
      {"English system exact", {"en", "en1"}, MakeLangId(9, 1), "en1", u"en1"},
  };
  for (const auto& c : cases) {
    LangTable table;
    EXPECT_EQ(ChooseLanguageFile(c.candidates, c.langId, load, table), c.chosen) << c.name;
    EXPECT_EQ(NameInTable(table), c.table) << c.name;
  }
}

TEST(GetLangTextW, MessageIdsReachTheirKeys) {
  ASSERT_TRUE(LoadLanguageBytes(
      "10000002=\"Caption\" 10000020=\"Page %%d\" 02000014=\"&File\" 10000024=\"not saved\" 10000013=\"Printed\"",
      g_LangTable));
  const struct {
    int id;
    std::u16string text;
  } cases[] = {{2, u"Caption"}, {20, u"Page %%d"}, {25, u"&File"}, {27, u"not saved"}, {7, u"Printed"},
               {6, u""},        {-1, u""},         {30, u""},      {3, u""}};
  for (const auto& c : cases) EXPECT_EQ(GetLangTextW(c.id), c.text) << c.id;
  g_LangTable.clear();
  EXPECT_EQ(GetLangTextW(2), u"");
}

}  // namespace
}  // namespace orla
