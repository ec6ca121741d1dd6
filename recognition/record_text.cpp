#include "record_text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

namespace orla {
namespace {

constexpr int kTimeStampLength = 12;
// Text this short cannot hold a time stamp and a serial number.
constexpr std::size_t kShortestRecordText = 23;

// Characters from `start` up to the first zero byte or the end of the text.
int FieldLength(std::span<const std::uint8_t> text, std::size_t start) {
  const auto begin = text.begin() + static_cast<std::ptrdiff_t>(start);
  return static_cast<int>(std::find(begin, text.end(), std::uint8_t{0}) - begin);
}

void CopyField(std::span<const std::uint8_t> text, std::size_t start, int length, char* field) {
  std::memcpy(field, text.data() + start, static_cast<std::size_t>(length));
}

}  // namespace

bool ParseRecordText(std::span<const std::uint8_t> text, TrackingRecord& record) {
  record = TrackingRecord{};
  record.Valid = 1;
  if (text.size() < kShortestRecordText) return false;
  const int timeStamp = FieldLength(text, 0);
  if (timeStamp != kTimeStampLength) return false;
  CopyField(text, 0, timeStamp, record.TimeStamp);

  struct Field {
    char* text;
    int limit;
  };
  const std::array<Field, 5> fields{{{record.SerialNumber, 10},
                                     {record.MACAddress, 12},
                                     {record.UserName, 20},
                                     {record.JobName, 64},
                                     {record.Description, 32}}};
  std::size_t start = kTimeStampLength + 1;
  for (const Field& field : fields) {
    if (start >= text.size()) break;
    const int length = FieldLength(text, start);
    if (length > field.limit) return false;
    CopyField(text, start, length, field.text);
    start += static_cast<std::size_t>(length) + 1;
  }
  return true;
}

bool IsPlausibleRecord(const TrackingRecord& record) {
  const auto number = [&](int at, int lowest, int highest) {
    const char tens = record.TimeStamp[at];
    const char ones = record.TimeStamp[at + 1];
    if (tens < '0' || tens > '9' || ones < '0' || ones > '9') return false;
    const int value = (tens - '0') * 10 + (ones - '0');
    return value >= lowest && value <= highest;
  };
  if (!number(0, 0, 99) || !number(2, 1, 12) || !number(4, 1, 31) || !number(6, 0, 23) || !number(8, 0, 59) ||
      !number(10, 0, 59)) {
    return false;
  }
  for (const char* c = record.MACAddress; *c != 0; ++c) {
    if (std::isxdigit(static_cast<unsigned char>(*c)) == 0) return false;
  }
  const auto printable = [](const char* field) {
    for (const char* c = field; *c != 0; ++c) {
      const auto byte = static_cast<unsigned char>(*c);
      if (byte < 0x20 || byte == 0x7F) return false;
    }
    return true;
  };
  return printable(record.SerialNumber) && printable(record.UserName) && printable(record.JobName) &&
         printable(record.Description);
}

}  // namespace orla
