#include "gzip_mem_reader.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr int kGzipMagic0 = 0x1F;
constexpr int kGzipMagic1 = 0x8B;
constexpr int kMethodDeflate = 8;
constexpr int kFlagHeaderCrc = 0x02;
constexpr int kFlagExtra = 0x04;
constexpr int kFlagName = 0x08;
constexpr int kFlagComment = 0x10;
constexpr int kFlagsReserved = 0xE0;

}  // namespace

CGzipMemReader::CGzipMemReader(const std::uint8_t* source_, std::int32_t sourceLength_)
    : source(source_), sourceLength(sourceLength_) {
  if (source == nullptr) {
    error = Z_STREAM_ERROR;
    return;
  }
  output = inlineBuffer;
  outputCapacity = 10;
  // inflate only reads through next_in.
  stream.next_in = const_cast<Bytef*>(source);

  const int init = inflateInit2(&stream, -15);
  if (init != Z_OK) {
    error = init < 0 ? init : Z_MEM_ERROR;
    Close();
    return;
  }
  inflateReady = true;
  stream.avail_out = kChunk;
  ReadHeader();

  std::uint8_t buffer[kChunk];
  for (int n = Read(buffer); n > 0; n = Read(buffer)) {
    if (AppendOutput(buffer, n) != n) break;
  }
  Close();
}

CGzipMemReader::~CGzipMemReader() = default;

bool CGzipMemReader::RefillWindow() {
  const std::int32_t count = std::min<std::int32_t>(kChunk, sourceLength - sourcePosition);
  if (count <= 0) {
    inputEnded = 1;
    return false;
  }
  stream.next_in = const_cast<Bytef*>(source + sourcePosition);
  stream.avail_in = static_cast<uInt>(count);
  sourcePosition += count;
  return true;
}

int CGzipMemReader::GetByte() {
  if (inputEnded) return -1;
  if (UnreadInWindow() == 0 && !RefillWindow()) return -1;
  --stream.avail_in;
  return *stream.next_in++;
}

void CGzipMemReader::PutBack() {
  --stream.next_in;
  ++stream.avail_in;
}

int CGzipMemReader::ReadRaw(std::uint8_t* destination, int n) {
  n = std::min(n, sourceLength - sourcePosition);
  if (n <= 0) return 0;
  std::memcpy(destination, source + sourcePosition, static_cast<std::size_t>(n));
  sourcePosition += n;
  return n;
}

void CGzipMemReader::ReadHeader() {
  for (int i = 0; i < 2; ++i) {
    const int c = GetByte();
    if (c == (i == 0 ? kGzipMagic0 : kGzipMagic1)) continue;
    if (i != 0) PutBack();
    if (c != -1) PutBack();
    // A lone 0x1F at the very end has no signature either, so it passes through like any
    // other bytes instead of going to inflate.
    if (c != -1 || i != 0) transparent = 1;
    error = UnreadInWindow() != 0 ? Z_OK : Z_STREAM_END;
    return;
  }

  const int method = GetByte();
  const int flags = GetByte();
  if (method != kMethodDeflate || flags < 0 || (flags & kFlagsReserved) != 0) {
    error = Z_DATA_ERROR;
    return;
  }
  bool ended = false;
  for (int i = 0; i < 6; ++i) ended |= GetByte() == -1;
  if (flags & kFlagExtra) {
    const int low = GetByte();
    const int high = GetByte();
    ended |= low == -1 || high == -1;
    int length = ended ? 0 : low | (high << 8);
    while (length-- > 0 && GetByte() != -1) {
    }
    ended |= inputEnded != 0;
  }
  for (int flag : {kFlagName, kFlagComment}) {
    if ((flags & flag) == 0) continue;
    int c;
    while ((c = GetByte()) != 0 && c != -1) {
    }
    ended |= c == -1;
  }
  if (flags & kFlagHeaderCrc) {
    for (int i = 0; i < 2; ++i) ended |= GetByte() == -1;
  }
  error = ended || inputEnded ? Z_DATA_ERROR : Z_OK;
}

int CGzipMemReader::Read(std::uint8_t* buffer) {
  if (error < 0) return -1;
  if (error == Z_STREAM_END) return 0;

  stream.next_out = buffer;
  stream.avail_out = kChunk;
  std::uint8_t* crcStart = buffer;

  while (stream.avail_out != 0) {
    if (transparent) {
      const uInt fromWindow = std::min(stream.avail_in, stream.avail_out);
      std::memcpy(stream.next_out, stream.next_in, fromWindow);
      stream.next_in += fromWindow;
      stream.avail_in -= fromWindow;
      stream.next_out += fromWindow;
      stream.avail_out -= fromWindow;
      if (stream.avail_out != 0) {
        const int copied = ReadRaw(stream.next_out, static_cast<int>(stream.avail_out));
        stream.next_out += copied;
        stream.avail_out -= static_cast<uInt>(copied);
      }
      const int result = kChunk - static_cast<int>(stream.avail_out);
      if (result == 0) inputEnded = 1;
      return result;
    }
    if (UnreadInWindow() == 0 && !inputEnded) RefillWindow();

    error = inflate(&stream, Z_NO_FLUSH);
    if (error == Z_STREAM_END) {
      crc = static_cast<std::uint32_t>(
          crc32(crc, crcStart, static_cast<uInt>(stream.next_out - crcStart)));
      crcStart = stream.next_out;
      std::uint32_t stored = 0;
      bool cut = false;
      for (int i = 0; i < 4; ++i) {
        const int c = GetByte();
        cut |= c == -1;
        stored |= static_cast<std::uint32_t>(c & 0xFF) << (8 * i);
      }
      if (cut || stored != crc) {
        error = Z_DATA_ERROR;
      } else {
        // The member length is not compared with anything; a missing one at the very end of
        // the source is no failure, as the next header then finds the end.
        for (int i = 0; i < 4; ++i) {
          if (GetByte() == -1) error = Z_DATA_ERROR;
        }
        ReadHeader();
        if (error == Z_OK) {
          const uLong totalIn = stream.total_in;
          const uLong totalOut = stream.total_out;
          inflateReset(&stream);
          stream.total_in = totalIn;
          stream.total_out = totalOut;
          crc = 0;
        }
      }
    }
    if (error != Z_OK || inputEnded) break;
  }
  crc = static_cast<std::uint32_t>(crc32(crc, crcStart, static_cast<uInt>(stream.next_out - crcStart)));
  return kChunk - static_cast<int>(stream.avail_out);
}

int CGzipMemReader::AppendOutput(const std::uint8_t* bytes, int n) {
  if (outputLength > std::numeric_limits<std::int32_t>::max() - 11 - n) {
    error = Z_MEM_ERROR;
    return 0;
  }
  if (outputLength + n > outputCapacity) {
    const std::int32_t capacity = ((outputLength + n) / 10 + 1) * 10;
    auto* block = static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(capacity) + 1, 1));
    if (block == nullptr) {
      error = Z_MEM_ERROR;
      return 0;
    }
    std::memcpy(block, output, static_cast<std::size_t>(outputLength));
    ownedOutput.reset(block);
    output = block;
    outputCapacity = capacity;
  }
  std::memcpy(output + outputLength, bytes, static_cast<std::size_t>(n));
  outputLength += n;
  return n;
}

void CGzipMemReader::Close() {
  if (inflateReady) inflateEnd(&stream);
  inflateReady = false;
}
