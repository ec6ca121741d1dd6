#pragma once
// The result of one page: six zero-terminated texts and the valid flag, 160 bytes with no
// gaps, copied by value. An all-zero record stands for a page on which nothing was found.

#include <cstddef>
#include <cstdint>

struct TrackingRecord {
  char TimeStamp[13];
  char SerialNumber[11];
  char MACAddress[13];
  char UserName[21];
  char JobName[65];
  char Description[33];
  std::int32_t Valid;
};

static_assert(sizeof(TrackingRecord) == 160, "the record is 160 bytes with no gaps");
static_assert(offsetof(TrackingRecord, Valid) == 156, "the valid flag follows the texts");
