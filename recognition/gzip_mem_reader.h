#pragma once
// Inflates a gzip stream held in memory, in one go: building the reader does the whole job,
// and its user then reads `output`, `outputLength` and `error`. Members follow one another
// into the same output; bytes without the gzip signature (the whole source, or what follows a
// member) are passed through unchanged.
//
// `error` in zlib's codes: 0 while all is well (also after pass-through), Z_STREAM_END after
// the last member ended cleanly, negative after a failure: Z_DATA_ERROR for a bad header, a bad
// or missing CRC or corrupt deflate data, inflate's own code otherwise (Z_BUF_ERROR when the
// source ends inside the deflate data), Z_MEM_ERROR when memory ran out, Z_STREAM_ERROR for a
// null source. After a failure the output keeps what was inflated before it.

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <memory>

class CGzipMemReader {
 public:
  CGzipMemReader(const std::uint8_t* source, std::int32_t sourceLength);
  ~CGzipMemReader();
  CGzipMemReader(const CGzipMemReader&) = delete;
  CGzipMemReader& operator=(const CGzipMemReader&) = delete;

  // At least outputLength + 1 bytes, so the user may put a zero after the last one; null for a
  // null source.
  std::uint8_t* output = nullptr;
  std::int32_t outputLength = 0;
  std::int32_t outputCapacity = 0;
  std::int32_t error = 0;

 private:
  static constexpr int kChunk = 4096;

  struct FreeBlock {
    void operator()(std::uint8_t* block) const { std::free(block); }
  };

  void ReadHeader();
  int Read(std::uint8_t* buffer);
  int AppendOutput(const std::uint8_t* bytes, int n);
  void Close();
  int GetByte();
  void PutBack();
  bool RefillWindow();
  int ReadRaw(std::uint8_t* destination, int n);
  int UnreadInWindow() const { return static_cast<int>(stream.avail_in); }

  std::uint8_t inlineBuffer[10 + 1] = {};
  std::unique_ptr<std::uint8_t, FreeBlock> ownedOutput;
  // The input window is a slice of the source that stream.next_in and stream.avail_in describe
  // alone: header reading and inflate share one position, and a byte put back is always the
  // source byte just before it, even across a window boundary.
  z_stream stream{};
  bool inflateReady = false;
  std::uint32_t crc = 0;
  int inputEnded = 0;
  int transparent = 0;
  std::int32_t sourcePosition = 0;  // source bytes taken into the window or copied out
  const std::uint8_t* source = nullptr;
  std::int32_t sourceLength = 0;
};
