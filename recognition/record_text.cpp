#include "record_text.h"

#include <algorithm>
#include <array>
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

}  // namespace orla
