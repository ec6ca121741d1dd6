// When the File menu offers Print and Save As.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "pages/menu_rules.h"

namespace orla {
namespace {

TrackingRecord Record(const char* serial, int valid = 1) {
  TrackingRecord r{};
  std::strncpy(r.SerialNumber, serial, sizeof r.SerialNumber - 1);
  r.Valid = valid;
  return r;
}

TEST(MenuRules, PrintNeedsTheShownRecordDecodedSaveAsAnyRecord) {
  const std::vector<TrackingRecord> mixed{Record("", 0), Record("a"), Record("", 0)};
  EXPECT_FALSE(IsPrintEnabled(mixed, 1));
  EXPECT_TRUE(IsPrintEnabled(mixed, 2));
  EXPECT_FALSE(IsPrintEnabled(mixed, 3));
  EXPECT_FALSE(IsPrintEnabled(mixed, 0));
  EXPECT_FALSE(IsPrintEnabled(mixed, 4));
  EXPECT_TRUE(IsSaveAsEnabled(mixed));
  const std::vector<TrackingRecord> emptyOnly{Record("", 0), Record("", 0)};
  EXPECT_FALSE(IsSaveAsEnabled(emptyOnly));
  EXPECT_FALSE(IsPrintEnabled(emptyOnly, 1));
  EXPECT_FALSE(IsSaveAsEnabled({}));
  EXPECT_FALSE(IsPrintEnabled({}, 1));
}

}  // namespace
}  // namespace orla
