#pragma once
// The fuzz input as a file the readers can open by name, without touching the disk.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>

namespace orla::fuzz {

class MemoryFile {
 public:
  MemoryFile(const std::uint8_t* data, std::size_t size) : fd_(memfd_create("fuzz", 0)) {
    if (fd_ >= 0 && write(fd_, data, size) != static_cast<ssize_t>(size)) {
      close(fd_);
      fd_ = -1;
    }
  }
  ~MemoryFile() {
    if (fd_ >= 0) close(fd_);
  }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;
  bool ok() const { return fd_ >= 0; }
  std::string path() const { return "/proc/self/fd/" + std::to_string(fd_); }

 private:
  int fd_;
};

// True when the bytes hold a decimal number above `limit`. The fuzz targets skip such inputs:
// a large declared image size is legal, and decoding it only spends the run's time and memory.
inline bool HasNumberAbove(const std::uint8_t* data, std::size_t size, std::uint64_t limit) {
  std::uint64_t value = 0;
  bool inNumber = false;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] >= '0' && data[i] <= '9') {
      value = inNumber ? value * 10 + (data[i] - '0') : data[i] - '0';
      inNumber = true;
      if (value > limit) return true;
    } else {
      inNumber = false;
    }
  }
  return false;
}

}  // namespace orla::fuzz
