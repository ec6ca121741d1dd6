#pragma once
// The printed sheet of the shown result: a header with the print time, the six labels each
// followed by its value, dotted rules between the blocks and a page-number footer, laid out
// on a CTextPrintJob whose page size the program has set. The program reads the texts from
// the main dialog's controls as they stand.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "print/text_print_job.h"

namespace orla {

struct ResultSheet {
  // Window texts of the six labels and of the six values, in display order.
  std::array<std::string, 6> labels;
  std::array<std::string, 6> values;
  // The text the header starts with (message 7), followed by the print time.
  std::string headerLabel;
  // The number of the page shown; the last footer carries it.
  int shownPage = 1;
  // The current time, as seconds since 1970; the system clock when empty.
  std::function<std::int64_t()> now;
};

// A label as the dialog shows it: line feeds removed (nothing in their place), "&&" as "&",
// and the '&' that marks a mnemonic dropped.
std::string LabelAsShown(std::string_view label);

// Lays the sheet out and ends its last page. False when a font could not be made or a page
// could not be started or ended; the program then aborts the document and tells the operator.
bool PrintResultSheet(CTextPrintJob& job, const ResultSheet& sheet);

}  // namespace orla
