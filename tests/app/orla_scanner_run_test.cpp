// ORLA's scanner runs under Wine, through Wine's real TWAIN source manager and the test
// scanner, driven from another process as an operator would drive it:
// - a page whose transfer fails (its image information, or its native transfer) is named in a
//   message, the pages before and behind it are kept, and the next Track scans again;
// - pages from the scanner never join a file's results: leaving scanner mode closes the
//   scanner, whose window would otherwise go on delivering, and Track opens it again.
// Each case starts its own copy of ORLA with the scanner's settings in its environment.
//
// Usage: orla_scanner_run_test <orla.exe.so> <English.lan>; the test scanner source must be
// on WINEDLLPATH.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <unistd.h>

#include "lang/lang_parser.h"
#include "lang/lang_table.h"
#include "orla_session.h"
#include "orla_test_program.h"
#include "pages/record_display.h"
#include "pattern_writer.h"
#include "resource.h"
#include "text/safe_format.h"
#include "twain/test_scanner.h"
#include "wine_check.h"

namespace {

using orla::pattern::PatternRecord;
using orla::test::DosPath;
using orla::test::OrlaSession;
using orla::test::ReadFile;
namespace scanner = orla::test::scanner;

constexpr std::uint32_t kTransferFailedKey = 0x10000027;

std::string g_program;
orla::LangTable g_english;
std::string g_folder;

// An English message as a message box shows it; a format gets its numbers first.
std::string Message(std::uint32_t key, std::initializer_list<long long> numbers = {}) {
  std::u16string text;
  CHECK(orla::FindLanguageEntry(g_english, key, text));
  if (numbers.size() != 0) text = orla::FormatIntegers(text, numbers);
  std::string out;
  for (char16_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '_');
  return out;
}

PatternRecord MakeRecord(int n) {
  PatternRecord r;
  char buffer[80];
  std::snprintf(buffer, sizeof buffer, "2611%02d0%05d", n, 2000 + n);
  r.timeStamp = std::string(buffer).substr(0, 12);
  std::snprintf(buffer, sizeof buffer, "LM%08d", 50311800 + n);
  r.serialNumber = buffer;
  std::snprintf(buffer, sizeof buffer, "00A0C9%06X", 0x2A4C00 + n);
  r.macAddress = buffer;
  r.userName = "scanner" + std::to_string(n);
  r.jobName = "batch-" + std::to_string(n) + ".pdf";
  r.description = "Ledger " + std::to_string(n);
  return r;
}

// Writes the page of `record` as a BMP file in the fixture folder; its Unix path.
std::string WritePage(const PatternRecord& record, const std::string& name) {
  const auto made = orla::pattern::MakePatternPage(record, orla::pattern::PatternOptions{});
  CHECK(made.ok());
  const std::string path = g_folder + "/" + name;
  CHECK(orla::pattern::WriteBmpFile(made.page, path));
  return path;
}

std::vector<std::string> Shown(const PatternRecord& record) {
  return {FormatTimeStampForDisplay(record.timeStamp), record.serialNumber,
          FormatMacAddressForDisplay(record.macAddress), record.userName, record.jobName, record.description};
}

std::vector<std::string> Fields(const OrlaSession& orla) {
  std::vector<std::string> out;
  for (int id = IDC_EDIT_TIME_STAMP; id <= IDC_EDIT_DESCRIPTION; ++id) out.push_back(orla.TextA(id));
  return out;
}

// The list holds exactly `records`, in order: page by page through the page field.
void ExpectList(OrlaSession& orla, const std::vector<const PatternRecord*>& records, const char* what) {
  const std::string count = std::to_string(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    const std::string page = std::to_string(i + 1);
    orla.Type(IDC_EDIT_PAGE, page);
    orla.PressEnter(IDC_EDIT_PAGE);
    const bool counterOk = orla.TextA(IDC_EDIT_PAGE) == page + "/" + count;
    const bool fieldsOk = Fields(orla) == Shown(*records[i]);
    CHECK(counterOk && fieldsOk);
    if (!counterOk || !fieldsOk) {
      std::printf("  %s, page %s: counter %s, user [%s]\n", what, page.c_str(), orla.TextA(IDC_EDIT_PAGE).c_str(),
                  orla.TextA(IDC_EDIT_USER_NAME).c_str());
    }
  }
}

// Waits for a scanner batch that ends with `pages` records and shows `messages` (closing the
// message boxes on the way); false after the time limit.
bool WaitForBatch(OrlaSession& orla, std::size_t pages, const std::vector<std::string>& messages,
                  std::vector<std::string>& shown) {
  const std::string counter = "1/" + std::to_string(pages);
  const bool done = orla.WaitUntil(
      [&] {
        for (std::string& m : orla.TakeMessages()) shown.push_back(std::move(m));
        return shown.size() >= messages.size() && orla.TextA(IDC_EDIT_PAGE) == counter &&
               orla.Enabled(IDC_BTN_CLEAR);
      },
      120000);
  CHECK(orla.WaitUntilIdle());
  for (std::string& m : orla.TakeMessages()) shown.push_back(std::move(m));
  return done;
}

// Lets ORLA take what its scanner posted in answer to what it took before: whatever a posted
// message sets off is posted before the first marker is taken, so the second comes after it.
void SettleScanner(OrlaSession& orla) {
  CHECK(orla.WaitUntilPostedTaken());
  CHECK(orla.WaitUntilPostedTaken());
  CHECK(orla.WaitUntilIdle());
}

void PressScanAgain(const OrlaSession& orla) {
  PostMessageW(orla.dialog(), RegisterWindowMessageA(scanner::kScanAgainMessage), 0, 0);
}

// A batch of three pattern pages in which one page goes wrong. The failure is named with the
// page's place in the scan; the other two pages are the run. The source ends its batch
// with a close request, so the next Track opens it again and scans the same way.
void TestTransferFailures() {
  const PatternRecord records[] = {MakeRecord(1), MakeRecord(2), MakeRecord(3)};
  std::string list;
  for (int i = 0; i < 3; ++i) list += WritePage(records[i], "scan" + std::to_string(i + 1) + ".bmp") + ";";
  SetEnvironmentVariableA(scanner::kPagesVariable, list.c_str());

  const struct {
    const char* fail;
    std::vector<const PatternRecord*> kept;
    int failedPage;  // 0: no message
  } cases[] = {
      {"nativexfer:2", {&records[0], &records[2]}, 2},
      {"imageinfo:2", {&records[0], &records[2]}, 2},
      {"nativexfer:1", {&records[1], &records[2]}, 1},
      {"imageinfo:3", {&records[0], &records[1]}, 3},
      // A page cancelled in the scanner's window is the user's own doing: no message.
      {"cancel:2", {&records[0], &records[2]}, 0},
  };
  for (const auto& c : cases) {
    std::printf("case: %s\n", c.fail);
    SetEnvironmentVariableA(scanner::kFailVariable, c.fail);
    OrlaSession orla(g_program);
    CHECK(orla.started());
    if (!orla.started()) continue;
    const std::vector<std::string> expected =
        c.failedPage == 0 ? std::vector<std::string>{}
                          : std::vector<std::string>{Message(kTransferFailedKey, {c.failedPage})};
    for (int round = 1; round <= 2; ++round) {
      // The second round after Clear, so its counter is its own.
      if (round == 2) {
        orla.Click(IDC_BTN_CLEAR);
        CHECK(orla.WaitUntilIdle());
        CHECK(orla.TextA(IDC_EDIT_PAGE) == "1/1" && !orla.Enabled(IDC_BTN_CLEAR));
      }
      orla.Click(IDC_BTN_TRACK);
      std::vector<std::string> shown;
      CHECK(WaitForBatch(orla, c.kept.size(), expected, shown));
      CHECK(shown == expected);
      if (shown != expected) {
        for (const std::string& m : shown) std::printf("  round %d shown: %s\n", round, m.c_str());
      }
      ExpectList(orla, c.kept, c.fail);
      // The source has asked to be closed at the batch's end: the next Track opens it.
      SettleScanner(orla);
    }
    CHECK(orla.Close() == 0);
  }
  SetEnvironmentVariableA(scanner::kFailVariable, nullptr);
  SetEnvironmentVariableA(scanner::kPagesVariable, nullptr);
}

// The scanner's window stays open after its batch. Choosing "Select From File" closes it, so
// a Scan pressed in it afterwards delivers nothing: neither while file mode is chosen nor after
// a file run (whose results stay alone), nor back in scanner mode before Track. Track opens
// the scanner again and its batch is a run of its own.
void TestScannerRunsApartFromFiles() {
  const PatternRecord scanned[] = {MakeRecord(4), MakeRecord(5)};
  const PatternRecord filed = MakeRecord(6);
  SetEnvironmentVariableA(scanner::kPagesVariable,
                          (WritePage(scanned[0], "scan4.bmp") + ";" + WritePage(scanned[1], "scan5.bmp")).c_str());
  SetEnvironmentVariableA(scanner::kKeepOpenVariable, "1");
  const std::string file = DosPath(WritePage(filed, "file6.bmp"));
  const std::vector<const PatternRecord*> scanRun{&scanned[0], &scanned[1]};
  {
    OrlaSession orla(g_program);
    CHECK(orla.started());
    if (orla.started()) {
      std::vector<std::string> shown;
      orla.Click(IDC_BTN_TRACK);
      CHECK(WaitForBatch(orla, 2, {}, shown));
      CHECK(shown.empty());
      ExpectList(orla, scanRun, "scan run");

      orla.Click(IDC_RADIO_FILE);
      CHECK(orla.WaitUntilIdle());
      PressScanAgain(orla);
      SettleScanner(orla);
      CHECK(orla.TakeMessages().empty());
      ExpectList(orla, scanRun, "scan while file mode is chosen");

      orla.Type(IDC_EDIT_FILE_PATH, file);
      orla.Click(IDC_BTN_TRACK);
      CHECK(orla.WaitUntilIdle(120000));
      ExpectList(orla, {&filed}, "file run");
      PressScanAgain(orla);
      SettleScanner(orla);
      ExpectList(orla, {&filed}, "scan after a file run");

      orla.Click(IDC_RADIO_SCAN);
      CHECK(orla.WaitUntilIdle());
      PressScanAgain(orla);
      SettleScanner(orla);
      ExpectList(orla, {&filed}, "scan before Track");
      CHECK(orla.TakeMessages().empty());

      orla.Click(IDC_BTN_TRACK);
      CHECK(WaitForBatch(orla, 2, {}, shown));
      CHECK(shown.empty());
      ExpectList(orla, scanRun, "the next scanner run");
      CHECK(orla.Close() == 0);
    }
  }
  SetEnvironmentVariableA(scanner::kKeepOpenVariable, nullptr);
  SetEnvironmentVariableA(scanner::kPagesVariable, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("usage: orla_scanner_run_test <orla.exe.so> <English.lan>\n");
    return 2;
  }
  g_program = DosPath(argv[1]);
  CHECK(orla::LoadLanguageBytes(ReadFile(argv[2]), g_english));
  char folder[] = "/tmp/orla_scan_XXXXXX";
  CHECK(mkdtemp(folder) != nullptr);
  g_folder = folder;

  TestTransferFailures();
  TestScannerRunsApartFromFiles();

  std::system(("rm -rf '" + g_folder + "'").c_str());
  return wine_check::Finish("orla_scanner_runs");
}
