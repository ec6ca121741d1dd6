// Help under Wine when the desktop cannot show the help's pages, driven from another process:
// a browser stand-in that fails as xdg-open does (exit code 4) and a desktop without xdg-open.
// Either way ORLA says that the pages could not be opened and where they are; the failing
// stand-in was asked for the start page first. The Help button and F1 alike. A browser that
// fails while the about box is up is told of once the about box is closed.
//
// Usage: orla_help_failure_test <orla.exe.so> <English.lan> <folder of the failing xdg-open>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "orla_session.h"
#include "orla_test_program.h"
#include "resource.h"
#include "wine_check.h"

namespace {

using orla::test::OrlaSession;

orla::test::LanguageTexts g_english;

std::vector<std::string> Lines(const std::string& text) {
  std::istringstream lines(text);
  std::vector<std::string> out;
  for (std::string line; std::getline(lines, line);) out.push_back(line);
  return out;
}

// Waits for the first message ORLA shows after the handler has returned (the browser fails
// later), then until it is idle; the messages shown until then.
std::vector<std::string> WaitForMessages(OrlaSession& orla) {
  std::vector<std::string> shown;
  CHECK(orla.WaitUntil([&] {
    for (std::string& m : orla.TakeMessages()) shown.push_back(std::move(m));
    return !shown.empty();
  }, 20000));
  CHECK(orla.WaitUntilIdle());
  return shown;
}

// ORLA started with `path` as the search path of its Unix side, where the desktop's opener is
// looked for. Wine hands its Unix processes the Unix environment of the process that starts
// them, so the C library's is set while ORLA starts.
struct Desktop {
  const char* what;
  std::string path;
  bool opener;  // the opener is there and records what it was asked
};

void TestHelpNotOpened(const std::string& program, const std::string& programUnix, const Desktop& desktop,
                       const std::string& browserLog) {
  std::printf("desktop: %s\n", desktop.what);
  std::remove(browserLog.c_str());
  const std::string startPage = programUnix.substr(0, programUnix.rfind('/') + 1) + "Dravo_Marrowfind/index.html";
  CHECK(GetFileAttributesA(orla::test::DosPath(startPage).c_str()) != INVALID_FILE_ATTRIBUTES);
  const std::string told = g_english(0x10000028) + "\n\n" + startPage;

  const std::string savedPath = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
  setenv("PATH", desktop.path.c_str(), 1);
  setenv("ORLA_TEST_BROWSER_LOG", browserLog.c_str(), 1);
  OrlaSession orla(program);
  setenv("PATH", savedPath.c_str(), 1);
  CHECK(orla.started());
  if (!orla.started()) return;

  orla.Click(IDC_BTN_HELP);
  const std::vector<std::string> shown = WaitForMessages(orla);
  CHECK(shown == std::vector<std::string>{told});
  if (shown.size() != 1 || shown[0] != told) {
    for (const std::string& m : shown) std::printf("  shown [%s]\n", m.c_str());
  }
  // F1, pressed on the keyboard while the dialog has the focus.
  SetForegroundWindow(orla.dialog());
  CHECK(orla::test::PressKeys("F1"));
  CHECK(WaitForMessages(orla) == std::vector<std::string>{told});
  CHECK(IsWindow(orla.dialog()));
  CHECK(orla.Close() == 0);

  const std::vector<std::string> asked = Lines(orla::test::ReadFile(browserLog));
  const std::vector<std::string> expected(desktop.opener ? 2 : 0, "file://" + startPage);
  CHECK(asked == expected);
  if (asked != expected) {
    for (const std::string& page : asked) std::printf("  browser asked for %s\n", page.c_str());
  }
  unsetenv("ORLA_TEST_BROWSER_LOG");
}

struct DialogSearch {
  DWORD process;
  HWND dialog;
  int count;
};

BOOL CALLBACK CountOtherDialog(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<DialogSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (owner == search->process && window != search->dialog && IsWindowVisible(window) &&
      std::string(name) == "#32770") {
    ++search->count;
  }
  return TRUE;
}

// The dialogs of the process other than the main dialog that are up (message boxes among them).
int OtherDialogsUp(const OrlaSession& orla) {
  DialogSearch search{orla.processId(), orla.dialog(), 0};
  EnumWindows(CountOtherDialog, reinterpret_cast<LPARAM>(&search));
  return search.count;
}

// A browser that fails while the about box is up: the message waits until the about box is
// closed, and does not come over it.
void TestReportWaitsForTheAboutBox(const std::string& program, const std::string& programUnix,
                                   const std::string& failingPath) {
  const std::string startPage = programUnix.substr(0, programUnix.rfind('/') + 1) + "Dravo_Marrowfind/index.html";
  const std::string savedPath = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
  setenv("PATH", failingPath.c_str(), 1);
  setenv("ORLA_TEST_BROWSER_DELAY", "2", 1);
  OrlaSession orla(program);
  setenv("PATH", savedPath.c_str(), 1);
  unsetenv("ORLA_TEST_BROWSER_DELAY");
  CHECK(orla.started());
  if (!orla.started()) return;

  orla.Click(IDC_BTN_HELP);
  CHECK(orla.WaitUntilIdle());
  CHECK(orla.TakeMessages().empty());
  orla.Click(IDC_BTN_VERSION);
  HWND about = orla.WaitForDialogWith(IDC_VERSION_TEXT);
  CHECK(about != nullptr);
  if (about == nullptr) return;
  // Long enough for the browser to have failed and ORLA to have seen it.
  Sleep(4000);
  CHECK(OtherDialogsUp(orla) == 1);
  PostMessageW(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
  CHECK(OrlaSession::WaitUntilClosed(about));
  CHECK(WaitForMessages(orla) == std::vector<std::string>{g_english(0x10000028) + "\n\n" + startPage});
  CHECK(orla.Close() == 0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::printf("usage: orla_help_failure_test <orla.exe.so> <English.lan> <folder of the failing xdg-open>\n");
    return 2;
  }
  CHECK(g_english.Load(argv[2]));
  char folder[] = "/tmp/orla_help_failure_XXXXXX";
  CHECK(mkdtemp(folder) != nullptr);
  const std::string empty = std::string(folder) + "/no_opener";
  CHECK(CreateDirectoryA(orla::test::DosPath(empty).c_str(), nullptr) != FALSE);
  const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
  const std::string program = orla::test::DosPath(argv[1]);
  const std::string browserLog = std::string(folder) + "/browser.log";

  const Desktop desktops[] = {
      {"a browser that fails", std::string(argv[3]) + ":" + path, true},
      {"no xdg-open", empty, false},
  };
  for (const Desktop& desktop : desktops) TestHelpNotOpened(program, argv[1], desktop, browserLog);
  TestReportWaitsForTheAboutBox(program, argv[1], desktops[0].path);
  std::system(("rm -rf '" + std::string(folder) + "'").c_str());
  return wine_check::Finish("orla_help_failure");
}
