// Feeds arbitrary bytes to the in-memory gzip reader and checks that what it reports is
// consistent: a length within the output block, room for the terminating zero, and a known
// status.

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "gzip_mem_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A block of exactly the input's size, so that any read outside it is caught.
  auto source = std::make_unique<std::uint8_t[]>(size == 0 ? 1 : size);
  if (size > 0) std::memcpy(source.get(), data, size);
  CGzipMemReader reader(source.get(), static_cast<std::int32_t>(size));
  if (reader.output == nullptr || reader.outputLength < 0 || reader.outputLength > reader.outputCapacity) std::abort();
  if (reader.error > Z_STREAM_END) std::abort();
  volatile std::uint8_t sink = 0;
  for (std::int32_t i = 0; i < reader.outputLength; i += 97) sink = sink ^ reader.output[i];
  reader.output[reader.outputLength] = 0;
  return 0;
}
