// The keyboard focus in ORLA's main dialog under Wine, driven from another process: a control
// that disables itself (Next or Last on the last page, Previous or First on the first, Clear)
// or the end of a file run never leaves the dialog without a focused control, so Enter keeps
// working: typed through the X server, it starts a run on Track and shows the typed page in the
// page field.
//
// Usage: orla_focus_test <orla.exe.so> <English.lan>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "orla_session.h"
#include "orla_test_program.h"
#include "pattern_writer.h"
#include "resource.h"
#include "wine_check.h"

namespace {

using orla::pattern::GreyPage;
using orla::test::OrlaSession;

orla::test::LanguageTexts g_english;

// The control id of the focused window, 0 for none, -1 for the dialog itself and -2 for any
// other window.
int FocusedId(const OrlaSession& orla) {
  HWND focus = orla.Focus();
  if (focus == nullptr) return 0;
  if (focus == orla.dialog()) return -1;
  if (GetParent(focus) != orla.dialog()) return -2;
  return GetDlgCtrlID(focus);
}

void ExpectFocus(const OrlaSession& orla, int id, const char* after) {
  const int focused = FocusedId(orla);
  CHECK(focused == id);
  if (focused != id) std::printf("  after %s the focus is on %d, not %d\n", after, focused, id);
  CHECK(orla.Enabled(id));
}

void ClickAndWait(OrlaSession& orla, int id) {
  orla.Click(id);
  CHECK(orla.WaitUntilIdle());
}

// Enter typed on the keyboard, and the message of the run it started: each run of the file has
// one page without a pattern.
void ExpectEnterStartsARun(OrlaSession& orla, const std::string& nothingFound) {
  SetForegroundWindow(orla.dialog());
  CHECK(orla::test::PressKeys("Return"));
  std::vector<std::string> shown;
  CHECK(orla.WaitUntil([&] {
    for (std::string& m : orla.TakeMessages()) shown.push_back(std::move(m));
    return !shown.empty();
  }));
  CHECK(orla.WaitUntilIdle());
  CHECK(shown == std::vector<std::string>{nothingFound});
  CHECK(orla.TextA(IDC_EDIT_PAGE) == "1/3");
}

// Enter typed in the page field, which has the focus: the typed page is shown.
void ExpectEnterShowsTypedPage(OrlaSession& orla, const std::string& page) {
  orla.Type(IDC_EDIT_PAGE, page);
  SetForegroundWindow(orla.dialog());
  CHECK(orla::test::PressKeys("Return"));
  const std::string shown = page + "/3";
  CHECK(orla.WaitUntil([&] { return orla.TextA(IDC_EDIT_PAGE) == shown; }, 20000));
}

void TestFocus(const std::string& program, const std::string& folder) {
  orla::pattern::PatternOptions options;
  const auto made = orla::pattern::MakePatternPage({}, options);
  CHECK(made.ok());
  GreyPage blank = made.page;
  std::fill(blank.pixels.begin(), blank.pixels.end(), std::uint8_t{255});
  const std::vector<GreyPage> pages{made.page, blank, made.page};
  CHECK(orla::pattern::WriteTiffFile(pages, folder + "/focus.tif"));
  const std::string nothingFound = g_english(0x1000001E);

  OrlaSession orla(program);
  CHECK(orla.started());
  if (!orla.started()) return;

  // A run started from the keyboard: Enter in the path field moves to Track, Enter on Track
  // starts. When it ends, Track has the focus again.
  ClickAndWait(orla, IDC_RADIO_FILE);
  orla.Type(IDC_EDIT_FILE_PATH, orla::test::DosPath(folder + "/focus.tif"));
  orla.PressEnter(IDC_EDIT_FILE_PATH);
  ExpectFocus(orla, IDC_BTN_TRACK, "Enter in the path field");
  ExpectEnterStartsARun(orla, nothingFound);
  ExpectFocus(orla, IDC_BTN_TRACK, "a run started by Enter");
  // A run started with the mouse ends on Track too.
  ClickAndWait(orla, IDC_BTN_TRACK);
  CHECK(orla.TakeMessages() == std::vector<std::string>{nothingFound});
  ExpectFocus(orla, IDC_BTN_TRACK, "a run started by a click");

  // A page button that disables itself hands the focus to the page field.
  ClickAndWait(orla, IDC_BTN_NEXT_PAGE);
  CHECK(orla.TextA(IDC_EDIT_PAGE) == "2/3");
  ExpectFocus(orla, IDC_BTN_NEXT_PAGE, "Next on page 1");
  ClickAndWait(orla, IDC_BTN_NEXT_PAGE);
  CHECK(orla.TextA(IDC_EDIT_PAGE) == "3/3");
  ExpectFocus(orla, IDC_EDIT_PAGE, "Next to the last page");
  ExpectEnterShowsTypedPage(orla, "2");
  ClickAndWait(orla, IDC_BTN_PREV_PAGE);
  CHECK(orla.TextA(IDC_EDIT_PAGE) == "1/3");
  ExpectFocus(orla, IDC_EDIT_PAGE, "Previous to the first page");
  ExpectEnterShowsTypedPage(orla, "3");
  ClickAndWait(orla, IDC_BTN_FIRST_PAGE);
  ExpectFocus(orla, IDC_EDIT_PAGE, "First");
  ClickAndWait(orla, IDC_BTN_LAST_PAGE);
  ExpectFocus(orla, IDC_EDIT_PAGE, "Last");
  ExpectEnterShowsTypedPage(orla, "1");

  // Clear disables itself, the page field and the page buttons: Track takes the focus.
  ClickAndWait(orla, IDC_BTN_CLEAR);
  CHECK(orla.TextA(IDC_EDIT_PAGE) == "1/1");
  ExpectFocus(orla, IDC_BTN_TRACK, "Clear");
  ExpectEnterStartsARun(orla, nothingFound);
  CHECK(orla.Close() == 0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("usage: orla_focus_test <orla.exe.so> <English.lan>\n");
    return 2;
  }
  CHECK(g_english.Load(argv[2]));
  char folder[] = "/tmp/orla_focus_XXXXXX";
  CHECK(mkdtemp(folder) != nullptr);
  TestFocus(orla::test::DosPath(argv[1]), folder);
  std::system(("rm -rf '" + std::string(folder) + "'").c_str());
  return wine_check::Finish("orla_focus");
}
