// The result pages: the page buttons' states and targets, the page counter and the page field.

#include <gtest/gtest.h>

#include "pages/page_navigation.h"

namespace orla {
namespace {

TEST(PageNavigation, ButtonStates) {
  const struct {
    int page;
    std::size_t count;
    PageButtonStates states;
  } cases[] = {
      {1, 1, {false, false, false, false}},
      {1, 5, {false, false, true, true}},
      {3, 5, {true, true, true, true}},
      {5, 5, {true, true, false, false}},
  };
  for (const auto& c : cases) {
    const PageButtonStates s = PageButtonStatesFor(c.page, c.count);
    EXPECT_EQ(s.first, c.states.first) << c.page << "/" << c.count;
    EXPECT_EQ(s.previous, c.states.previous) << c.page << "/" << c.count;
    EXPECT_EQ(s.next, c.states.next) << c.page << "/" << c.count;
    EXPECT_EQ(s.last, c.states.last) << c.page << "/" << c.count;
  }
  EXPECT_EQ(PageCounterText(3, 5), "3/5");
  EXPECT_EQ(PageCounterText(1, 1), "1/1");
}

TEST(PageNavigation, PageFieldTargets) {
  const struct {
    const char* text;
    std::size_t count;
    int current;
    int target;
  } cases[] = {
      {"3/10", 10, 1, 3},  {"  7", 10, 1, 7},   {"+2", 10, 1, 2},  {"10/10", 10, 4, 10},
      {"0", 10, 4, 4},     {"-3", 10, 4, 4},    {"11", 10, 4, 4},  {"abc", 10, 4, 4},
      {"", 10, 4, 4},      {"1", 0, 1, 1},      {"99999999999999999999", 10, 2, 2},
      {"4294967299", 10, 2, 2},  // wraps to 3 as a 32-bit number; strtol sees it is too large
  };
  for (const auto& c : cases) EXPECT_EQ(PageFieldTarget(c.text, c.count, c.current), c.target) << c.text;
}

TEST(PageNavigation, ButtonTargets) {
  EXPECT_EQ(NextPageIndex(3, 5), 3U);
  EXPECT_FALSE(NextPageIndex(5, 5).has_value());
  EXPECT_EQ(LastPageIndex(5), 4U);
  EXPECT_FALSE(LastPageIndex(0).has_value());
  EXPECT_EQ(FirstPageIndex(5), 0U);
  EXPECT_FALSE(FirstPageIndex(0).has_value());
  EXPECT_EQ(PreviousPageIndex(3), 1U);
  // Page 1 asks for index -1, which no list holds.
  EXPECT_EQ(PreviousPageIndex(1), static_cast<unsigned>(-1));
  EXPECT_FALSE(PreviousPageIndex(0).has_value());
}

}  // namespace
}  // namespace orla
