#include "about/file_version_text.h"

#include <windows.h>

#include <cstdint>
#include <span>

#include "about/version_text.h"

namespace orla {
namespace {

// A locked movable block that is unlocked and freed on every road out.
class LockedBlock {
 public:
  explicit LockedBlock(DWORD size) : handle_(GlobalAlloc(GMEM_MOVEABLE, size)) {
    if (handle_ != nullptr) data_ = GlobalLock(handle_);
  }
  ~LockedBlock() {
    if (data_ != nullptr) GlobalUnlock(handle_);
    if (handle_ != nullptr) GlobalFree(handle_);
  }
  LockedBlock(const LockedBlock&) = delete;
  LockedBlock& operator=(const LockedBlock&) = delete;
  void* data() const { return data_; }

 private:
  HGLOBAL handle_;
  void* data_ = nullptr;
};

}  // namespace

std::string GetFileVersionTextOf(const char* path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  if (size == 0) return {};
  LockedBlock block(size);
  if (block.data() == nullptr || !GetFileVersionInfoA(path, 0, size, block.data())) return {};
  void* fixed = nullptr;
  UINT fixedSize = 0;
  if (!VerQueryValueA(block.data(), "\\", &fixed, &fixedSize) || fixed == nullptr) return {};
  // The fixed part must lie inside the block it came from.
  const auto* begin = static_cast<const std::uint8_t*>(block.data());
  const auto* at = static_cast<const std::uint8_t*>(fixed);
  if (at < begin || at + fixedSize > begin + size) return {};
  return FormatFixedVersionText(std::span<const std::uint8_t>(at, fixedSize));
}

std::string GetFileVersionText() {
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length > MAX_PATH) return {};
  return GetFileVersionTextOf(path);
}

}  // namespace orla
