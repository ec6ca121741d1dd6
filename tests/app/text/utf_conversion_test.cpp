#include "text/utf_conversion.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdint>
#include <random>
#include <string>

namespace orla {
namespace {

struct DecodeCase {
  const char* name;
  std::string utf8;
  bool ok;
  std::u16string expected;  // what was converted, also before a fault
};

TEST(Utf8ToUtf16, TableOfCases) {
  const DecodeCase cases[] = {
      {"empty", "", true, u""},
      {"ascii", "Page 3", true, u"Page 3"},
      {"two-byte e acute", "\xC3\xA9", true, u"\u00E9"},
      {"three-byte euro", "\xE2\x82\xAC", true, u"\u20AC"},
      {"four-byte becomes a surrogate pair", "\xF0\x9F\x98\x80", true, u"\U0001F600"},
      {"highest code point", "\xF4\x8F\xBF\xBF", true, u"\U0010FFFF"},
      {"continuation byte first fails", "a\x80" "b", false, u"a"},
      {"continuation byte 0xBF first fails", "\xBF", false, u""},
      {"above 0x10FFFF fails", "x\xF4\x90\x80\x80", false, u"x"},
      {"five-byte lead with large value fails", "\xF8\x88\x80\x80\x80", false, u""},
      {"cut by the end uses the value so far", "\xE2\x82", true, std::u16string(1, char16_t(0xE2 - 0xE0) * 64 + 2)},
      {"cut by a non-continuation drops that byte", "\xC3" "AB", true, std::u16string(1, char16_t(3)) + u"B"},
      {"overlong form is not rejected", "\xC0\xAF", true, u"/"},
  };
  for (const DecodeCase& c : cases) {
    std::u16string out = u"junk";
    EXPECT_EQ(Utf8ToUtf16(c.utf8, out), c.ok) << c.name;
    EXPECT_EQ(out, c.expected) << c.name;
  }
}

struct EncodeCase {
  const char* name;
  std::u16string utf16;
  bool ok;
  std::string expected;
};

TEST(Utf16ToUtf8, TableOfCases) {
  const EncodeCase cases[] = {
      {"empty", u"", true, ""},
      {"ascii", u"Track", true, "Track"},
      {"two bytes", u"\u00E9", true, "\xC3\xA9"},
      {"edge of two bytes", u"\u07FF", true, "\xDF\xBF"},
      {"three bytes", u"\u0800\uFFFF", true, "\xE0\xA0\x80\xEF\xBF\xBF"},
      {"surrogate pair", u"\U0001F600", true, "\xF0\x9F\x98\x80"},
      {"low surrogate first fails", std::u16string(u"a") + char16_t(0xDC00), false, "a"},
      {"high surrogate at the end fails", std::u16string(u"ab") + char16_t(0xD800), false, "ab"},
      {"high surrogate before a letter fails", std::u16string(1, char16_t(0xDBFF)) + u"x", false, ""},
  };
  for (const EncodeCase& c : cases) {
    std::string out = "junk";
    EXPECT_EQ(Utf16ToUtf8(c.utf16, out), c.ok) << c.name;
    EXPECT_EQ(out, c.expected) << c.name;
  }
}

// The C library's converter, as an independent reference.
std::string IconvUtf16ToUtf8(const std::u16string& text) {
  iconv_t cd = iconv_open("UTF-8", "UTF-16LE");
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
  std::string in(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  std::string out(text.size() * 4 + 4, '\0');
  char* inPtr = in.data();
  size_t inLeft = in.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  EXPECT_NE(rc, static_cast<size_t>(-1));
  out.resize(out.size() - outLeft);
  return out;
}

TEST(UtfConversions, RoundTripAgreesWithIconv) {
  const std::uint32_t seed = 20261210;
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> planeChoice(0, 3);
  for (int round = 0; round < 300; ++round) {
    std::u16string text;
    const int length = round % 40;
    for (int i = 0; i < length; ++i) {
      std::uint32_t cp = 0;
      switch (planeChoice(random)) {
        case 0: cp = std::uniform_int_distribution<std::uint32_t>(1, 0x7F)(random); break;
        case 1: cp = std::uniform_int_distribution<std::uint32_t>(0x80, 0x7FF)(random); break;
        case 2: cp = std::uniform_int_distribution<std::uint32_t>(0x800, 0xD7FF)(random); break;
        default: cp = std::uniform_int_distribution<std::uint32_t>(0x10000, 0x10FFFF)(random); break;
      }
      if (cp >= 0x10000) {
        text.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
        text.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
      } else {
        text.push_back(static_cast<char16_t>(cp));
      }
    }
    std::string utf8;
    ASSERT_TRUE(Utf16ToUtf8(text, utf8)) << "seed " << seed << " round " << round;
    EXPECT_EQ(utf8, IconvUtf16ToUtf8(text)) << "seed " << seed << " round " << round;
    EXPECT_EQ(Utf8ToWideString(utf8), text) << "seed " << seed << " round " << round;
  }
}

}  // namespace
}  // namespace orla
