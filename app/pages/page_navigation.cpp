#include "pages/page_navigation.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace orla {

PageButtonStates PageButtonStatesFor(int currentPage, std::size_t count) {
  PageButtonStates states{true, true, true, true};
  if (currentPage == 1) states.first = states.previous = false;
  if (std::cmp_equal(currentPage, count)) states.next = states.last = false;
  return states;
}

std::string PageCounterText(int page, std::size_t count) {
  char text[32];
  std::snprintf(text, sizeof text, "%d/%d", page, static_cast<int>(count));
  return text;
}

int PageFieldTarget(std::string_view text, std::size_t count, int currentPage) {
  // strtol, unlike atoi, has a defined result for numbers too large for an int.
  const std::string copy(text);
  const long n = std::strtol(copy.c_str(), nullptr, 10);
  if (n <= 0 || static_cast<unsigned long>(n) > count) return currentPage;
  return static_cast<int>(n);
}

std::optional<unsigned> NextPageIndex(int currentPage, std::size_t count) {
  if (currentPage < 0 || std::cmp_greater_equal(currentPage, count)) return std::nullopt;
  return static_cast<unsigned>(currentPage);
}

std::optional<unsigned> LastPageIndex(std::size_t count) {
  if (count == 0) return std::nullopt;
  return static_cast<unsigned>(count - 1);
}

std::optional<unsigned> FirstPageIndex(std::size_t count) {
  if (count == 0) return std::nullopt;
  return 0U;
}

std::optional<unsigned> PreviousPageIndex(int currentPage) {
  if (currentPage < 1) return std::nullopt;
  return static_cast<unsigned>(currentPage - 2);
}

}  // namespace orla
