#include "pixel_block.h"

#include <sys/mman.h>

namespace orla {

bool PixelBlock::Resize(std::size_t bytes) {
  if (bytes == size_) return true;
  Release();
  if (bytes == 0) return true;
  void* mapped = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return false;
  bytes_ = static_cast<std::uint8_t*>(mapped);
  size_ = bytes;
  return true;
}

void PixelBlock::Release() {
  if (bytes_ != nullptr) ::munmap(bytes_, size_);
  bytes_ = nullptr;
  size_ = 0;
}

}  // namespace orla
