// The block API on GlobalAlloc under Wine: zeroed, sized, lockable, counted, and its blocks
// are real HGLOBALs that Win32 calls accept.

#include <windows.h>

#include <cstring>

#include "mem_block.h"
#include "wine_check.h"

int main() {
  using namespace orla;
  const std::size_t before = LiveBlockCount();
  CHECK(AllocateBlock(0) == nullptr);
  CHECK(LockBlock(nullptr) == nullptr);
  CHECK(BlockSize(nullptr) == 0);
  FreeBlock(nullptr);
  CHECK(LiveBlockCount() == before);

  const std::size_t sizes[] = {1, 40, 4096, 3 * 1024 * 1024};
  for (std::size_t size : sizes) {
    MemBlock block = AllocateBlock(size);
    CHECK(block != nullptr);
    CHECK(LiveBlockCount() == before + 1);
    CHECK(BlockSize(block) == size);
    CHECK(GlobalSize(static_cast<HGLOBAL>(block)) == size);
    {
      BlockLock lock(block);
      CHECK(static_cast<bool>(lock));
      auto* bytes = static_cast<unsigned char*>(lock.get());
      bool zero = true;
      for (std::size_t i = 0; i < size; ++i) zero = zero && bytes[i] == 0;
      CHECK(zero);
      std::memset(bytes, 0xAB, size);
    }
    CHECK((GlobalFlags(static_cast<HGLOBAL>(block)) & GMEM_LOCKCOUNT) == 0);  // every lock undone
    FreeBlock(block);
    CHECK(LiveBlockCount() == before);
  }
  return wine_check::Finish("mem_block_global_test");
}
