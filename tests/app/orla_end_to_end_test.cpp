// ORLA end to end under Wine, driven from another process as an operator would drive it:
// the language texts on the controls, Track over a BMP, a JPEG, a three-page TIFF with an
// empty middle page and a two-page PDF made by the pattern writer (every shown field compared
// with the record written), the page buttons and the page field, the messages for a bad path
// and an unsupported file, Cancel during a large file, Clear, scanner mode without a source,
// and a second start that brings the first copy forward and exits.
//
// Usage: orla_end_to_end_test <orla.exe.so> <English.lan> [--scanner] [--screenshot <file.png>]
// --scanner runs the scanner cases; they need the test scanner source on WINEDLLPATH.
// The screenshot of the main dialog with a result shown is taken with --screenshot, e.g.
//   scripts/with-wine build/wineprefix /usr/lib/wine/wine64
//     build/tests/app/orla_end_to_end_test.exe.so build/app/orla.exe.so lang/English.lan
//     --screenshot /tmp/orla.png
// (one command line).

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "lang_parser.h"
#include "lang_table.h"
#include "orla_session.h"
#include "pattern_writer.h"
#include "record_display.h"
#include "resource.h"
#include "wine_check.h"

extern "C" WCHAR* CDECL wine_get_dos_file_name(const char* unixName);

namespace {

using orla::pattern::GreyPage;
using orla::pattern::PatternRecord;
using orla::test::OrlaSession;

std::string g_program;
orla::LangTable g_english;
std::string g_folder;      // Unix folder of the fixtures
std::string g_folderDos;   // the same as ORLA sees it

std::string DosPath(const std::string& unixPath) {
  WCHAR* wide = wine_get_dos_file_name(unixPath.c_str());
  if (wide == nullptr) return {};
  char text[MAX_PATH * 2] = {};
  WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
  HeapFree(GetProcessHeap(), 0, wide);
  return text;
}

std::u16string English(std::uint32_t key) {
  std::u16string text;
  orla::FindLanguageEntry(g_english, key, text);
  return text;
}

std::string Narrow(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '_');
  return out;
}

PatternRecord MakeRecord(int n) {
  PatternRecord r;
  char buffer[80];
  std::snprintf(buffer, sizeof buffer, "2612%02d1%05d", n, 1000 + n);
  r.timeStamp = std::string(buffer).substr(0, 12);
  std::snprintf(buffer, sizeof buffer, "LM%08d", 40211700 + n);
  r.serialNumber = buffer;
  std::snprintf(buffer, sizeof buffer, "00A0C9%06X", 0x143B00 + n);
  r.macAddress = buffer;
  r.userName = "operator" + std::to_string(n);
  r.jobName = "report-" + std::to_string(n) + ".docx";
  r.description = "Accounts " + std::to_string(n);
  return r;
}

GreyPage PatternPage(const PatternRecord& record, int width = 0, int height = 0) {
  orla::pattern::PatternOptions options;
  options.page.width = width;
  options.page.height = height;
  const auto made = orla::pattern::MakePatternPage(record, options);
  CHECK(made.ok());
  return made.page;
}

GreyPage BlankLike(const GreyPage& page) {
  GreyPage blank = page;
  std::fill(blank.pixels.begin(), blank.pixels.end(), std::uint8_t{255});
  return blank;
}

// What the dialog shows of a page: six fields, empty for a page without a result.
std::vector<std::string> Shown(const PatternRecord* record) {
  if (record == nullptr) return std::vector<std::string>(6, "");
  return {FormatTimeStampForDisplay(record->timeStamp), record->serialNumber,
          FormatMacAddressForDisplay(record->macAddress), record->userName, record->jobName, record->description};
}

std::vector<std::string> Fields(const OrlaSession& orla) {
  std::vector<std::string> out;
  for (int id = IDC_EDIT_TIME_STAMP; id <= IDC_EDIT_DESCRIPTION; ++id) out.push_back(orla.TextA(id));
  return out;
}

void ExpectPage(OrlaSession& orla, int page, const std::vector<const PatternRecord*>& records, const char* what) {
  const std::string counter = std::to_string(page) + "/" + std::to_string(records.size());
  const bool counterOk = orla.TextA(IDC_EDIT_PAGE) == counter;
  CHECK(counterOk);
  const bool fieldsOk = Fields(orla) == Shown(records[static_cast<std::size_t>(page) - 1]);
  CHECK(fieldsOk);
  if (!counterOk || !fieldsOk) {
    std::printf("  %s page %d: counter %s, fields:", what, page, orla.TextA(IDC_EDIT_PAGE).c_str());
    for (const auto& f : Fields(orla)) std::printf(" [%s]", f.c_str());
    std::printf("\n");
  }
  const bool last = static_cast<std::size_t>(page) == records.size();
  CHECK(orla.Enabled(IDC_BTN_FIRST_PAGE) == (page != 1));
  CHECK(orla.Enabled(IDC_BTN_PREV_PAGE) == (page != 1));
  CHECK(orla.Enabled(IDC_BTN_NEXT_PAGE) == !last);
  CHECK(orla.Enabled(IDC_BTN_LAST_PAGE) == !last);
  CHECK(orla.Enabled(IDC_BTN_CLEAR));
  CHECK(orla.Enabled(IDC_EDIT_PAGE));
}

// Chooses file mode, types the path and presses Track; returns the messages shown.
std::vector<std::string> TrackFile(OrlaSession& orla, const std::string& dosPath) {
  orla.Click(IDC_RADIO_FILE);
  orla.WaitUntilIdle();
  orla.Type(IDC_EDIT_FILE_PATH, dosPath);
  orla.WaitUntilIdle();
  CHECK(orla.Enabled(IDC_BTN_TRACK));
  orla.Click(IDC_BTN_TRACK);
  CHECK(orla.WaitUntilIdle(120000));
  return orla.TakeMessages();
}

std::string Message(std::uint32_t key) { return Narrow(English(key)); }

void TestLanguageTexts(OrlaSession& orla) {
  char16_t caption[256] = {};
  GetWindowTextW(orla.dialog(), reinterpret_cast<LPWSTR>(caption), 256);
  CHECK(std::u16string(caption) == English(0x02000000));
  const struct {
    int id;
    std::uint32_t key;
  } rows[] = {{IDC_GROUP_INPUT, 0x02000001},      {IDC_RADIO_SCAN, 0x02000002},       {IDC_RADIO_FILE, 0x02000003},
              {IDC_BTN_OPEN, 0x02000004},         {IDC_BTN_TRACK, 0x02000005},        {IDC_GROUP_RESULT, 0x02000006},
              {IDC_LABEL_TIME_STAMP, 0x02000007}, {IDC_LABEL_SERIAL_NUMBER, 0x02000008},
              {IDC_LABEL_MAC_ADDRESS, 0x02000009}, {IDC_LABEL_USER_NAME, 0x0200000A},
              {IDC_LABEL_JOB_NAME, 0x0200000B},   {IDC_LABEL_DESCRIPTION, 0x0200000C}, {IDCANCEL, 0x0200000F},
              {IDC_LABEL_PAGE, 0x02000010},       {IDC_BTN_HELP, 0x02000011},         {IDC_BTN_VERSION, 0x02000012},
              {IDC_BTN_CLEAR, 0x02000013}};
  for (const auto& row : rows) {
    const bool same = orla.Text(row.id) == English(row.key) && !English(row.key).empty();
    CHECK(same);
    if (!same) std::printf("  control %d shows [%s]\n", row.id, Narrow(orla.Text(row.id)).c_str());
  }
  // The start state: scan mode, an empty list.
  CHECK(orla.TextA(IDC_EDIT_PAGE) == "1/1");
  CHECK(!orla.Enabled(IDC_EDIT_PAGE) && !orla.Enabled(IDC_BTN_CLEAR));
  CHECK(!orla.Enabled(IDC_EDIT_FILE_PATH) && !orla.Enabled(IDC_BTN_OPEN));
}

void TestFiles(OrlaSession& orla, const char* screenshot) {
  const PatternRecord bmpRecord = MakeRecord(1);
  const PatternRecord jpegRecord = MakeRecord(2);
  const PatternRecord tiff1 = MakeRecord(3), tiff3 = MakeRecord(4);
  const PatternRecord pdf1 = MakeRecord(5), pdf2 = MakeRecord(6);

  CHECK(orla::pattern::WriteBmpFile(PatternPage(bmpRecord), g_folder + "/one.bmp"));
  CHECK(orla::pattern::WriteJpegFile(PatternPage(jpegRecord), g_folder + "/one.jpg"));
  const GreyPage t1 = PatternPage(tiff1);
  const std::vector<GreyPage> tiffPages{t1, BlankLike(t1), PatternPage(tiff3)};
  CHECK(orla::pattern::WriteTiffFile(tiffPages, g_folder + "/three.tif"));
  const std::vector<GreyPage> pdfPages{PatternPage(pdf1), PatternPage(pdf2)};
  CHECK(orla::pattern::WritePdfFile(pdfPages, g_folder + "/two.pdf"));

  const std::string nothingFound = Message(0x1000001E);

  std::vector<std::string> messages = TrackFile(orla, g_folderDos + "\\one.bmp");
  CHECK(messages.empty());
  ExpectPage(orla, 1, {&bmpRecord}, "BMP");
  if (screenshot != nullptr) CHECK(orla::test::SaveWindowPng(orla.dialog(), screenshot));

  messages = TrackFile(orla, g_folderDos + "\\one.jpg");
  CHECK(messages.empty());
  ExpectPage(orla, 1, {&jpegRecord}, "JPEG");

  messages = TrackFile(orla, g_folderDos + "\\three.tif");
  CHECK(messages == std::vector<std::string>{nothingFound});
  const std::vector<const PatternRecord*> tiff{&tiff1, nullptr, &tiff3};
  ExpectPage(orla, 1, tiff, "TIFF");
  orla.Click(IDC_BTN_NEXT_PAGE);
  orla.WaitUntilIdle();
  ExpectPage(orla, 2, tiff, "TIFF");
  orla.Click(IDC_BTN_LAST_PAGE);
  orla.WaitUntilIdle();
  ExpectPage(orla, 3, tiff, "TIFF");
  orla.Click(IDC_BTN_PREV_PAGE);
  orla.WaitUntilIdle();
  ExpectPage(orla, 2, tiff, "TIFF");
  orla.Click(IDC_BTN_FIRST_PAGE);
  orla.WaitUntilIdle();
  ExpectPage(orla, 1, tiff, "TIFF");
  // The page field: a typed page, then one outside the list, which shows the page again.
  orla.Type(IDC_EDIT_PAGE, "3");
  orla.PressEnter(IDC_EDIT_PAGE);
  orla.WaitUntilIdle();
  ExpectPage(orla, 3, tiff, "TIFF");
  orla.Type(IDC_EDIT_PAGE, "7");
  orla.PressEnter(IDC_EDIT_PAGE);
  orla.WaitUntilIdle();
  ExpectPage(orla, 3, tiff, "TIFF");

  messages = TrackFile(orla, g_folderDos + "\\two.pdf");
  CHECK(messages.empty());
  const std::vector<const PatternRecord*> pdf{&pdf1, &pdf2};
  ExpectPage(orla, 1, pdf, "PDF");
  orla.Click(IDC_BTN_NEXT_PAGE);
  orla.WaitUntilIdle();
  ExpectPage(orla, 2, pdf, "PDF");

  // A relative path is refused; a file of no known type is reported; the results stay.
  messages = TrackFile(orla, "two.pdf");
  CHECK(messages == std::vector<std::string>{Message(0x10000017)});
  std::ofstream(g_folder + "/notes.txt") << "no image";
  messages = TrackFile(orla, g_folderDos + "\\notes.txt");
  CHECK(messages == std::vector<std::string>{Message(0x10000018)});
  ExpectPage(orla, 2, pdf, "PDF after errors");
}

void TestCancel(OrlaSession& orla) {
  // Large pages, so the operator has time to press Cancel during the first one.
  const PatternRecord record = MakeRecord(7);
  const GreyPage big = PatternPage(record, 5000, 5000);
  const std::vector<GreyPage> pages{big, big, big};
  CHECK(orla::pattern::WriteTiffFile(pages, g_folder + "/large.tif"));
  const std::string before = orla.TextA(IDC_EDIT_PAGE);
  const std::vector<std::string> fieldsBefore = Fields(orla);

  orla.Click(IDC_RADIO_FILE);
  orla.WaitUntilIdle();
  orla.Type(IDC_EDIT_FILE_PATH, g_folderDos + "\\large.tif");
  orla.WaitUntilIdle();
  orla.Click(IDC_BTN_TRACK);
  // The window exists before its Cancel button does, and the dialog is disabled only once the
  // window is complete: wait for both, or the click may go nowhere.
  HWND progress = nullptr;
  HWND cancel = nullptr;
  for (int i = 0; i < 2000 && (cancel == nullptr || IsWindowEnabled(orla.dialog())); ++i) {
    progress = orla.ProgressWindow();
    cancel = progress != nullptr ? GetDlgItem(progress, 10) : nullptr;
    if (cancel == nullptr || IsWindowEnabled(orla.dialog())) Sleep(5);
  }
  CHECK(cancel != nullptr);
  CHECK(!IsWindowEnabled(orla.dialog()));  // the progress window is modal over the dialog
  PostMessageW(cancel, BM_CLICK, 0, 0);
  CHECK(orla.WaitUntilIdle(120000));
  CHECK(orla.TakeMessages().empty());
  // Cancelled during page 1: the previous run's results are still the list.
  CHECK(orla.TextA(IDC_EDIT_PAGE) == before);
  CHECK(Fields(orla) == fieldsBefore);
  CHECK(IsWindowEnabled(orla.dialog()));
}

void TestClearAndScanner(OrlaSession& orla) {
  orla.Click(IDC_BTN_CLEAR);
  orla.WaitUntilIdle();
  CHECK(orla.TextA(IDC_EDIT_PAGE) == "1/1");
  CHECK(Fields(orla) == Shown(nullptr));
  CHECK(!orla.Enabled(IDC_BTN_CLEAR) && !orla.Enabled(IDC_EDIT_PAGE));
  CHECK(!orla.Enabled(IDC_BTN_NEXT_PAGE) && !orla.Enabled(IDC_BTN_LAST_PAGE));

  // Scanner mode with no remote-scan source installed: Track says so.
  orla.Click(IDC_RADIO_SCAN);
  orla.WaitUntilIdle();
  CHECK(!orla.Enabled(IDC_EDIT_FILE_PATH) && orla.Enabled(IDC_BTN_TRACK));
  orla.Click(IDC_BTN_TRACK);
  orla.WaitUntilIdle();
  const std::vector<std::string> messages = orla.TakeMessages();
  const bool told = messages == std::vector<std::string>{Message(0x10000012)} ||
                    messages == std::vector<std::string>{Message(0x10000011)};
  CHECK(told);
  if (!told) std::printf("  scanner messages: %zu\n", messages.size());
}

void TestSecondStart(OrlaSession& orla) {
  ShowWindow(orla.dialog(), SW_MINIMIZE);
  for (int i = 0; i < 100 && !IsIconic(orla.dialog()); ++i) Sleep(20);
  CHECK(IsIconic(orla.dialog()));
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION second{};
  std::string command = "\"" + g_program + "\"";
  CHECK(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &second));
  const bool ended = WaitForSingleObject(second.hProcess, 30000) == WAIT_OBJECT_0;
  CHECK(ended);
  DWORD code = 1;
  GetExitCodeProcess(second.hProcess, &code);
  CHECK(code == 0);
  CHECK(orla::test::FindOrlaDialog(second.dwProcessId) == nullptr);
  if (!ended) TerminateProcess(second.hProcess, 1);
  CloseHandle(second.hProcess);
  CloseHandle(second.hThread);
  for (int i = 0; i < 100 && IsIconic(orla.dialog()); ++i) Sleep(20);
  CHECK(!IsIconic(orla.dialog()));
}

std::string ReadFile(const char* path);

// Scanner mode through Wine's real TWAIN source manager and the test scanner source: a batch
// of a pattern page and a blank page after a file run of three pages leaves two records, the
// blank one empty with its message. A source that cannot be opened is reported like a missing
// one. Each case needs a copy of ORLA started with the scanner's settings in its environment.
void TestScanner() {
  const PatternRecord record = MakeRecord(8);
  const GreyPage scanned = PatternPage(record);
  CHECK(orla::pattern::WriteBmpFile(scanned, g_folder + "/scan1.bmp"));
  CHECK(orla::pattern::WriteBmpFile(BlankLike(scanned), g_folder + "/scan2.bmp"));
  SetEnvironmentVariableA("ORLA_TEST_SCANNER_PAGES", (g_folder + "/scan1.bmp;" + g_folder + "/scan2.bmp").c_str());
  {
    OrlaSession orla(g_program);
    CHECK(orla.started());
    if (orla.started()) {
      CHECK(TrackFile(orla, g_folderDos + "\\three.tif").size() == 1);
      CHECK(orla.TextA(IDC_EDIT_PAGE) == "1/3");
      orla.Click(IDC_RADIO_SCAN);
      orla.WaitUntilIdle();
      orla.Click(IDC_BTN_TRACK);
      CHECK(orla.WaitUntilIdle(120000));
      CHECK(orla.TakeMessages() == std::vector<std::string>{Message(0x1000001E)});
      const std::vector<const PatternRecord*> scan{&record, nullptr};
      ExpectPage(orla, 1, scan, "scan");
      orla.Click(IDC_BTN_NEXT_PAGE);
      orla.WaitUntilIdle();
      ExpectPage(orla, 2, scan, "scan");
      CHECK(orla.Close() == 0);
    }
  }
  SetEnvironmentVariableA("ORLA_TEST_SCANNER_FAIL", "opends");
  {
    OrlaSession orla(g_program);
    CHECK(orla.started());
    if (orla.started()) {
      orla.Click(IDC_BTN_TRACK);
      orla.WaitUntilIdle();
      CHECK(orla.TakeMessages() == std::vector<std::string>{Message(0x10000012)});
      CHECK(orla.TextA(IDC_EDIT_PAGE) == "1/1");
      CHECK(orla.Close() == 0);
    }
  }
  SetEnvironmentVariableA("ORLA_TEST_SCANNER_FAIL", nullptr);
  SetEnvironmentVariableA("ORLA_TEST_SCANNER_PAGES", nullptr);
}

std::string ReadFile(const char* path);

// The Help button and F1 open the help file beside the program at the Help topic, through
// Wine's own HTML Help. Wine has no HTML engine here, so the viewer shows no page; the call is
// read from HTML Help's debug channel: owner, file, command and context id (hexadecimal).
void TestHelp() {
  char log[] = "/tmp/orla_help_XXXXXX";
  const int logFd = mkstemp(log);
  CHECK(logFd >= 0);
  {
    // Wine writes a process's debug channels to its Unix standard error, which ORLA inherits
    // from this process: point it at the log while ORLA starts.
    const int savedError = dup(2);
    dup2(logFd, 2);
    OrlaSession orla(g_program, "+htmlhelp");
    dup2(savedError, 2);
    close(savedError);
    close(logFd);
    CHECK(orla.started());
    if (!orla.started()) return;
    orla.Click(IDC_BTN_HELP);
    orla.WaitUntilIdle();
    // F1, pressed on the keyboard while the dialog has the focus.
    SetForegroundWindow(orla.dialog());
    std::system("xdotool search --name '^ORLA tracking' windowfocus --sync key F1 >/dev/null 2>&1");
    orla.WaitUntilIdle();
    orla.Close();
  }
  std::string folder = g_program.substr(0, g_program.rfind('\\') + 1);
  std::string escaped;
  for (char c : folder + "Dravo_Marrowfind.chm") escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
  const std::string call = "HtmlHelpW (0000000000000000, L\"" + escaped + "\", command=HH_HELP_CONTEXT, data=1000)";
  const std::string text = ReadFile(log);
  std::size_t calls = 0;
  for (std::size_t at = text.find(call); at != std::string::npos; at = text.find(call, at + 1)) ++calls;
  CHECK(calls == 2);
  if (calls != 2) std::printf("  help calls found: %zu of [%s]\n", calls, call.c_str());
  std::remove(log);
}

std::string ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("usage: orla_end_to_end_test <orla.exe.so> <English.lan> [--scanner] [--screenshot <file.png>]\n");
    return 2;
  }
  g_program = DosPath(argv[1]);
  CHECK(orla::LoadLanguageBytes(ReadFile(argv[2]), g_english));
  const char* screenshot = nullptr;
  bool scanner = false;
  for (int i = 3; i < argc; ++i) {
    if (std::string(argv[i]) == "--screenshot" && i + 1 < argc) screenshot = argv[++i];
    if (std::string(argv[i]) == "--scanner") scanner = true;
  }
  char folder[] = "/tmp/orla_e2e_XXXXXX";
  CHECK(mkdtemp(folder) != nullptr);
  g_folder = folder;
  g_folderDos = DosPath(g_folder);

  {
    OrlaSession orla(g_program);
    CHECK(orla.started());
    if (orla.started()) {
      TestLanguageTexts(orla);
      TestFiles(orla, screenshot);
      TestCancel(orla);
      TestClearAndScanner(orla);
      TestSecondStart(orla);
      CHECK(orla.Close() == 0);
    }
  }
  if (scanner) TestScanner();
  TestHelp();
  std::system(("rm -rf '" + g_folder + "'").c_str());
  return wine_check::Finish("orla_end_to_end");
}
