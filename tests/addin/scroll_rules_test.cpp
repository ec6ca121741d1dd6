#include "scroll_rules.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string_view>

namespace {

// Fields as the text box's vertical SCROLLINFO reports them.
struct ScrollCase {
  int nPos;
  int nMax;
  unsigned nPage;
  bool atEnd;
};

TEST(ScrollRules, EndOfTextWithinTolerance) {
  const ScrollCase cases[] = {
      {796, 1000, 200, true},    // four units short of the last page still counts
      {795, 1000, 200, false},   // five units short does not
      {800, 1000, 200, true},    // the last page exactly
      {0, 1000, 200, false},     // the top of a long text
      {738, 891, 153, true},     // a rich-edit box scrolled to its bottom
      {0, 100, 153, true},       // a page taller than the whole text
      {0, 0, 0, true},           // no range at all: -4 <= 0
      {-5, 0, 0, false},
      {INT_MAX - 4, INT_MIN, 0, false},  // INT_MIN - 4 wraps round to INT_MAX - 3
      {INT_MAX - 3, INT_MIN, 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "nPos " << c.nPos << " nMax " << c.nMax << " nPage " << c.nPage);
    EXPECT_EQ(trellum::IsScrolledToEnd(c.nPos, c.nMax, c.nPage), c.atEnd);
  }
}

TEST(ScrollRules, NextButtonNameDropsStylePrefix) {
  struct NameCase {
    std::u16string_view text;
    std::optional<std::u16string_view> name;
  };
  const NameCase cases[] = {
      {u"&Next", u"&Next"},
      {u"{\\DlgFontBold8}&Next >", u"&Next >"},
      {u"{&Tahoma8}Next", u"Next"},
      {u"Next {x}", u"Next {x}"},         // only a leading prefix is a style
      {u"{\\A}{\\B}Next", u"{\\B}Next"},  // only the first one is dropped
      {u"{&Next", std::nullopt},          // never closed: nothing to look for
      {u"{\\Style}", std::nullopt},       // a style and no text
      {u"", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
    EXPECT_EQ(trellum::NextButtonName(c.text), c.name);
  }
}

}  // namespace
