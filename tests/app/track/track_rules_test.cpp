// The rules behind Track: which paths are taken, how a file is typed, which records a run
// keeps, who owns a scan message and the scanner source's name.

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "text/code_page.h"
#include "track/image_path_rule.h"
#include "track/page_file_type.h"
#include "track/run_records.h"
#include "track/scan_message_owner.h"
#include "track/scan_source_name.h"

namespace orla {
namespace {

TEST(ImagePathRule, AcceptsDriveAndNetworkPathsOnly) {
  const struct {
    const char* path;
    bool accepted;
  } cases[] = {
      {"C:\\pages\\scan.bmp", true}, {"C:/pages/scan.bmp", true}, {"\\\\server\\share\\a.tif", true},
      {"C:\\", true},                {"scan.bmp", false},         {".\\scan.bmp", false},
      {"C:scan.bmp", false},         {"/tmp/scan.bmp", false},    {"\\pages\\scan.bmp", false},
      {"", false},                   {"C:", false},               {"CC\\x", false},
      {"C\\:", false},               {"C/\\x", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsAcceptedImagePath(c.path), c.accepted) << c.path;
}

TEST(ImagePathRule, TrailByteEqualToBackslashIsNoSeparator) {
  // In a double-byte code page 0x83 0x5C is one character whose second byte looks like '\'.
  const LeadByteTest previous = SetLeadByteTest([](unsigned char b) { return b >= 0x81 && b <= 0x9F; });
  EXPECT_FALSE(IsAcceptedImagePath("\x83\x5C\\x"));
  EXPECT_FALSE(IsAcceptedImagePath("X\x83\x5C"));
  EXPECT_TRUE(IsAcceptedImagePath("C:\\\x83\x5C"));
  SetLeadByteTest(previous);
  EXPECT_FALSE(IsAcceptedImagePath("X\x83\x5C"));  // single-byte: a separator third, but no colon
}

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<std::uint8_t> out;
  for (int v : values) out.push_back(static_cast<std::uint8_t>(v));
  return out;
}

TEST(PageFileType, ByFirstTwoBytesThenByName) {
  const struct {
    std::vector<std::uint8_t> bytes;
    const char* path;
    PageFileType type;
  } cases[] = {
      {Bytes({'B', 'M'}), "C:\\a.pdf", PageFileType::Bmp},
      {Bytes({0xFF, 0xD8}), "C:\\a.pdf", PageFileType::Jpeg},  // a JPEG named .pdf stays JPEG
      {Bytes({'I', 'I'}), "C:\\a.jpg", PageFileType::Tiff},
      {Bytes({'M', 'M'}), "C:\\a", PageFileType::Tiff},
      {Bytes({'%', 'P'}), "C:\\a.pdf", PageFileType::Pdf},
      {Bytes({'%', 'P'}), "C:\\A.PDF", PageFileType::Pdf},
      {Bytes({'%', 'P'}), "C:\\apdf", PageFileType::Pdf},  // no dot needed
      {Bytes({'%', 'P'}), "C:\\a.pd", PageFileType::Unsupported},
      {Bytes({'%', 'P'}), "df", PageFileType::Unsupported},
      {Bytes({'B', 'X'}), "C:\\a.bmp", PageFileType::Unsupported},
      {Bytes({'B'}), "C:\\a.bmp", PageFileType::Unsupported},  // typed as 'B', 0
      {Bytes({'B'}), "C:\\a.pdf", PageFileType::Pdf},
      {Bytes({0xFF}), "C:\\a.jpg", PageFileType::Unsupported},
      {Bytes({}), "C:\\a.pdf", PageFileType::Empty},
  };
  for (const auto& c : cases) EXPECT_EQ(PageFileTypeOf(c.bytes, c.path), c.type) << c.path;
}

TrackingRecord Record(const char* serial, int valid = 1) {
  TrackingRecord r{};
  std::strncpy(r.SerialNumber, serial, sizeof r.SerialNumber - 1);
  r.Valid = valid;
  return r;
}

std::vector<std::string> Serials(const std::vector<TrackingRecord>& records) {
  std::vector<std::string> out;
  for (const auto& r : records) out.emplace_back(r.SerialNumber);
  return out;
}

TEST(RunRecords, FirstFinishedPageDropsEarlierRunsOnce) {
  std::vector<TrackingRecord> records{Record("old1"), Record("old2"), Record("old3")};
  int pending = 1;
  const int start = 3;
  TrimRecordsToRun(records, pending, start);  // nothing of this run yet: stays pending
  EXPECT_EQ(records.size(), 3U);
  EXPECT_EQ(pending, 1);
  records.push_back(Record("new1"));
  TrimRecordsToRun(records, pending, start);
  EXPECT_EQ(Serials(records), (std::vector<std::string>{"new1"}));
  EXPECT_EQ(pending, 0);
  records.push_back(Record("new2"));
  TrimRecordsToRun(records, pending, start);  // later pages of the run are only appended
  EXPECT_EQ(Serials(records), (std::vector<std::string>{"new1", "new2"}));
}

TEST(RunRecords, RunStartZeroKeepsEverything) {
  std::vector<TrackingRecord> records{Record("a")};
  int pending = 1;
  TrimRecordsToRun(records, pending, 0);
  EXPECT_EQ(records.size(), 1U);
  EXPECT_EQ(pending, 0);
}

TEST(RunRecords, ClearDuringAScanRunKeepsTheRunsOwnRecords) {
  // A scan run starts after a file run of five pages; the operator clears the list before
  // the scanner delivers six pages.
  std::vector<TrackingRecord> records(5, Record("file"));
  int pending = 1;
  int start = static_cast<int>(records.size());
  ClearRunRecords(records, start);
  EXPECT_TRUE(records.empty());
  EXPECT_EQ(start, 0);
  for (int page = 1; page <= 6; ++page) {
    records.push_back(Record(("scan" + std::to_string(page)).c_str()));
    TrimRecordsToRun(records, pending, start);
  }
  EXPECT_EQ(records.size(), 6U);
  EXPECT_EQ(records.front().SerialNumber, std::string("scan1"));
}

// A window table for the owner walk: handles are small numbers, 0 is null.
struct FakeWindow {
  bool exists = true;
  bool iconic = false;
  bool visible = true;
  bool topmost = false;
};
struct FakeWindows {
  std::map<int, FakeWindow> table;
  std::vector<std::string> calls;
  bool IsWindow(int w) const { return table.count(w) != 0 && table.at(w).exists; }
  bool IsIconic(int w) const { return table.at(w).iconic; }
  bool IsVisible(int w) const { return table.at(w).visible; }
  void Restore(int w) {
    table[w].iconic = false;
    calls.push_back("restore " + std::to_string(w));
  }
  void BringToFront(int w) { calls.push_back("front " + std::to_string(w)); }
  bool IsTopmost(int w) const { return table.at(w).topmost; }
};

TEST(ScanMessageOwner, TopmostWinsFirstBroughtForwardElseDialog) {
  const int dialog = 1;
  {
    FakeWindows w;
    w.table = {{1, {}}, {2, {}}, {3, {.topmost = true}}, {4, {.topmost = true}}};
    const std::vector<int> list{0, 1, 2, 3, 4};
    EXPECT_EQ(ChooseScanMessageOwner<int>(list, dialog, w), 3);
    EXPECT_EQ(w.calls, (std::vector<std::string>{"front 2", "front 3"}));
  }
  {
    FakeWindows w;  // minimised windows are restored; hidden and vanished ones skipped
    w.table = {{1, {}}, {2, {.visible = false}}, {3, {.exists = false}}, {5, {.iconic = true}}, {6, {}}};
    const std::vector<int> list{2, 3, 9, 5, 6};
    EXPECT_EQ(ChooseScanMessageOwner<int>(list, dialog, w), 5);
    EXPECT_EQ(w.calls, (std::vector<std::string>{"restore 5", "front 5", "front 6"}));
  }
  {
    FakeWindows w;  // only the dialog itself: it owns the message
    w.table = {{1, {.topmost = true}}};
    const std::vector<int> list{1};
    EXPECT_EQ(ChooseScanMessageOwner<int>(list, dialog, w), dialog);
    EXPECT_TRUE(w.calls.empty());
    EXPECT_EQ(ChooseScanMessageOwner<int>(std::span<const int>(), dialog, w), dialog);
  }
}

TEST(ScanSourceName, BothWordsInAnyCaseWithinTheField) {
  const auto field = [](const char* text) {
    std::array<char, 34> name{};
    std::strncpy(name.data(), text, name.size());
    return name;
  };
  EXPECT_TRUE(IsRemoteScanSourceName(field("Lumaro MFP Remote Scan")));
  EXPECT_TRUE(IsRemoteScanSourceName(field("REMOTE-LUMARO")));
  EXPECT_FALSE(IsRemoteScanSourceName(field("Lumaro Scanner")));
  EXPECT_FALSE(IsRemoteScanSourceName(field("Remote Desktop Scan")));
  // A field the manager left without its terminating zero is read up to its size only.
  std::array<char, 34> full{};
  std::memset(full.data(), 'x', full.size());
  std::memcpy(full.data(), "lumaro", 6);
  const std::array<char, 40> withTail = [&] {
    std::array<char, 40> a{};
    std::memcpy(a.data(), full.data(), full.size());
    std::memcpy(a.data() + 34, "remote", 6);
    return a;
  }();
  EXPECT_FALSE(IsRemoteScanSourceName(std::span<const char>(withTail.data(), 34)));
  // The field is not changed by the match.
  const auto upper = field("LUMARO REMOTE");
  EXPECT_TRUE(IsRemoteScanSourceName(upper));
  EXPECT_EQ(std::string(upper.data()), "LUMARO REMOTE");
}

}  // namespace
}  // namespace orla
