#include "print/printer_sheet.h"

#include <string>

#include "print/gdi_print_device.h"
#include "print/text_print_job.h"

namespace orla {
namespace {

// The base name of the program file, as the print queue shows the document.
std::string ProgramName() {
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length > MAX_PATH) return "ORLA";
  std::string name(path, length);
  name.erase(0, name.find_last_of("\\/") + 1);
  if (const auto dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.erase(dot);
  return name.empty() ? "ORLA" : name;
}

}  // namespace

bool PrintSheetOnPrinter(HDC printer, const ResultSheet& sheet) {
  if (printer == nullptr) return false;
  GdiPrintDevice device(printer, GdiPrintDevice::Ownership::Owned);

  const std::string name = ProgramName();
  DOCINFOA document{};
  document.cbSize = sizeof document;
  document.lpszDocName = name.c_str();
  if (StartDocA(printer, &document) <= 0) return false;

  CTextPrintJob job(device);
  job.m_nPageWidth = device.PageWidth();
  job.m_nPageHeight = device.PageHeight();
  if (!PrintResultSheet(job, sheet)) {
    AbortDoc(printer);
    return false;
  }
  return EndDoc(printer) > 0;
}

}  // namespace orla
