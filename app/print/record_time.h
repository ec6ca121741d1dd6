#pragma once
// The print time in the printed page's header: three blanks, then local time as
// YYYY/MM/DD hh:mm:ss. A time that cannot be converted gives an empty text.

#include <cstdint>
#include <string>

std::string FormatRecordTime(std::int64_t time);
