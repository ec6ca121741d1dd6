// The record text rules, and the process-wide record list.

#include "record_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tracking_records.h"

namespace {

std::vector<std::uint8_t> Text(const std::string& s) { return std::vector<std::uint8_t>(s.begin(), s.end()); }

const std::string kTime = "202612100907";

TEST(RecordText, FieldRules) {
  using std::string;
  const string z(1, '\0');
  const struct {
    const char* name;
    string text;
    bool ok;
    const char* fields[6];
  } cases[] = {
      {"23 bytes: time stamp and a 9-character serial number",
       kTime + z + "LM4021178" + z,
       true,
       {"202612100907", "LM4021178", "", "", "", ""}},
      {"all six fields",
       kTime + z + "S" + z + "00A0C9143B7E" + z + "user" + z + "job" + z + "desc" + z,
       true,
       {"202612100907", "S", "00A0C9143B7E", "user", "job", "desc"}},
      {"every field at its limit",
       kTime + z + string(10, 's') + z + string(12, 'm') + z + string(20, 'u') + z + string(64, 'j') + z +
           string(32, 'd') + z,
       true,
       {"202612100907", "ssssssssss", "mmmmmmmmmmmm", "uuuuuuuuuuuuuuuuuuuu",
        "jjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjjj", "dddddddddddddddddddddddddddddddd"}},
      {"a zero byte at 13: the serial number is empty",
       kTime + z + z + "MAC" + z + string(8, '\0'),
       true,
       {"202612100907", "", "MAC", "", "", ""}},
      {"text after the description is ignored",
       kTime + z + "S" + z + "M" + z + "U" + z + "J" + z + "D" + z + "extra" + z,
       true,
       {"202612100907", "S", "M", "U", "J", "D"}},
      {"the last field may run to the end",
       kTime + z + "S" + z + "M" + z + "U" + z + "J" + z + "Desc",
       true,
       {"202612100907", "S", "M", "U", "J", "Desc"}},
      {"22 bytes are too few", kTime + z + "LM402117" + z, false, {}},
      {"an 11-character serial number drops the record", kTime + z + "LM402117830" + z + "M" + z, false, {}},
      {"an 11-character time stamp", kTime.substr(0, 11) + z + "LM4021178" + z + "xx", false, {}},
      {"a 13-character time stamp", kTime + "9" + z + "LM4021178" + z, false, {}},
      {"a 13-character MAC address", kTime + z + "S" + z + string(13, 'm') + z + "u" + z, false, {}},
      {"a 21-character user name", kTime + z + "S" + z + "M" + z + string(21, 'u') + z, false, {}},
      {"a 65-character job name", kTime + z + "S" + z + "M" + z + "U" + z + string(65, 'j') + z, false, {}},
      {"a 33-character description",
       kTime + z + "S" + z + "M" + z + "U" + z + "J" + z + string(33, 'd') + z,
       false,
       {}},
  };
  for (const auto& c : cases) {
    TrackingRecord record;
    std::memset(&record, 0x5A, sizeof record);
    EXPECT_EQ(orla::ParseRecordText(Text(c.text), record), c.ok) << c.name;
    if (!c.ok) continue;
    EXPECT_EQ(record.Valid, 1) << c.name;
    const char* got[6] = {record.TimeStamp, record.SerialNumber, record.MACAddress,
                          record.UserName,  record.JobName,      record.Description};
    for (int f = 0; f < 6; ++f) EXPECT_STREQ(got[f], c.fields[f]) << c.name << ", field " << f;
    // Every byte no text fills is zero.
    const std::size_t sizes[6] = {13, 11, 13, 21, 65, 33};
    for (int f = 0; f < 6; ++f) {
      for (std::size_t i = std::strlen(got[f]); i < sizes[f]; ++i) EXPECT_EQ(got[f][i], 0) << c.name << ", field " << f;
    }
  }
}

TEST(TrackingRecords, AppendClearAndRelease) {
  ClearTrackingRecords();
  TrackingRecord decoded{};
  std::memcpy(decoded.TimeStamp, "202612100907", 12);
  decoded.Valid = 1;
  g_TrackingRecords.push_back(decoded);
  g_TrackingRecords.push_back(TrackingRecord{});
  g_TrackingRecords.push_back(decoded);
  ASSERT_EQ(g_TrackingRecords.size(), 3u);
  EXPECT_EQ(g_TrackingRecords[1].Valid, 0);
  EXPECT_EQ(g_TrackingRecords[2].Valid, 1);
  const std::size_t capacity = g_TrackingRecords.capacity();
  ClearTrackingRecords();
  EXPECT_TRUE(g_TrackingRecords.empty());
  EXPECT_EQ(g_TrackingRecords.capacity(), capacity);
  DestroyTrackingRecords();
  EXPECT_EQ(g_TrackingRecords.capacity(), 0u);
}

}  // namespace
