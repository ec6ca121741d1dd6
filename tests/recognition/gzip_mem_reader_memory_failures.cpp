// The gzip reader when memory runs out: zlib's set-up failing and the output block not being
// allocated. Linked with --wrap for inflateInit2_ and calloc, so that a test can make either
// fail on demand; a binary of its own, so that no other test runs over the wrappers.

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "gzip_mem_reader.h"

namespace {
bool failInflateInit = false;
int callocCallsUntilFailure = -1;  // -1: never fail
}  // namespace

extern "C" {
int __real_inflateInit2_(z_streamp stream, int windowBits, const char* version, int size);
void* __real_calloc(std::size_t count, std::size_t size);

int __wrap_inflateInit2_(z_streamp stream, int windowBits, const char* version, int size) {
  if (failInflateInit) return Z_MEM_ERROR;
  return __real_inflateInit2_(stream, windowBits, version, size);
}

void* __wrap_calloc(std::size_t count, std::size_t size) {
  if (callocCallsUntilFailure == 0) return nullptr;
  if (callocCallsUntilFailure > 0) --callocCallsUntilFailure;
  return __real_calloc(count, size);
}
}

namespace {

std::vector<std::uint8_t> GzipOf(const std::string& text) {
  std::vector<std::uint8_t> out(compressBound(static_cast<uLong>(text.size())) + 32);
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);  // zlib's own gzip wrapper
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  z.avail_in = static_cast<uInt>(text.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

TEST(GzipMemReaderMemory, FailedInflateSetUpIsAnError) {
  const auto source = GzipOf("some text");
  failInflateInit = true;
  CGzipMemReader reader(source.data(), static_cast<std::int32_t>(source.size()));
  failInflateInit = false;
  EXPECT_EQ(reader.error, Z_MEM_ERROR);
  EXPECT_EQ(reader.outputLength, 0);
}

TEST(GzipMemReaderMemory, FailedOutputGrowthIsAnErrorAndKeepsTheOutputSound) {
  const std::string text(9000, 'q');
  const auto source = GzipOf(text);
  for (int failAt : {0, 1, 2}) {
    callocCallsUntilFailure = failAt;
    CGzipMemReader reader(source.data(), static_cast<std::int32_t>(source.size()));
    callocCallsUntilFailure = -1;
    EXPECT_EQ(reader.error, Z_MEM_ERROR) << failAt;
    EXPECT_LE(reader.outputLength, reader.outputCapacity);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(reader.output), static_cast<std::size_t>(reader.outputLength)),
              text.substr(0, static_cast<std::size_t>(reader.outputLength)));
  }
  CGzipMemReader whole(source.data(), static_cast<std::int32_t>(source.size()));
  EXPECT_EQ(whole.error, Z_STREAM_END);
  EXPECT_EQ(whole.outputLength, 9000);
}

}  // namespace
