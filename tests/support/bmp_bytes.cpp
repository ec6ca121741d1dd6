#include "bmp_bytes.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <unistd.h>

namespace orla::test {
namespace {

template <typename T>
void Append(std::vector<std::uint8_t>& out, const T& value) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(&value);
  out.insert(out.end(), p, p + sizeof value);
}

std::vector<std::uint8_t> InfoAndBody(const BmpSpec& spec) {
  std::vector<std::uint8_t> out;
  const std::int32_t stride = Stride(spec.bitCount, spec.width);
  BmpInfoHeader info{spec.infoSize, spec.width, spec.height, 1, spec.bitCount, spec.compression,
                     static_cast<std::uint32_t>(std::int64_t{stride} * static_cast<std::int64_t>(spec.rows.size())),
                     spec.xPelsPerMeter, spec.yPelsPerMeter, spec.clrUsed, 0};
  Append(out, info);
  out.resize(out.size() + (spec.infoSize > 40 ? spec.infoSize - 40 : 0), 0);
  for (const RgbQuad& q : spec.palette) Append(out, q);
  out.insert(out.end(), spec.gap.begin(), spec.gap.end());
  for (auto row = spec.rows.rbegin(); row != spec.rows.rend(); ++row) out.insert(out.end(), row->begin(), row->end());
  return out;
}

}  // namespace

// Absurd widths in refusal tests overflow 32 bits; the header field then holds the low bits.
std::int32_t Stride(std::int32_t bitCount, std::int32_t width) {
  return static_cast<std::int32_t>(((std::int64_t{bitCount} * width + 31) / 32) * 4);
}

std::vector<std::uint8_t> BuildBmp(const BmpSpec& spec) {
  const std::vector<std::uint8_t> body = InfoAndBody(spec);
  const std::uint32_t pixelStart = 14 + spec.infoSize + static_cast<std::uint32_t>(spec.palette.size() * 4) +
                                   (spec.offBitsPointsPastGap ? static_cast<std::uint32_t>(spec.gap.size()) : 0);
  std::vector<std::uint8_t> out;
  BmpFileHeader file{0x4D42, static_cast<std::uint32_t>(14 + body.size()), 0, 0, pixelStart};
  Append(out, file);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

MemBlock BuildPackedDib(const BmpSpec& spec) {
  const std::vector<std::uint8_t> body = InfoAndBody(spec);
  MemBlock block = AllocateBlock(body.size());
  BlockLock lock(block);
  std::memcpy(lock.get(), body.data(), body.size());
  return block;
}

std::vector<std::uint8_t> FilledRow(std::int32_t bitCount, std::int32_t width, std::uint8_t fill) {
  return std::vector<std::uint8_t>(static_cast<std::size_t>(Stride(bitCount, width)), fill);
}

std::vector<RgbQuad> GreyRamp(int entries) {
  std::vector<RgbQuad> ramp;
  for (int i = 0; i < entries; ++i) {
    const auto v = static_cast<std::uint8_t>(entries == 1 ? 0 : i * 255 / (entries - 1));
    ramp.push_back({v, v, v, 0});
  }
  return ramp;
}

TempFile::TempFile(const std::vector<std::uint8_t>& bytes, const std::string& suffix) {
  std::string pattern = "/tmp/orla-test-XXXXXX" + suffix;
  const int fd = mkstemps(pattern.data(), static_cast<int>(suffix.size()));
  if (fd < 0) throw std::runtime_error("cannot create a temporary file");
  path_ = pattern;
  const ssize_t written = write(fd, bytes.data(), bytes.size());
  close(fd);
  if (written != static_cast<ssize_t>(bytes.size())) throw std::runtime_error("cannot write " + path_);
}

TempFile::~TempFile() { std::remove(path_.c_str()); }

}  // namespace orla::test
