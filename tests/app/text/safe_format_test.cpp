#include "text/safe_format.h"

#include <gtest/gtest.h>

#include <string>

namespace orla {
namespace {

TEST(FormatIntegers, TableOfFormats) {
  const struct {
    const char* format;
    std::initializer_list<long long> numbers;
    std::string expected;
  } cases[] = {
      {"Reading page %d", {3}, "Reading page 3"},
      {"no conversion", {3}, "no conversion"},
      {"Page %d: %%d%%", {4}, "Page 4: %d%"},
      {"%d%% done", {50}, "50% done"},
      {"%5d|%-4d|%03d", {7, 8, 9}, "    7|8   |009"},
      {"%ld %lld %hd %i", {1, 2, 3, 4}, "1 2 3 4"},
      {"%x %X %o %u", {255, 255, 8, 9}, "ff FF 10 9"},
      {"%s and %n and %p", {1, 2, 3}, "%s and %n and %p"},
      {"%d and %d", {1}, "1 and %d"},
      {"%", {1}, "%"},
      {"trailing %", {}, "trailing %"},
      {"%*d", {5}, "%*d"},
      {"%.3d", {5}, "005"},
      {"%d", {-1}, "-1"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatIntegers(c.format, c.numbers), c.expected) << c.format;
}

TEST(FormatIntegers, TwoRoundsAsTheProgressTextIsUsed) {
  const std::string stored = FormatIntegers("Page %d of the file, %%d%% done", {2});
  EXPECT_EQ(stored, "Page 2 of the file, %d% done");
  EXPECT_EQ(FormatIntegers(stored, {75}), "Page 2 of the file, 75% done");
}

TEST(FormatIntegers, Utf16TextsKeepTheirCharacters) {
  EXPECT_EQ(FormatIntegers(u"Seite %d \u00fcbertragen, 100%%", {3}), u"Seite 3 \u00fcbertragen, 100%");
  EXPECT_EQ(FormatIntegers(u"\u9801 %d \U0001F5A8", {12}), u"\u9801 12 \U0001F5A8");
  EXPECT_EQ(FormatIntegers(u"%s %d", {5}), u"%s 5");
}

TEST(FormatIntegers, HugeFieldsAndLongOutputAreCut) {
  EXPECT_EQ(FormatIntegers("%99999999999d", {1}).size(), 4095u);
  EXPECT_EQ(FormatIntegers(std::string(5000, 'a'), {}).size(), 4095u);
  EXPECT_EQ(FormatIntegers(std::string(5000, 'a'), {}, 10), std::string(10, 'a'));
  EXPECT_EQ(FormatIntegers("ab%05d", {1}, 4), "ab00");
}

}  // namespace
}  // namespace orla
