#pragma once
// A decoded record compared field by field with the record the pattern writer laid out.

#include <gtest/gtest.h>

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
}

inline bool SameRecord(const TrackingRecord& r, const orla::pattern::PatternRecord& w) {
  return r.Valid == 1 && w.timeStamp == r.TimeStamp && w.serialNumber == r.SerialNumber &&
         w.macAddress == r.MACAddress && w.userName == r.UserName && w.jobName == r.JobName &&
         w.description == r.Description;
}

}  // namespace orla::test
