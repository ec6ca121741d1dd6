// ORLA end to end under Wine, driven from another process as an operator would drive it:
// the language texts on the controls, Track over a BMP, a JPEG, a three-page TIFF with an
// empty middle page and a two-page PDF made by the pattern writer (every shown field compared
// with the record written), the page buttons and the page field, the messages for a bad path
// and an unsupported file, a PDF of text alone, Cancel during a large file and the focus after
// it, Clear, scanner mode without a source, and a second start that brings the first copy
// forward and exits. The keyboard at start (Enter on Track, Esc), Help in the desktop's browser,
// Save As, Print (also through a private CUPS scheduler) and the about box follow in blocks of
// their own.
//
// Usage: orla_end_to_end_test <orla.exe.so> <English.lan> [--scanner] [--screenshot <file.png>]
//                             [--print-through-cups]
// --scanner runs the scanner cases; they need the test scanner source on WINEDLLPATH.
// --print-through-cups runs only the printing case, under with_private_cups.sh.
// The screenshot of the main dialog with a result shown is taken with --screenshot, e.g.
//   scripts/with-wine build/wineprefix /usr/lib/wine/wine64
//     build/tests/app/orla_end_to_end_test.exe.so build/app/orla.exe.so lang/English.lan
//     --screenshot /tmp/orla.png
// (one command line).

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "folder_entries.h"
#include "lang/lang_parser.h"
#include "lang/lang_table.h"
#include "orla_session.h"
#include "pages/record_display.h"
#include "pattern_writer.h"
#include "pdf_writer.h"
#include "print/record_time.h"
#include "resource.h"
#include "saving/results_document.h"
#include "saving/results_test_records.h"
#include "twain/test_scanner.h"
#include "wine_check.h"

extern "C" WCHAR* CDECL wine_get_dos_file_name(const char* unixName);

namespace {

using orla::pattern::GreyPage;
using orla::pattern::PatternRecord;
using orla::test::OrlaSession;

std::string g_program;
std::string g_programUnix;
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
  CHECK(orla.Enabled(IDC_BTN_TRACK));
  orla.Click(IDC_BTN_TRACK);
  CHECK(orla.WaitUntilIdle(120000));
  return orla.TakeMessages();
}

std::string Message(std::uint32_t key) { return Narrow(English(key)); }

// For what ORLA does after its handlers have returned (scanned pages, keys from the X server):
// waits until it has shown a message, then until it is idle; the messages shown until the
// first one was seen.
std::vector<std::string> WaitForMessages(OrlaSession& orla) {
  std::vector<std::string> shown;
  CHECK(orla.WaitUntil([&] {
    for (std::string& m : orla.TakeMessages()) shown.push_back(std::move(m));
    return !shown.empty();
  }));
  CHECK(orla.WaitUntilIdle());
  return shown;
}

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
  for (int id : {IDC_BTN_FIRST_PAGE, IDC_BTN_PREV_PAGE, IDC_BTN_NEXT_PAGE, IDC_BTN_LAST_PAGE}) CHECK(!orla.Enabled(id));
  CHECK(orla.Enabled(IDC_BTN_TRACK));
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
  ExpectPage(orla, 3, tiff, "TIFF");
  orla.Type(IDC_EDIT_PAGE, "7");
  orla.PressEnter(IDC_EDIT_PAGE);
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

  // A PDF whose page holds only text has no image to search: a page without a pattern, not a
  // file of an unsupported type.
  const std::vector<std::uint8_t> textPdf = orla::test::BuildPdf({orla::test::PdfPage{{}, "Minutes of the meeting"}});
  std::ofstream(g_folder + "/text.pdf", std::ios::binary)
      .write(reinterpret_cast<const char*>(textPdf.data()), static_cast<std::streamsize>(textPdf.size()));
  messages = TrackFile(orla, g_folderDos + "\\text.pdf");
  CHECK(messages == std::vector<std::string>{nothingFound});
  ExpectPage(orla, 1, {nullptr}, "text PDF");
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
  // The dialog gets the focus back on Track, where Enter starts a run, not on Close.
  CHECK(orla.Focus() == orla.Control(IDC_BTN_TRACK));
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
// blank one empty with its message. A second Track while the scanner's window stays open
// leaves the scanner going. A source that cannot be opened is reported like a missing one.
// Each case needs a copy of ORLA started with the scanner's settings in its environment.
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
      // The pages come after Track's handler has returned: both are in once the counter
      // shows two records.
      CHECK(orla.WaitUntil([&orla] { return orla.TextA(IDC_EDIT_PAGE) == "1/2"; }, 120000));
      CHECK(orla.WaitUntilIdle());
      CHECK(orla.TakeMessages() == std::vector<std::string>{Message(0x1000001E)});
      const std::vector<const PatternRecord*> scan{&record, nullptr};
      ExpectPage(orla, 1, scan, "scan");
      orla.Click(IDC_BTN_NEXT_PAGE);
      orla.WaitUntilIdle();
      ExpectPage(orla, 2, scan, "scan");
      CHECK(orla.Close() == 0);
    }
  }
  // The scanner's window stays open between batches, as a real scanner's usually does. Track
  // again is no failure: no message, the source is not closed, and the user's next Scan in
  // its window starts the new run, which holds that batch alone.
  SetEnvironmentVariableA("ORLA_TEST_SCANNER_KEEP_OPEN", "1");
  {
    OrlaSession orla(g_program);
    CHECK(orla.started());
    if (orla.started()) {
      orla.Click(IDC_BTN_TRACK);
      CHECK(orla.WaitUntil([&orla] { return orla.TextA(IDC_EDIT_PAGE) == "1/2"; }, 120000));
      CHECK(orla.WaitUntilIdle());
      CHECK(orla.TakeMessages() == std::vector<std::string>{Message(0x1000001E)});
      orla.Click(IDC_BTN_TRACK);
      CHECK(orla.WaitUntilIdle());
      CHECK(orla.TakeMessages().empty());
      CHECK(orla.TextA(IDC_EDIT_PAGE) == "1/2");

      PostMessageW(orla.dialog(), RegisterWindowMessageA(orla::test::scanner::kScanAgainMessage), 0, 0);
      CHECK(WaitForMessages(orla) == std::vector<std::string>{Message(0x1000001E)});
      ExpectPage(orla, 1, {&record, nullptr}, "scan again");
      CHECK(orla.Close() == 0);
    }
  }
  SetEnvironmentVariableA("ORLA_TEST_SCANNER_KEEP_OPEN", nullptr);
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

// Keys pressed on ORLA's main window through the X server, as on a keyboard. xdotool gives up
// when a window vanishes while it searches (a dialog that has just closed): it tries again.
bool PressKeys(const std::string& keys) {
  const std::string command =
      "xdotool search --name '^ORLA tracking' windowfocus --sync key " + keys + " >/dev/null 2>&1";
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (std::system(command.c_str()) == 0) return true;
    Sleep(100);
  }
  return false;
}

// The keyboard at start: the focus is on Track, so Enter starts a run (in scanner mode, with
// no scanner source to be had here, its message) and ORLA goes on; Esc ends it.
void TestKeyboard() {
  OrlaSession orla(g_program);
  CHECK(orla.started());
  if (!orla.started()) return;
  CHECK(orla.Focus() == orla.Control(IDC_BTN_TRACK));
  SetForegroundWindow(orla.dialog());
  CHECK(PressKeys("Return"));
  const std::vector<std::string> shown = WaitForMessages(orla);
  const bool told = shown == std::vector<std::string>{Message(0x10000012)} ||
                    shown == std::vector<std::string>{Message(0x10000011)};
  CHECK(told);
  CHECK(IsWindow(orla.dialog()));
  // Esc as the keyboard hands it to the focused control. Posted, not typed: the window goes
  // with the key, which xdotool reports as a failure.
  HWND focus = orla.Focus();
  CHECK(focus == orla.Control(IDC_BTN_TRACK));
  PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 1);
  PostMessageW(focus, WM_KEYUP, VK_ESCAPE, 0xC0000001);
  CHECK(WaitForSingleObject(orla.process(), 20000) == WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(orla.process(), &code);
  CHECK(code == 0);
}

// The Help button and F1 open the help's start page beside the program in the desktop's
// browser: Wine has no HTML engine here, so its HTML Help viewer would show no page and is not
// called. The browser is the recording stand-in first on PATH, reached through Wine's shell;
// whether the viewer was called is read from HTML Help's debug channel.
void TestHelp() {
  char log[] = "/tmp/orla_help_XXXXXX";
  const int logFd = mkstemp(log);
  CHECK(logFd >= 0);
  const std::string browserLog = std::string(log) + ".browser";
  // Wine hands its Unix processes the Unix environment of the process that starts them, not
  // the Windows one, so the stand-in browser learns where to write from the C library's.
  setenv("ORLA_TEST_BROWSER_LOG", browserLog.c_str(), 1);
  const std::string programUnix = g_programUnix.substr(0, g_programUnix.rfind('/') + 1);
  const std::string startPage = programUnix + "Dravo_Marrowfind/index.html";
  CHECK(GetFileAttributesA(DosPath(startPage).c_str()) != INVALID_FILE_ATTRIBUTES);
  const auto opened = [&] {
    std::istringstream lines(ReadFile(browserLog.c_str()));
    std::vector<std::string> out;
    for (std::string line; std::getline(lines, line);) out.push_back(line);
    return out;
  };
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
    CHECK(orla.WaitUntilIdle());
    // The browser is started by the shell and opens the page some time after the click.
    CHECK(orla.WaitUntil([&] { return opened().size() >= 1; }, 20000));
    // F1, pressed on the keyboard while the dialog has the focus; the key reaches the program
    // some time after xdotool has sent it.
    SetForegroundWindow(orla.dialog());
    CHECK(PressKeys("F1"));
    CHECK(orla.WaitUntil([&] { return opened().size() >= 2; }, 20000));
    CHECK(orla.TakeMessages().empty());
    orla.Close();
  }
  const std::vector<std::string> pages = opened();
  const std::vector<std::string> expected(2, "file://" + startPage);
  CHECK(pages == expected);
  if (pages != expected) {
    for (const std::string& page : pages) std::printf("  browser opened %s\n", page.c_str());
  }
  CHECK(ReadFile(log).find("HtmlHelp") == std::string::npos);
  unsetenv("ORLA_TEST_BROWSER_LOG");
  std::remove(log);
  std::remove(browserLog.c_str());
}

std::string ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// ---- The File menu's Save As and Print, and the about box

constexpr int kFileNameBox = 1148;   // the save dialog's file name (a combo box)
constexpr int kFileNameEdit = 1152;  // the same in the older dialog form
constexpr int kFileTypes = 1136;     // the save dialog's list of file types
constexpr int kPrinterNames = 1139;  // the print dialog's list of printers
constexpr int kPrintToFile = 1040;
constexpr int kHelpButton = 1038;

std::string WindowTextOf(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

// The records the program holds after tracking these pages (null: a page without a result).
std::vector<TrackingRecord> Recorded(const std::vector<const PatternRecord*>& pages) {
  std::vector<TrackingRecord> records;
  for (const PatternRecord* r : pages) {
    records.push_back(r == nullptr ? TrackingRecord{}
                                   : orla::test::MakeRecord(r->timeStamp, r->serialNumber, r->macAddress, r->userName,
                                                            r->jobName, r->description));
  }
  return records;
}

// The fixtures are ASCII, which is UTF-8 as it stands.
std::optional<std::string> AsciiToUtf8(std::string_view text) { return std::string(text); }

// Runs a reader; its standard output, with a failed run reported.
std::string ReadWith(const std::string& command) {
  int status = 0;
  const std::string out = orla::test::RunCommand(command + " 2>&1", status);
  CHECK(status == 0);
  if (status != 0) std::printf("  %s:\n%s\n", command.c_str(), out.c_str());
  return out;
}

// Chooses Save As and, in the save dialog, checks its title and file types and saves as
// `dosPath`. Returns the dialog, already asked to close, or null when none came.
HWND SaveAs(OrlaSession& orla, const std::string& dosPath) {
  orla.Command(ID_FILE_SAVE_AS);
  HWND dialog = orla.WaitForDialogWith(kFileNameBox);
  CHECK(dialog != nullptr);
  if (dialog == nullptr) return nullptr;
  CHECK(WindowTextOf(dialog) == Message(0x10000014));
  HWND types = GetDlgItem(dialog, kFileTypes);
  std::vector<std::u16string> typeNames;
  const int count = static_cast<int>(SendMessageW(types, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char16_t name[128] = {};
    SendMessageW(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name));
    typeNames.emplace_back(name);
  }
  CHECK((typeNames == std::vector<std::u16string>{u"xml Files(*.xml)", u"csv Files(*.csv)"}));
  CHECK(SendMessageW(types, CB_GETCURSEL, 0, 0) == 0);
  CHECK(!IsWindowVisible(GetDlgItem(dialog, kPrintToFile)));  // the read-only box shares its id
  SetDlgItemTextA(dialog, kFileNameBox, dosPath.c_str());
  SetDlgItemTextA(dialog, kFileNameEdit, dosPath.c_str());
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return dialog;
}

// Saves and waits until the program is done; the messages it showed.
std::vector<std::string> SaveAndWait(OrlaSession& orla, const std::string& dosPath) {
  HWND dialog = SaveAs(orla, dosPath);
  if (dialog != nullptr) CHECK(OrlaSession::WaitUntilClosed(dialog));
  CHECK(orla.WaitUntilIdle());
  return orla.TakeMessages();
}

void CheckSavedXml(const std::string& unixPath, const std::vector<const PatternRecord*>& pages) {
  const std::string saved = ReadFile(unixPath.c_str());
  CHECK(saved == *orla::BuildResultsXml(Recorded(pages), AsciiToUtf8));
  CHECK(ReadWith(std::string(ORLA_XMLLINT) + " --noout '" + unixPath + "'").empty());
  const std::string pagesCounted = ReadWith(std::string(ORLA_XMLLINT) + " --xpath 'count(/*/*)' '" + unixPath + "'");
  CHECK(pagesCounted == std::to_string(pages.size()) + "\n");
  const std::string ns = "{http://www.lumaro.com/Lumaro/DocumentZiviDuzuzing}";
  std::string expected = ns + "DocumentZiviDuzuzing\n" +
                         "http://www.lumaro.com/Lumaro/DocumentZiviDuzuzing C:\\Users\\UserName\\XMLSAM~1.XSD\n";
  for (std::size_t i = 0; i < pages.size(); ++i) {
    expected += ns + "Page" + std::to_string(i + 1);
    const std::vector<std::string> texts = Shown(pages[i]);
    for (std::size_t f = 0; f < texts.size(); ++f) {
      expected += "\t" + ns + std::string(orla::kResultFieldNames[f]) + "\t" + texts[f];
    }
    expected += "\n";
  }
  const std::string read =
      ReadWith(std::string(ORLA_PYTHON3) + " " + ORLA_READ_RESULTS_PY + " xml '" + unixPath + "'");
  CHECK(read == expected);
  if (read != expected) std::printf("  Python read:\n%s  expected:\n%s", read.c_str(), expected.c_str());
}

void CheckSavedCsv(const std::string& unixPath, const std::vector<const PatternRecord*>& pages) {
  CHECK(ReadFile(unixPath.c_str()) == orla::BuildResultsCsv(Recorded(pages)));
  std::string expected = "TimeStamp\tSerialNumber\tMACAddress\tUserName\tJobName\tDescription\n";
  for (const PatternRecord* page : pages) {
    const std::vector<std::string> texts = Shown(page);
    for (std::size_t f = 0; f < texts.size(); ++f) expected += (f == 0 ? "" : "\t") + texts[f];
    expected += "\n";
  }
  const std::string read =
      ReadWith(std::string(ORLA_PYTHON3) + " " + ORLA_READ_RESULTS_PY + " csv '" + unixPath + "'");
  CHECK(read == expected);
  if (read != expected) std::printf("  Python read:\n%s  expected:\n%s", read.c_str(), expected.c_str());
}

// Save As after a run of three pattern writer pages, the middle one without a result: XML
// (the name typed without an extension gets one from the dialog) and CSV, each read back by
// xmllint and Python; the question before a renamed file replaces an existing one, which names
// that file, answered No and Yes; a file held open by another program, which cannot be replaced: message 27 and
// the old file kept. No temporary file is left behind.
void TestSaveAs() {
  const std::string folder = g_folder + "/saved";
  const std::string folderDos = g_folderDos + "\\saved\\";
  CreateDirectoryA(folderDos.c_str(), nullptr);
  const PatternRecord first = MakeRecord(21), third = MakeRecord(23);
  const GreyPage page = PatternPage(first);
  const std::vector<GreyPage> tiffPages{page, BlankLike(page), PatternPage(third)};
  CHECK(orla::pattern::WriteTiffFile(tiffPages, g_folder + "/saved.tif"));
  const std::vector<const PatternRecord*> pages{&first, nullptr, &third};

  OrlaSession orla(g_program);
  CHECK(orla.started());
  if (!orla.started()) return;
  CHECK(TrackFile(orla, g_folderDos + "\\saved.tif") == std::vector<std::string>{Message(0x1000001E)});
  ExpectPage(orla, 1, pages, "saved");

  CHECK(SaveAndWait(orla, folderDos + "results").empty());
  CheckSavedXml(folder + "/results.xml", pages);
  CHECK(SaveAndWait(orla, folderDos + "results.csv").empty());
  CheckSavedCsv(folder + "/results.csv", pages);

  // results.txt would become results.xml, which exists: the program asks first, naming the
  // file that would be replaced.
  std::ofstream(folder + "/results.xml", std::ios::binary | std::ios::trunc) << "old";
  const std::string question = "results.xml\n\n" + Message(0x10000025);
  for (const int answer : {IDNO, IDYES}) {
    HWND dialog = SaveAs(orla, folderDos + "results.txt");
    CHECK(orla.AnswerMessageBox(answer) == question);
    if (dialog != nullptr) CHECK(OrlaSession::WaitUntilClosed(dialog));
    CHECK(orla.WaitUntilIdle());
    CHECK(orla.TakeMessages().empty());
    if (answer == IDNO) CHECK(ReadFile((folder + "/results.xml").c_str()) == "old");
  }
  CheckSavedXml(folder + "/results.xml", pages);

  // Another program holds the file open: the save dialog's own question is answered Yes, the
  // replace fails, the operator is told, and the old text stays.
  std::ofstream(folder + "/held.csv", std::ios::binary) << "old";
  HANDLE held = CreateFileA((folderDos + "held.csv").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  CHECK(held != INVALID_HANDLE_VALUE);
  HWND dialog = SaveAs(orla, folderDos + "held.csv");
  CHECK(orla.AnswerMessageBox(IDYES) != "<no message box>");
  if (dialog != nullptr) CHECK(OrlaSession::WaitUntilClosed(dialog));
  CHECK(orla.AnswerMessageBox(IDOK) == Message(0x10000024));
  CHECK(orla.WaitUntilIdle());
  CloseHandle(held);
  CHECK(ReadFile((folder + "/held.csv").c_str()) == "old");

  const std::vector<std::string> names = orla::test::FolderEntries(folderDos);
  CHECK((names == std::vector<std::string>{"held.csv", "results.csv", "results.xml"}));
  if (names.size() != 3) {
    for (const auto& name : names) std::printf("  saved folder holds %s\n", name.c_str());
  }
  CHECK(orla.Close() == 0);
}

// The File menu chosen from the keyboard, as an operator would: its item's mnemonic opens the
// common dialog only while the menu's rule enables the item. True when a dialog with the
// control `controlId` came (it is cancelled). The item's key closes the menu whether the item
// is enabled or not, and an enabled item has posted its command by then: once the program has
// taken that, its dialog is up (disabling the main dialog), or none will come.
bool ChooseFromFileMenu(OrlaSession& orla, char mnemonic, int controlId, bool expected) {
  CHECK(orla.WaitUntilIdle());
  SetForegroundWindow(orla.dialog());
  CHECK(PressKeys("alt+f"));
  CHECK(orla.WaitForMenu(true));
  CHECK(PressKeys(std::string(1, mnemonic)));
  CHECK(orla.WaitForMenu(false));
  CHECK(orla.WaitUntilPostedTaken());
  // A first print dialog may take long to come.
  HWND dialog = expected ? orla.WaitForDialogWith(controlId, 30000) : orla.FindDialogWith(controlId);
  if (!expected) CHECK(dialog == nullptr && IsWindowEnabled(orla.dialog()));
  if (dialog != nullptr) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    CHECK(OrlaSession::WaitUntilClosed(dialog));
  }
  return dialog != nullptr;
}

// The about box shows the program's version with its trailing blank and closes with OK; the
// File menu's items follow their rules; Print cancelled prints nothing and changes nothing.
void TestFileMenuAndAboutBox() {
  OrlaSession orla(g_program);
  CHECK(orla.started());
  if (!orla.started()) return;

  orla.Click(IDC_BTN_VERSION);
  HWND about = orla.WaitForDialogWith(IDC_VERSION_TEXT);
  CHECK(about != nullptr);
  if (about != nullptr) {
    CHECK(WindowTextOf(about) == "Version Information");
    CHECK(WindowTextOf(GetDlgItem(about, IDC_VERSION_TEXT)) == "1.0.0.12 ");
    CHECK(GetWindow(about, GW_OWNER) == orla.dialog());
    CHECK(!IsWindowEnabled(orla.dialog()));
    PostMessageW(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    CHECK(OrlaSession::WaitUntilClosed(about));
  }
  CHECK(orla.WaitUntilIdle());
  CHECK(orla.TakeMessages().empty());

  // The menu's rules: nothing to save or print before a page has a result.
  CHECK(!ChooseFromFileMenu(orla, 's', kFileNameBox, false));
  const PatternRecord record = MakeRecord(31);
  const GreyPage page = PatternPage(record);
  CHECK(orla::pattern::WriteBmpFile(BlankLike(page), g_folder + "/menu_blank.bmp"));
  CHECK(orla::pattern::WriteBmpFile(page, g_folder + "/menu_found.bmp"));
  CHECK(TrackFile(orla, g_folderDos + "\\menu_blank.bmp") == std::vector<std::string>{Message(0x1000001E)});
  CHECK(!ChooseFromFileMenu(orla, 's', kFileNameBox, false));
  CHECK(!ChooseFromFileMenu(orla, 'p', IDOK, false));
  CHECK(TrackFile(orla, g_folderDos + "\\menu_found.bmp").empty());
  CHECK(ChooseFromFileMenu(orla, 's', kFileNameBox, true));
  // The print dialog, or with no printer Wine's notice that there is none, cancelled: nothing
  // is printed, nothing said, nothing changed.
  CHECK(ChooseFromFileMenu(orla, 'p', IDOK, true));
  CHECK(orla.WaitUntilIdle());
  CHECK(orla.TakeMessages().empty());
  ExpectPage(orla, 1, {&record}, "after Print");
  CHECK(orla.Close() == 0);
}


// The print dialog's chosen printer, after choosing `name` in its list when it is not empty.
std::u16string PrinterChosen(HWND dialog, const std::u16string& name = {}) {
  HWND printers = GetDlgItem(dialog, kPrinterNames);
  if (!name.empty()) {
    SendMessageW(printers, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kPrinterNames, CBN_SELCHANGE), reinterpret_cast<LPARAM>(printers));
  }
  char16_t chosen[256] = {};
  const LRESULT index = SendMessageW(printers, CB_GETCURSEL, 0, 0);
  if (index >= 0) SendMessageW(printers, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(chosen));
  return chosen;
}

// The text pdftotext reads from `pdf`, its words joined by single blanks: where a gap on the
// sheet becomes a line break is pdftotext's choice.
std::string PdfWords(const std::string& pdf) {
  std::istringstream text(ReadWith(std::string(ORLA_PDFTOTEXT) + " '" + pdf + "' -"));
  std::string words;
  for (std::string word; text >> word;) words += (words.empty() ? "" : " ") + word;
  return words;
}

// How many jobs the private scheduler took for `printer`, from its log.
int JobsQueuedOn(const char* log, const std::string& printer) {
  std::istringstream lines(ReadFile(log));
  int jobs = 0;
  for (std::string line; std::getline(lines, line);) {
    jobs += line.find("Queued on \"" + printer + "\"") != std::string::npos ? 1 : 0;
  }
  return jobs;
}

// Print through the CUPS scheduler that with_private_cups.sh started for this run, on a real
// printer context of Wine's PostScript driver. The print dialog cancelled prints nothing. Page
// 3 of a three-page run goes to the PDF printer and pdftotext reads the sheet back: header
// with the print time, the six labels as shown, each followed by its value, and the footer
// with the number of the page shown. A printer that refuses the document gets message 29 and
// prints nothing. The scheduler saw one job in all.
void TestPrintThroughCups() {
  const char* pdf = std::getenv("ORLA_TEST_PRINT_PDF");
  const char* log = std::getenv("ORLA_TEST_CUPS_LOG");
  CHECK(pdf != nullptr && log != nullptr && std::getenv("CUPS_SERVER") != nullptr);
  if (pdf == nullptr || log == nullptr) return;
  const PatternRecord first = MakeRecord(41), shown = MakeRecord(43);
  const GreyPage page = PatternPage(first);
  const std::vector<GreyPage> tiffPages{page, BlankLike(page), PatternPage(shown)};
  CHECK(orla::pattern::WriteTiffFile(tiffPages, g_folder + "/printed.tif"));

  OrlaSession orla(g_program);
  CHECK(orla.started());
  if (!orla.started()) return;
  CHECK(TrackFile(orla, g_folderDos + "\\printed.tif").size() == 1);
  orla.Click(IDC_BTN_LAST_PAGE);
  orla.WaitUntilIdle();
  ExpectPage(orla, 3, {&first, nullptr, &shown}, "to print");

  orla.Command(ID_FILE_PRINT);
  HWND dialog = orla.WaitForDialogWith(kPrinterNames);
  CHECK(dialog != nullptr);
  if (dialog == nullptr) return;
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  CHECK(OrlaSession::WaitUntilClosed(dialog));
  CHECK(orla.WaitUntilIdle());
  CHECK(orla.TakeMessages().empty());
  ExpectPage(orla, 3, {&first, nullptr, &shown}, "print cancelled");

  orla.Command(ID_FILE_PRINT);
  dialog = orla.WaitForDialogWith(kPrinterNames);
  CHECK(dialog != nullptr);
  if (dialog == nullptr) return;
  CHECK(PrinterChosen(dialog) == u"OrlaPdf");
  CHECK(!IsWindowVisible(GetDlgItem(dialog, kPrintToFile)));
  CHECK(!IsWindowVisible(GetDlgItem(dialog, kHelpButton)));
  const std::int64_t before = std::time(nullptr);
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  CHECK(OrlaSession::WaitUntilClosed(dialog));
  CHECK(orla.WaitUntilIdle());
  CHECK(orla.TakeMessages().empty());
  const std::int64_t after = std::time(nullptr);

  bool printed = false;
  for (int i = 0; i < 600 && !printed; ++i) {
    printed = GetFileAttributesA(DosPath(pdf).c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!printed) Sleep(100);
  }
  CHECK(printed);
  const std::string read = printed ? PdfWords(pdf) : std::string();
  // The sheet as the page showed it ("&&" of a label as "&"), the header's time between the
  // command and its end.
  std::string body;
  const std::vector<std::string> values = Shown(&shown);
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::string label = Narrow(English(0x02000007 + static_cast<std::uint32_t>(i)));
    if (const auto at = label.find("&&"); at != std::string::npos) label.erase(at, 1);
    body += " " + label + " " + values[i];
  }
  body += " Page 3";
  bool same = false;
  for (std::int64_t t = before; t <= after && !same; ++t) {
    same = read == Narrow(English(0x10000013)) + " " + FormatRecordTime(t).substr(3) + body;
  }
  CHECK(same);
  if (!same) std::printf("  pdftotext read [%s]\n  the sheet ends [%s]\n", read.c_str(), body.c_str());

  // The refusing printer: the operator is told.
  orla.Command(ID_FILE_PRINT);
  dialog = orla.WaitForDialogWith(kPrinterNames);
  CHECK(dialog != nullptr);
  if (dialog == nullptr) return;
  CHECK(PrinterChosen(dialog, u"OrlaRefusing") == u"OrlaRefusing");
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  CHECK(OrlaSession::WaitUntilClosed(dialog));
  CHECK(orla.AnswerMessageBox(IDOK) == Message(0x10000026));
  CHECK(orla.WaitUntilIdle());
  const std::string refused = std::string(pdf).substr(0, std::string(pdf).rfind('/')) + "/refused.pdf";
  CHECK(GetFileAttributesA(DosPath(refused).c_str()) == INVALID_FILE_ATTRIBUTES);
  ExpectPage(orla, 3, {&first, nullptr, &shown}, "after printing");
  CHECK(orla.Close() == 0);
  CHECK(JobsQueuedOn(log, "OrlaPdf") == 1);
  CHECK(JobsQueuedOn(log, "OrlaRefusing") == 0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("usage: orla_end_to_end_test <orla.exe.so> <English.lan> [--scanner] [--screenshot <file.png>] "
                "[--print-through-cups]\n");
    return 2;
  }
  g_programUnix = argv[1];
  g_program = DosPath(argv[1]);
  CHECK(orla::LoadLanguageBytes(ReadFile(argv[2]), g_english));
  const char* screenshot = nullptr;
  bool scanner = false;
  bool printThroughCups = false;
  for (int i = 3; i < argc; ++i) {
    if (std::string(argv[i]) == "--screenshot" && i + 1 < argc) screenshot = argv[++i];
    if (std::string(argv[i]) == "--scanner") scanner = true;
    if (std::string(argv[i]) == "--print-through-cups") printThroughCups = true;
  }
  char folder[] = "/tmp/orla_e2e_XXXXXX";
  CHECK(mkdtemp(folder) != nullptr);
  g_folder = folder;
  g_folderDos = DosPath(g_folder);
  if (printThroughCups) {
    TestPrintThroughCups();
    std::system(("rm -rf '" + g_folder + "'").c_str());
    return wine_check::Finish("orla_print_through_cups");
  }

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
  TestKeyboard();
  TestHelp();
  TestSaveAs();
  TestFileMenuAndAboutBox();
  std::system(("rm -rf '" + g_folder + "'").c_str());
  return wine_check::Finish("orla_end_to_end");
}
