#include "payload.h"

#include <zlib.h>

#include <stdexcept>

namespace orla::pattern {

std::vector<std::uint8_t> RecordText(const PatternRecord& record, std::size_t minTextLength) {
  std::vector<std::uint8_t> text;
  for (const std::string* field : {&record.timeStamp, &record.serialNumber, &record.macAddress, &record.userName,
                                   &record.jobName, &record.description}) {
    text.insert(text.end(), field->begin(), field->end());
    text.push_back(0);
  }
  if (text.size() < minTextLength) text.resize(minTextLength, 0);
  return text;
}

std::vector<std::uint8_t> GzipBytes(const std::vector<std::uint8_t>& data) {
  z_stream stream{};
  // Window bits 15 + 16 ask zlib for the gzip wrapper (header, CRC-32 and length trailer).
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("deflateInit2 failed");
  std::vector<std::uint8_t> out(deflateBound(&stream, static_cast<uLong>(data.size())) + 32);
  stream.next_in = const_cast<Bytef*>(data.data());
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  const int status = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  if (status != Z_STREAM_END) throw std::runtime_error("deflate did not finish");
  return out;
}

std::vector<std::uint8_t> BuildPayload(const std::vector<std::uint8_t>& text, const PayloadOptions& options) {
  const std::vector<std::uint8_t> body = options.compression == Compression::Gzip ? GzipBytes(text) : text;
  std::vector<std::uint8_t> payload(24, 0);
  const auto total = options.totalLengthOverride != 0 ? options.totalLengthOverride
                                                      : static_cast<std::uint16_t>(24 + body.size());
  payload[0] = static_cast<std::uint8_t>(total & 0xFF);
  payload[1] = static_cast<std::uint8_t>(total >> 8);
  payload[2] = static_cast<std::uint8_t>(options.headerLength & 0xFF);
  payload[3] = static_cast<std::uint8_t>(options.headerLength >> 8);
  for (std::size_t i = 0; i < options.reserved.size(); ++i) payload[4 + i] = options.reserved[i];
  payload.insert(payload.end(), body.begin(), body.end());
  return payload;
}

std::vector<std::uint8_t> BuildPayload(const PatternRecord& record, const PayloadOptions& options) {
  return BuildPayload(RecordText(record, options.minTextLength), options);
}

std::uint8_t CheckByte(const std::array<std::uint8_t, 6>& bytes) {
  std::uint8_t check = 0xAA;
  for (std::uint8_t b : bytes) check = static_cast<std::uint8_t>(check ^ b);
  return check;
}

std::array<std::uint8_t, 6> BlockBytes(const std::vector<std::uint8_t>& payload, int block) {
  std::array<std::uint8_t, 6> bytes{};
  for (std::size_t i = 0; i < 6; ++i) {
    const std::size_t at = static_cast<std::size_t>(block) * 6 + i;
    if (block >= 0 && at < payload.size()) bytes[i] = payload[at];
  }
  return bytes;
}

int BlockCountOf(const std::vector<std::uint8_t>& payload) { return static_cast<int>((payload.size() + 5) / 6); }

}  // namespace orla::pattern
