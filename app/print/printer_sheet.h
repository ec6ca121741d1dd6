#pragma once
// The shown result on paper: one document on the printer the print dialog returned.

#include <windows.h>

#include "print/result_sheet.h"

namespace orla {

// Starts a document named after the program on `printer`, lays the sheet out on its printable
// area and ends the document. The context is taken over and deleted at the end, with the
// objects it had put back. False when the printer refused the document or a page; a started
// document is then aborted, and the caller tells the operator.
bool PrintSheetOnPrinter(HDC printer, const ResultSheet& sheet);

}  // namespace orla
