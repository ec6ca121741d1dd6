#include "lang/lang_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orla {
namespace {

struct Entry {
  std::uint32_t key;
  std::u16string text;
  bool operator==(const Entry&) const = default;
};

std::vector<Entry> EntriesOf(const LangTable& table) {
  std::vector<Entry> entries;
  for (const LangEntry& e : table) entries.push_back({e.key, e.text});
  return entries;
}

struct ParseCase {
  const char* name;
  std::string text;
  bool ok;
  std::vector<Entry> entries;  // in file order
};

TEST(ParseLanguageText, TableOfFiles) {
  const ParseCase cases[] = {
      {"empty text", "", true, {}},
      {"only blanks and comments", " \t\r\n; a comment\n;last", true, {}},
      {"one entry", "10000020 = \"Page %d\"", true, {{0x10000020, u"Page %d"}}},
      {"no blanks", "2=\"9\"", true, {{2, u"9"}}},
      {"spread over lines with a comment", "2\r\n;between\n=\n  ; more\n\"9\"\n", true, {{2, u"9"}}},
      {"two entries on one line", "1=\"a\" 2=\"b\"", true, {{1, u"a"}, {2, u"b"}}},
      {"lower-case hex", "1000001f=\"x\"", true, {{0x1000001F, u"x"}}},
      {"only the last eight digits count", "ABC10000020=\"x\"", true, {{0x10000020, u"x"}}},
      {"escapes", R"(1="q\"b\\n\n\t\q")", true, {{1, u"q\"b\\n\n\t\\q"}}},
      {"raw line break stays", "1=\"a\r\nb\"", true, {{1, u"a\r\nb"}}},
      {"semicolon inside text", "1=\"a;b\"", true, {{1, u"a;b"}}},
      {"UTF-8 text", "1=\"caf\xC3\xA9\"", true, {{1, u"caf\u00E9"}}},
      {"text ends at NUL", std::string("1=\"a\"\0" "garbage", 13), true, {{1, u"a"}}},
      {"backslash at end of text", "1=\"a\\", false, {}},
      {"0x prefix is malformed", "1=\"a\" 0x2=\"b\"", false, {{1, u"a"}}},
      {"key at end of text", "1=\"a\" 2", false, {{1, u"a"}}},
      {"end after =", "1 =", false, {}},
      {"other than = after key", "1 : \"a\"", false, {}},
      {"other than quote after =", "1 = a", false, {}},
      {"missing closing quote keeps earlier entries", "5=\"e\" 1=\"a\" 2=\"b", false, {{5, u"e"}, {1, u"a"}}},
      {"bad UTF-8 in text", "1=\"a\" 2=\"\x80\"", false, {{1, u"a"}}},
      {"code point above range", "1=\"\xF4\x90\x80\x80\"", false, {}},
      {"comment between key and = ", "1;c\n=\"a\"", false, {}},
  };
  for (const ParseCase& c : cases) {
    LangTable table = {{99, u"stale"}};
    EXPECT_EQ(ParseLanguageText(c.text, table), c.ok) << c.name;
    EXPECT_EQ(EntriesOf(table), c.entries) << c.name;
  }
}

TEST(LoadLanguageBytes, SizeLimitsMarkAndSorting) {
  LangTable table;
  EXPECT_FALSE(LoadLanguageBytes("", table));

  const std::string entry = "10=\"x\"";
  std::string exact = entry + std::string(kMaxLanguageFileBytes - entry.size(), ' ');
  EXPECT_TRUE(LoadLanguageBytes(exact, table));
  EXPECT_EQ(EntriesOf(table), (std::vector<Entry>{{0x10, u"x"}}));
  EXPECT_FALSE(LoadLanguageBytes(exact + " ", table));

  LangTable withMark;
  LangTable withoutMark;
  EXPECT_TRUE(LoadLanguageBytes("\xEF\xBB\xBF" "2=\"9\" 1=\"a\"", withMark));
  EXPECT_TRUE(LoadLanguageBytes("2=\"9\" 1=\"a\"", withoutMark));
  EXPECT_EQ(EntriesOf(withMark), EntriesOf(withoutMark));
  EXPECT_EQ(EntriesOf(withMark), (std::vector<Entry>{{1, u"a"}, {2, u"9"}}));

  // A malformed file still leaves a searchable (sorted) table behind.
  EXPECT_FALSE(LoadLanguageBytes("FFFFFFFF=\"hi\" 5=\"e\" 1=\"a\" 2=", table));
  std::u16string text;
  EXPECT_TRUE(FindLanguageEntry(table, 1, text));
  EXPECT_EQ(text, u"a");
  EXPECT_TRUE(FindLanguageEntry(table, 0xFFFFFFFF, text));
  EXPECT_EQ(text, u"hi");
}

TEST(FindLanguageEntry, BinarySearchOverUnsignedKeys) {
  LangTable table;
  std::u16string none;
  EXPECT_FALSE(FindLanguageEntry(table, 0, none));
  ASSERT_TRUE(LoadLanguageBytes("80000000=\"high\" 7=\"seven\" 3=\"three\" 7=\"again\" 1=\"one\"", table));
  const struct {
    std::uint32_t key;
    bool found;
    std::u16string text;
  } cases[] = {{1, true, u"one"},   {3, true, u"three"}, {0x80000000, true, u"high"},
               {0, false, u""},     {2, false, u""},     {0xFFFFFFFF, false, u""}};
  for (const auto& c : cases) {
    std::u16string text;
    EXPECT_EQ(FindLanguageEntry(table, c.key, text), c.found) << c.key;
    EXPECT_EQ(text, c.text) << c.key;
  }
  std::u16string seven;
  ASSERT_TRUE(FindLanguageEntry(table, 7, seven));
  EXPECT_TRUE(seven == u"seven" || seven == u"again");
}

}  // namespace
}  // namespace orla
