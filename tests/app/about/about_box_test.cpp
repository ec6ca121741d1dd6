// The about box on ORLA's own resources under Wine: template 104 owned by the main window,
// which it disables while it runs, the version 1.0.0.12 of the program's version resource
// with its trailing blank, and the three ways to end it (OK, Esc, the close box).

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

#include "about/dlg_version_inf.h"
#include "framework.h"
#include "resource.h"
#include "wine_check.h"

namespace {

CWinApp theApp;

std::string TextOf(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

struct Seen {
  bool found = false;
  HWND owner = nullptr;
  bool ownerEnabled = true;
  std::string caption;
  std::string version;
  std::string label;
  bool okIsDefault = false;
  RECT client{};
  RECT templateSize{};
};

Seen g_seen;
std::function<void(HWND)> g_end;
CDlgVersionInf* g_about = nullptr;
int g_ticks = 0;

// The about box of this thread: the visible dialog with the version control.
BOOL CALLBACK FindAboutBox(HWND window, LPARAM found) {
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::string(name) != "#32770" || !IsWindowVisible(window) || GetDlgItem(window, IDC_VERSION_TEXT) == nullptr) {
    return TRUE;
  }
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

void Inspect(HWND window) {
  g_seen.found = true;
  g_seen.owner = GetWindow(window, GW_OWNER);
  g_seen.ownerEnabled = g_seen.owner != nullptr && IsWindowEnabled(g_seen.owner);
  g_seen.caption = TextOf(window);
  g_seen.version = TextOf(GetDlgItem(window, IDC_VERSION_TEXT));
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (GetDlgCtrlID(child) == IDC_STATIC && g_seen.label.empty()) g_seen.label = TextOf(child);
  }
  g_seen.okIsDefault = LOWORD(SendMessageW(window, DM_GETDEFID, 0, 0)) == IDOK;
  GetClientRect(window, &g_seen.client);
  g_seen.templateSize = {0, 0, 250, 73};
  MapDialogRect(window, &g_seen.templateSize);
}

// Runs inside the about box's modal loop until the box shows; ends a box that never does, so
// the test fails instead of hanging.
void CALLBACK LookAtAboutBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindAboutBox, reinterpret_cast<LPARAM>(&box));
  if (box != nullptr) {
    KillTimer(nullptr, timer);
    Inspect(box);
    g_end(box);
  } else if (++g_ticks > 300) {
    KillTimer(nullptr, timer);
    g_about->EndDialog(-2);
  }
}

void TestAboutBox() {
  CDialog mainDialog(IDD_ORLA_DIALOG);
  CHECK(mainDialog.Create(IDD_ORLA_DIALOG));
  mainDialog.ShowWindow(SW_SHOW);
  theApp.m_pMainWnd = &mainDialog;

  const struct {
    const char* how;
    std::function<void(HWND)> end;
    INT_PTR result;
  } endings[] = {
      {"OK", [](HWND box) { PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0); }, IDOK},
      {"Esc", [](HWND box) { PostMessageW(GetDlgItem(box, IDOK), WM_KEYDOWN, VK_ESCAPE, 1); }, IDCANCEL},
      {"close box", [](HWND box) { PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
  };
  for (const auto& ending : endings) {
    g_seen = Seen{};
    g_end = ending.end;
    g_ticks = 0;
    CDlgVersionInf about;
    g_about = &about;
    SetTimer(nullptr, 0, 100, LookAtAboutBox);
    const INT_PTR result = about.DoModal();
    CHECK(result == ending.result);
    if (result != ending.result) std::printf("  ended by %s: %d\n", ending.how, static_cast<int>(result));
    CHECK(g_seen.found);
    CHECK(about.m_hWnd == nullptr);
    CHECK(mainDialog.IsWindowEnabled());
  }

  // What the box showed (the last run; every run reads the same resources).
  CHECK(g_seen.owner == mainDialog.m_hWnd);
  CHECK(!g_seen.ownerEnabled);
  CHECK(g_seen.caption == "Version Information");
  CHECK(g_seen.version == "1.0.0.12 ");
  CHECK(g_seen.label == "Version:");
  CHECK(g_seen.okIsDefault);
  CHECK(g_seen.client.right == g_seen.templateSize.right && g_seen.client.bottom == g_seen.templateSize.bottom);
  if (g_seen.version != "1.0.0.12 ") std::printf("  version shown: [%s]\n", g_seen.version.c_str());

  theApp.m_pMainWnd = nullptr;
  mainDialog.DestroyWindow();
}

}  // namespace

int main() {
  TestAboutBox();
  return wine_check::Finish("about_box_test");
}
