// Feeds arbitrary bytes to the PDF page reader, renders the first pages and loads whatever
// bitmaps they give.

#include <Error.h>

#include <cstdint>

#include "fuzz_file.h"
#include "halvo_pic.h"
#include "pdf_dib.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool quiet = [] {
    setErrorCallback([](ErrorCategory, Goffset, const char*) {});
    return true;
  }();
  (void)quiet;
  if (orla::fuzz::HasNumberAbove(data, size, 4096)) return 0;
  orla::fuzz::MemoryFile file(data, size);
  if (!file.ok()) return 0;
  PdfDibHandle* pdf = PdfDib_Open(file.path().c_str(), nullptr, nullptr, 600);
  if (pdf == nullptr) return 0;
  const int pages = PdfDib_GetPageCount(pdf);
  for (int p = 0; p <= pages + 1 && p <= 4; ++p) {
    PackedDib dib = PdfDib_GetPageDib(pdf, p);
    if (dib != nullptr) {
      CHalvoPic image;
      image.LoadFromDib(dib);
    }
    PdfDib_ReleasePage(pdf);
  }
  PdfDib_Close(pdf);
  return 0;
}
