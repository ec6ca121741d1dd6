// Feeds arbitrary bytes to the BMP loader (through an in-memory file) and to the packed
// bitmap loader, and converts whatever loads to grey.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "halvo_pic.h"
#include "mem_block.h"
#include "message_sink.h"

namespace {

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

  const int fd = memfd_create("bmp", 0);
  if (fd >= 0) {
    if (write(fd, data, size) == static_cast<ssize_t>(size)) {
      CHalvoPic page;
      if (page.LoadBmpFile("/proc/self/fd/" + std::to_string(fd)) == 1) ConvertAndFree(page);
    }
    close(fd);
  }

  if (size > 0) {
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
