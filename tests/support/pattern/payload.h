#pragma once
// The payload that a page's blocks carry: a 24-byte header (total length and header length,
// little-endian, then 20 bytes nobody reads) followed by the record text, gzip-compressed or
// plain. The record text is six NUL-terminated single-byte fields.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orla::pattern {

// The six fields as the printer would write them. Nothing here checks their lengths, so a
// test can write a record the reader must refuse (an 11-character serial number, say).
struct PatternRecord {
  std::string timeStamp = "261210090745";  // YYMMDDhhmmss: 12 characters when valid
  std::string serialNumber = "LM40211783";  // up to 10
  std::string macAddress = "00A0C9143B7E";  // up to 12
  std::string userName = "operator";        // up to 20
  std::string jobName = "quarterly-report.docx";  // up to 64
  std::string description = "Accounts";     // up to 32
};

enum class Compression { Gzip, Plain };

struct PayloadOptions {
  Compression compression = Compression::Gzip;
  // Zero bytes are appended to the record text until it is this long. The reader refuses a
  // text of 22 bytes or less, so the default makes even a record of empty fields readable;
  // 0 appends nothing.
  std::size_t minTextLength = 23;
  // The 20 header bytes after the two lengths; the reader carries them along unread.
  std::array<std::uint8_t, 20> reserved{};
  // When not 0, written as the total length in place of the true one (a lying header).
  std::uint16_t totalLengthOverride = 0;
  std::uint16_t headerLength = 24;
};

// The fields joined, each followed by its zero byte, padded as the options say.
std::vector<std::uint8_t> RecordText(const PatternRecord& record, std::size_t minTextLength = 23);
// A one-member gzip stream (plain header, no name) of `data`, as zlib writes it.
std::vector<std::uint8_t> GzipBytes(const std::vector<std::uint8_t>& data);
// Header and body: the bytes that block 0, 1, ... carry, 6 to a block.
std::vector<std::uint8_t> BuildPayload(const std::vector<std::uint8_t>& text, const PayloadOptions& options = {});
std::vector<std::uint8_t> BuildPayload(const PatternRecord& record, const PayloadOptions& options = {});

// The check byte of a block's 6 data bytes: their XOR, XOR 0xAA.
std::uint8_t CheckByte(const std::array<std::uint8_t, 6>& bytes);
// Block b's 6 bytes: payload bytes 6b to 6b + 5, zero past the end.
std::array<std::uint8_t, 6> BlockBytes(const std::vector<std::uint8_t>& payload, int block);
// Blocks needed for the payload: its length over 6, rounded up.
int BlockCountOf(const std::vector<std::uint8_t>& payload);

}  // namespace orla::pattern
