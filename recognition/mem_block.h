#pragma once
// Movable memory blocks: the form in which packed bitmaps travel between the page readers,
// the scanner session and the raster image. Natively they live on the C heap; in the winelib
// build the same functions are backed by GlobalAlloc, so a block made by one side can be
// freed by the other. Link exactly one implementation (orla_mem_block_native or the winelib
// one).

#include <cstddef>

namespace orla {

using MemBlock = void*;  // an HGLOBAL in the winelib build

// A zeroed block of `bytes` bytes, or null when memory runs out or bytes is 0.
MemBlock AllocateBlock(std::size_t bytes);
// The block's bytes, or null for a null or freed handle. Every Lock is paired with UnlockBlock.
void* LockBlock(MemBlock block);
void UnlockBlock(MemBlock block);
// Frees the block; a null handle is ignored.
void FreeBlock(MemBlock block);
// Size in bytes as allocated; 0 for a null handle.
std::size_t BlockSize(MemBlock block);

// Blocks allocated and not yet freed (tests use it to prove every block is freed once).
std::size_t LiveBlockCount();

// Locks a block for the lifetime of the object.
class BlockLock {
 public:
  explicit BlockLock(MemBlock block) : block_(block), bytes_(LockBlock(block)) {}
  ~BlockLock() {
    if (bytes_ != nullptr) UnlockBlock(block_);
  }
  BlockLock(const BlockLock&) = delete;
  BlockLock& operator=(const BlockLock&) = delete;

  void* get() const { return bytes_; }
  explicit operator bool() const { return bytes_ != nullptr; }

 private:
  MemBlock block_;
  void* bytes_;
};

}  // namespace orla
