#pragma once
// Resident memory of the bench process, as the system counts it: what a page costs the
// machine, whatever allocator holds it. Linux only (/proc).

#include <malloc.h>

#include <cstddef>
#include <cstdio>
#include <cstring>

namespace orla::bench {

// Kilobytes of the /proc/self/status line `key` ("VmRSS", "VmHWM"), 0 when unreadable.
inline std::size_t StatusKilobytes(const char* key) {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return 0;
  char line[256];
  std::size_t kilobytes = 0;
  const std::size_t keyLength = std::strlen(key);
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::strncmp(line, key, keyLength) == 0 && line[keyLength] == ':') {
      std::sscanf(line + keyLength + 1, "%zu", &kilobytes);
      break;
    }
  }
  std::fclose(status);
  return kilobytes;
}

// Hands the heap's free memory back and restarts the peak at what is resident now, so that
// the next peak is what the work in between added.
inline std::size_t RestartPeak() {
  malloc_trim(0);
  if (std::FILE* refs = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", refs);
    std::fclose(refs);
  }
  return StatusKilobytes("VmRSS");
}

// Megabytes resident at the peak since RestartPeak beyond the `baseline` it returned.
inline double PeakMegabytesSince(std::size_t baselineKilobytes) {
  const std::size_t peak = StatusKilobytes("VmHWM");
  return peak > baselineKilobytes ? static_cast<double>(peak - baselineKilobytes) / 1024.0 : 0.0;
}

}  // namespace orla::bench
