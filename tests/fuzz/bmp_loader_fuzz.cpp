// Feeds arbitrary bytes to the BMP loader (through an in-memory file) and to the packed
// bitmap loader, and converts whatever loads to grey.

#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_file.h"
#include "halvo_pic.h"
#include "mem_block.h"
#include "message_sink.h"

namespace {

// A short file still yields a whole (white) page, so a few header bytes can ask for a 2 GiB
// page legitimately; keep to pages the fuzzer's memory limit can hold.
bool ClaimsHugePage(const std::uint8_t* data, std::size_t size, std::size_t infoOffset) {
  if (size < infoOffset + sizeof(BmpInfoHeader)) return false;
  const auto header = ReadHeader<BmpInfoHeader>(data + infoOffset);
  const std::int64_t rows = header.biHeight < 0 ? -std::int64_t{header.biHeight} : header.biHeight;
  return orla::PageBytes(header.biBitCount, header.biWidth, rows) > (std::int64_t{8} << 20);
}

void ConvertAndFree(CHalvoPic& page) {
  CHalvoPic grey;
  page.ConvertTo8Bit(grey);
  page.Free();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool quiet = [] {
    orla::SetMessageSink([](const std::string&) {});
    return true;
  }();
  (void)quiet;

  if (!ClaimsHugePage(data, size, 14)) {
    const orla::fuzz::MemoryFile file(data, size);
    CHalvoPic page;
    if (file.ok() && page.LoadBmpFile(file.path()) == 1) ConvertAndFree(page);
  }

  if (size > 0 && !ClaimsHugePage(data, size, 0)) {
    orla::MemBlock block = orla::AllocateBlock(size);
    if (block != nullptr) {
      std::memcpy(orla::LockBlock(block), data, size);
      orla::UnlockBlock(block);
      CHalvoPic page;
      if (page.LoadFromDib(block) == 1) ConvertAndFree(page);
      orla::FreeBlock(block);
    }
  }
  return 0;
}
