#pragma once
// A decoded record compared field by field, and byte by byte, with the record the pattern
// writer laid out.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "payload.h"
#include "tracking_record.h"

namespace orla::test {

inline void ExpectRecord(const TrackingRecord& r, const orla::pattern::PatternRecord& w, const std::string& what = {}) {
  EXPECT_STREQ(r.TimeStamp, w.timeStamp.c_str()) << what;
  EXPECT_STREQ(r.SerialNumber, w.serialNumber.c_str()) << what;
  EXPECT_STREQ(r.MACAddress, w.macAddress.c_str()) << what;
  EXPECT_STREQ(r.UserName, w.userName.c_str()) << what;
  EXPECT_STREQ(r.JobName, w.jobName.c_str()) << what;
  EXPECT_STREQ(r.Description, w.description.c_str()) << what;
  EXPECT_EQ(r.Valid, 1) << what;

  // Byte for byte too: every byte no text fills is zero.
  TrackingRecord expected{};
  const auto put = [](char* field, std::size_t size, const std::string& text) {
    std::memcpy(field, text.data(), std::min(text.size(), size - 1));
  };
  put(expected.TimeStamp, sizeof expected.TimeStamp, w.timeStamp);
  put(expected.SerialNumber, sizeof expected.SerialNumber, w.serialNumber);
  put(expected.MACAddress, sizeof expected.MACAddress, w.macAddress);
  put(expected.UserName, sizeof expected.UserName, w.userName);
  put(expected.JobName, sizeof expected.JobName, w.jobName);
  put(expected.Description, sizeof expected.Description, w.description);
  expected.Valid = 1;
  EXPECT_EQ(std::memcmp(&r, &expected, sizeof expected), 0) << what << ": a byte beyond the texts is not zero";
}

inline bool SameRecord(const TrackingRecord& r, const orla::pattern::PatternRecord& w) {
  return r.Valid == 1 && w.timeStamp == r.TimeStamp && w.serialNumber == r.SerialNumber &&
         w.macAddress == r.MACAddress && w.userName == r.UserName && w.jobName == r.JobName &&
         w.description == r.Description;
}

}  // namespace orla::test
