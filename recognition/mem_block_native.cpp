#include "mem_block.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace orla {
namespace {

// Each block carries its size in front of the payload, so BlockSize needs no table.
struct BlockHeader {
  std::size_t size;
  int locks;
  alignas(std::max_align_t) unsigned char payload[1];
};

constexpr std::size_t kPayloadOffset = offsetof(BlockHeader, payload);
std::atomic<std::size_t> g_liveBlocks{0};

BlockHeader* HeaderOf(MemBlock block) { return static_cast<BlockHeader*>(block); }

}  // namespace

MemBlock AllocateBlock(std::size_t bytes) {
  if (bytes == 0 || bytes > SIZE_MAX - kPayloadOffset) return nullptr;
  void* raw = std::calloc(1, kPayloadOffset + bytes);
  if (raw == nullptr) return nullptr;
  auto* header = static_cast<BlockHeader*>(raw);
  header->size = bytes;
  header->locks = 0;
  ++g_liveBlocks;
  return header;
}

void* LockBlock(MemBlock block) {
  if (block == nullptr) return nullptr;
  BlockHeader* header = HeaderOf(block);
  ++header->locks;
  return header->payload;
}

void UnlockBlock(MemBlock block) {
  if (block == nullptr) return;
  BlockHeader* header = HeaderOf(block);
  if (header->locks > 0) --header->locks;
}

void FreeBlock(MemBlock block) {
  if (block == nullptr) return;
  --g_liveBlocks;
  std::free(block);
}

std::size_t BlockSize(MemBlock block) { return block == nullptr ? 0 : HeaderOf(block)->size; }

std::size_t LiveBlockCount() { return g_liveBlocks.load(); }

}  // namespace orla
