#pragma once
// The result pages of the main dialog: page N shows record N - 1. These are the rules of the
// page counter, the four page buttons and the page field; the dialog applies them.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orla {

struct PageButtonStates {
  bool first = false;
  bool previous = false;
  bool next = false;
  bool last = false;
};

// Page `currentPage` of `count` shown: first and previous are off on page 1, next and last on
// the last page.
PageButtonStates PageButtonStatesFor(int currentPage, std::size_t count);

// "%d/%d" of the page and the count, e.g. 3/5.
std::string PageCounterText(int page, std::size_t count);

// The page that Enter in the page field asks for, 1-based: the decimal number at the start of
// the text (blanks and a sign allowed, the rest such as "/10" ignored). A number that is not
// a page of the list (0, negative, too large, none at all) gives `currentPage`.
int PageFieldTarget(std::string_view text, std::size_t count, int currentPage);

// Record indexes the page buttons ask the dialog to show. An index outside the list (such as
// previous on page 1, which asks for index -1 as unsigned) is ignored by the dialog.
// Empty when the button asks for nothing.
std::optional<unsigned> NextPageIndex(int currentPage, std::size_t count);
std::optional<unsigned> LastPageIndex(std::size_t count);
std::optional<unsigned> FirstPageIndex(std::size_t count);
std::optional<unsigned> PreviousPageIndex(int currentPage);

}  // namespace orla
