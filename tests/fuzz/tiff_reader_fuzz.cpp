// Feeds arbitrary bytes to the TIFF page list and page reader and loads whatever they return.

#include <cstdint>
#include <vector>

#include "fuzz_file.h"
#include "halvo_pic.h"
#include "tiff_page_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orla::fuzz::MemoryFile file(data, size);
  if (!file.ok()) return 0;
  std::vector<TiffPageInfo> pages;
  ListTiffPages(pages, file.path().c_str());
  int tried = 0;
  for (const TiffPageInfo& page : pages) {
    // Large pages are legal; reading them only spends the run's time.
    if (std::int64_t{page.width} * page.length > 4'000'000 || ++tried > 4) continue;
    PackedDib dib = LoadTiffPageAsDib(file.path().c_str(), page.directoryIndex);
    if (dib != nullptr) {
      CHalvoPic image;
      image.LoadFromDib(dib);
      orla::FreeBlock(dib);
    }
  }
  // Directories the list left out must fail cleanly too.
  orla::FreeBlock(LoadTiffPageAsDib(file.path().c_str(), static_cast<std::int32_t>(pages.size())));
  return 0;
}
