// The block API on movable global memory, so a block can be handed to Win32 calls that take
// an HGLOBAL (clipboard, printing, the scanner's image transfer) and freed by either side.

#include <windows.h>

#include <atomic>

#include "mem_block.h"

namespace orla {
namespace {

std::atomic<std::size_t> g_liveBlocks{0};

HGLOBAL HandleOf(MemBlock block) { return static_cast<HGLOBAL>(block); }

}  // namespace

MemBlock AllocateBlock(std::size_t bytes) {
  if (bytes == 0) return nullptr;
  HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  if (handle == nullptr) return nullptr;
  ++g_liveBlocks;
  return handle;
}

void* LockBlock(MemBlock block) { return block == nullptr ? nullptr : GlobalLock(HandleOf(block)); }

void UnlockBlock(MemBlock block) {
  if (block != nullptr) GlobalUnlock(HandleOf(block));
}

void FreeBlock(MemBlock block) {
  if (block == nullptr) return;
  if (GlobalFree(HandleOf(block)) == nullptr) --g_liveBlocks;
}

std::size_t BlockSize(MemBlock block) { return block == nullptr ? 0 : GlobalSize(HandleOf(block)); }

std::size_t LiveBlockCount() { return g_liveBlocks.load(); }

}  // namespace orla
