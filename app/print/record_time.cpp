#include "print/record_time.h"

#include <ctime>

std::string FormatRecordTime(std::int64_t time) {
  const auto seconds = static_cast<std::time_t>(time);
  if (static_cast<std::int64_t>(seconds) != time) return {};
  std::tm local{};
  if (localtime_r(&seconds, &local) == nullptr) return {};
  char buffer[128];
  const std::size_t length = std::strftime(buffer, sizeof buffer, "   %Y/%m/%d %H:%M:%S", &local);
  return std::string(buffer, length);
}
