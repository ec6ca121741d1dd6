// WatchScroll from the real Trellum.dll against Wine's own installer: each case opens a test
// package, shows its real licence dialog on a UI thread (MsiDoAction) and runs the watch on a
// worker thread, as the installer does, then scrolls, keys and closes the way a user would.
// Wine's installer shows its dialogs once per process (a second MsiDoAction of a dialog, even
// in a new session, fails with ERROR_FUNCTION_NOT_CALLED), so each run takes one case.
// Usage: trellum_watch_tests <Trellum.dll> <folder of test packages> <case id>
#include <windows.h>
#include <msi.h>
#include <msiquery.h>
#include <richedit.h>

#include <functional>
#include <string>
#include <vector>

#include "check.h"

namespace {

using WatchScrollEntry = UINT(__stdcall*)(MSIHANDLE);
WatchScrollEntry g_watchScroll = nullptr;
std::wstring g_packages;

constexpr UINT kMarker = WM_APP + 0x51;
HANDLE g_markerSeen = nullptr;

class Thread {
 public:
  explicit Thread(std::function<void()> body) : body_(std::move(body)) {
    handle_ = CreateThread(nullptr, 0, &Thread::Main, this, 0, &id_);
  }
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;
  ~Thread() {
    if (handle_) {
      WaitForSingleObject(handle_, 10000);
      CloseHandle(handle_);
    }
  }
  bool Ended(DWORD milliseconds) const { return WaitForSingleObject(handle_, milliseconds) == WAIT_OBJECT_0; }

 private:
  static DWORD WINAPI Main(void* self) {
    static_cast<Thread*>(self)->body_();
    return 0;
  }
  std::function<void()> body_;
  HANDLE handle_ = nullptr;
  DWORD id_ = 0;
};

std::wstring Property(MSIHANDLE session, const wchar_t* name) {
  wchar_t value[256] = {};
  DWORD length = 256;
  MsiGetPropertyW(session, name, value, &length);
  return value;
}

bool HasProp(HWND window, const wchar_t* name) { return GetPropW(window, name) != nullptr; }

bool Watching(HWND dialog) {
  return HasProp(dialog, L"KIVREL_HOOK_PROCRET") && HasProp(dialog, L"KIVREL_HOOK_GETMSG");
}

bool AnyWatchProp(HWND dialog) {
  return HasProp(dialog, L"KIVREL_HOOK_PROCRET") || HasProp(dialog, L"KIVREL_HOOK_GETMSG") ||
         HasProp(dialog, L"KIVREL_LICVIEWED");
}

template <class Test>
bool WaitFor(Test test, DWORD milliseconds = 10000) {
  for (DWORD waited = 0; waited < milliseconds; waited += 20) {
    if (test()) return true;
    Sleep(20);
  }
  return test();
}

// Sees every message the dialog's thread takes from its queue, after the watch's own hook
// (installed later, so called first) has passed it on.
LRESULT CALLBACK MarkerHook(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && message->message == kMarker) SetEvent(g_markerSeen);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

class Package {
 public:
  explicit Package(const wchar_t* name) {
    const std::wstring path = g_packages + L"\\" + name + L".msi";
    opened_ = MsiOpenPackageW(path.c_str(), &session_) == ERROR_SUCCESS;
  }
  Package(const Package&) = delete;
  Package& operator=(const Package&) = delete;
  ~Package() {
    if (session_) MsiCloseHandle(session_);
  }
  bool opened() const { return opened_; }
  MSIHANDLE session() const { return session_; }

 private:
  MSIHANDLE session_ = 0;
  bool opened_ = false;
};

// Wine's own licence dialog, run modally by the installer on a thread of its own.
class LicenceDialog {
 public:
  explicit LicenceDialog(MSIHANDLE session)
      : ui_([this, session] { result_ = MsiDoActionW(session, L"LicenseAgreement"); }) {
    ready_ = WaitFor([this] { return Find(); });
    if (!ready_) std::printf("    no licence dialog came up (MsiDoAction: %u)\n", result_);
    if (ready_) {
      thread_ = GetWindowThreadProcessId(dialog, nullptr);
      marker_ = SetWindowsHookExW(WH_GETMESSAGE, MarkerHook, GetModuleHandleW(nullptr), thread_);
    }
  }
  LicenceDialog(const LicenceDialog&) = delete;
  LicenceDialog& operator=(const LicenceDialog&) = delete;
  ~LicenceDialog() { Close(); }

  bool ready() const { return ready_ && marker_; }

  // Waits until the dialog's thread has taken everything posted to it so far.
  bool Flush() {
    ResetEvent(g_markerSeen);
    PostMessageW(textBox, kMarker, 0, 0);
    return WaitForSingleObject(g_markerSeen, 5000) == WAIT_OBJECT_0;
  }

  bool Close() {
    if (IsWindow(cancel)) SendMessageW(cancel, BM_CLICK, 0, 0);
    const bool ended = ui_.Ended(10000);
    if (marker_) UnhookWindowsHookEx(marker_);
    marker_ = nullptr;
    return ended && result_ == ERROR_INSTALL_USEREXIT;
  }

  HWND dialog = nullptr, textBox = nullptr, next = nullptr, back = nullptr, cancel = nullptr,
       title = nullptr;

 private:
  bool Find() {
    dialog = FindWindowW(L"MsiDialogCloseClass", nullptr);
    if (!dialog || !IsWindowVisible(dialog)) return false;
    textBox = FindWindowExW(dialog, nullptr, L"RichEdit20W", nullptr);
    title = FindWindowExW(dialog, nullptr, L"Static", nullptr);
    cancel = FindWindowExW(dialog, nullptr, L"Button", L"Cancel");
    back = FindWindowExW(dialog, nullptr, L"Button", L"");
    next = nullptr;
    for (HWND child = FindWindowExW(dialog, nullptr, L"Button", nullptr); child;
         child = FindWindowExW(dialog, child, L"Button", nullptr)) {
      wchar_t text[2048] = {};
      GetWindowTextW(child, text, 2048);
      if (std::wstring(text).ends_with(L"Next")) next = child;
    }
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    return textBox && title && cancel && back && next && GetScrollInfo(textBox, SB_VERT, &info) &&
           info.nMax > 0;
  }

  Thread ui_;
  UINT result_ = 0;
  bool ready_ = false;
  DWORD thread_ = 0;
  HHOOK marker_ = nullptr;
};

// WatchScroll on a worker thread, as the installer runs it beside the dialog.
class Watch {
 public:
  explicit Watch(MSIHANDLE session) : worker_([this, session] { result_ = g_watchScroll(session); }) {}
  bool Ended(DWORD milliseconds = 5000) const { return worker_.Ended(milliseconds); }
  UINT result() const { return result_; }

 private:
  UINT result_ = 0xFFFFFFFF;
  Thread worker_;
};

enum class Action {
  kScrollBarToEnd,    // the scroll bar dragged to the bottom
  kScrollBarPage,     // one page down with the scroll bar
  kTextToEndQuietly,  // the text scrolled to its end without a scroll-bar message
  kKeyUp,             // a key released in the text box
  kChildDestroyed,    // a control of the dialog destroyed
  kDialogClosed,      // the user cancels the dialog
};

struct Step {
  Action action;
  bool watchGoesOn;
};

void Perform(LicenceDialog& dialog, Action action) {
  switch (action) {
    case Action::kScrollBarToEnd:
      SendMessageW(dialog.textBox, WM_VSCROLL, SB_BOTTOM, 0);
      break;
    case Action::kScrollBarPage:
      SendMessageW(dialog.textBox, WM_VSCROLL, SB_PAGEDOWN, 0);
      break;
    case Action::kTextToEndQuietly:
      for (int i = 0; i < 40; ++i) SendMessageW(dialog.textBox, EM_SCROLL, SB_PAGEDOWN, 0);
      break;
    case Action::kKeyUp:
      PostMessageW(dialog.textBox, WM_KEYUP, VK_NEXT, 0xC1510001);
      break;
    case Action::kChildDestroyed:
      SendMessageW(dialog.title, WM_CLOSE, 0, 0);
      break;
    case Action::kDialogClosed:
      dialog.Close();
      return;
  }
  CHECK(dialog.Flush());
}

// What a finished watch leaves: the dialog's properties gone, the watching flag removed, and
// LicenseViewed and the Next button as expected.
void CheckFinished(MSIHANDLE session, LicenceDialog& dialog, bool marked, bool nextEnabled) {
  CHECK(Property(session, L"KivrelLicenseWatching").empty());
  CHECK(Property(session, L"LicenseViewed") == (marked ? L"1" : L""));
  if (IsWindow(dialog.dialog)) {
    CHECK(!AnyWatchProp(dialog.dialog));
    CHECK(!!IsWindowEnabled(dialog.next) == nextEnabled);
    CHECK(!IsWindowEnabled(dialog.back));
  }
}

void RunSteps(LicenceDialog& dialog, Watch& watch, const std::vector<Step>& steps) {
  for (const auto& step : steps) {
    Perform(dialog, step.action);
    if (step.watchGoesOn) {
      CHECK(!watch.Ended(0));
      CHECK(Watching(dialog.dialog));
      CHECK(!HasProp(dialog.dialog, L"KIVREL_LICVIEWED"));
    } else {
      CHECK(watch.Ended());
    }
  }
}

struct WatchCase {
  const char* id;
  const char* name;
  const wchar_t* package;
  std::vector<Step> steps;
  bool marked;
  bool nextEnabled;
};

void RunWatchCase(const WatchCase& c) {
  Package package(c.package);
  if (!CHECK(package.opened())) return;
  LicenceDialog dialog(package.session());
  if (!CHECK(dialog.ready())) return;
  CHECK(!IsWindowEnabled(dialog.next));
  Watch watch(package.session());
  if (!CHECK(WaitFor([&] { return Watching(dialog.dialog); }))) return;
  CHECK(Property(package.session(), L"KivrelLicenseWatching") == L"1");
  RunSteps(dialog, watch, c.steps);
  CHECK(watch.Ended());
  CHECK(watch.result() == ERROR_SUCCESS);
  CheckFinished(package.session(), dialog, c.marked, c.nextEnabled);
  if (IsWindow(dialog.dialog)) CHECK(dialog.Close());
}

constexpr bool goesOn = true, stops = false;
const WatchCase kWatchCases[] = {
      {"scroll_end", "scroll bar to the end", L"licence", {{Action::kScrollBarToEnd, stops}}, true, true},
      {"keyup_top_then_end", "key-up at the top, then at the end", L"licence",
       {{Action::kKeyUp, goesOn}, {Action::kTextToEndQuietly, goesOn}, {Action::kKeyUp, stops}},
       true, true},
      {"page_then_keyup_end", "one page down, then a key-up at the end", L"licence",
       {{Action::kScrollBarPage, goesOn}, {Action::kTextToEndQuietly, goesOn}, {Action::kKeyUp, stops}},
       true, true},
      {"child_destroyed", "a control destroyed", L"licence", {{Action::kKeyUp, goesOn}, {Action::kChildDestroyed, stops}},
       false, false},
      {"dialog_cancelled", "the dialog cancelled", L"licence", {{Action::kDialogClosed, stops}}, false, false},
      {"condition_false", "enable condition false", L"never", {{Action::kScrollBarToEnd, stops}}, true, false},
      {"styled_next", "Next text with a style prefix", L"styled", {{Action::kScrollBarToEnd, stops}}, true, true},
      {"unclosed_brace", "Next text with an unclosed brace", L"unclosed", {{Action::kScrollBarToEnd, stops}}, true, false},
      {"long_next_text", "Next text longer than the add-in reads", L"long", {{Action::kScrollBarToEnd, stops}}, true,
       false},
};

void AlreadyViewed() {
  check::Run("already viewed: returns at once without watching", [] {
    Package package(L"licence");
    if (!CHECK(package.opened())) return;
    LicenceDialog dialog(package.session());
    if (!CHECK(dialog.ready())) return;
    MsiSetPropertyW(package.session(), L"LicenseViewed", L"1");
    Watch watch(package.session());
    CHECK(watch.Ended(3000));
    CHECK(!AnyWatchProp(dialog.dialog));
    CHECK(Property(package.session(), L"KivrelLicenseWatching").empty());
    CHECK(!IsWindowEnabled(dialog.next));
    CHECK(dialog.Close());
  });
}

void NoDialog() {
  check::Run("no dialog: returns at once and clears the watching flag", [] {
    Package package(L"licence");
    if (!CHECK(package.opened())) return;
    CHECK(FindWindowW(L"MsiDialogCloseClass", nullptr) == nullptr);
    Watch watch(package.session());
    CHECK(watch.Ended(3000));
    CHECK(Property(package.session(), L"KivrelLicenseWatching").empty());
    CHECK(Property(package.session(), L"LicenseViewed").empty());
  });
}

void SecondWhileRunning() {
  check::Run("a second watch while one runs returns at once", [] {
    Package package(L"licence");
    if (!CHECK(package.opened())) return;
    LicenceDialog dialog(package.session());
    if (!CHECK(dialog.ready())) return;
    Watch first(package.session());
    if (!CHECK(WaitFor([&] { return Watching(dialog.dialog); }))) return;
    Watch second(package.session());
    CHECK(second.Ended(3000));
    CHECK(!first.Ended(0));
    RunSteps(dialog, first, {{Action::kScrollBarToEnd, false}});
    CheckFinished(package.session(), dialog, true, true);
    CHECK(dialog.Close());
  });
}

void LaterWatch() {
  // The first watch's hooks are gone when the second starts; the second must read its own
  // state from the dialog again, text box included, or its first key-up ends it unmarked.
  check::Run("a later watch in the same process", [] {
    Package package(L"licence");
    if (!CHECK(package.opened())) return;
    LicenceDialog dialog(package.session());
    if (!CHECK(dialog.ready())) return;
    {
      Watch first(package.session());
      if (!CHECK(WaitFor([&] { return Watching(dialog.dialog); }))) return;
      RunSteps(dialog, first, {{Action::kChildDestroyed, stops}});
      CHECK(Property(package.session(), L"LicenseViewed").empty());
      CHECK(Property(package.session(), L"KivrelLicenseWatching").empty());
    }
    Watch second(package.session());
    if (!CHECK(WaitFor([&] { return Watching(dialog.dialog); }))) return;
    RunSteps(dialog, second, {{Action::kKeyUp, goesOn}, {Action::kScrollBarToEnd, stops}});
    CheckFinished(package.session(), dialog, true, true);
    CHECK(dialog.Close());
  });
}

struct NamedCase {
  const char* id;
  void (*run)();
};
const NamedCase kOtherCases[] = {
    {"already_viewed", AlreadyViewed},
    {"no_dialog", NoDialog},
    {"second_while_running", SecondWhileRunning},
    {"later_watch", LaterWatch},
};

bool RunCase(const std::string& id) {
  for (const auto& c : kWatchCases)
    if (id == c.id) return check::Run(c.name, [&] { RunWatchCase(c); }), true;
  for (const auto& c : kOtherCases)
    if (id == c.id) return c.run(), true;
  return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::printf("usage: trellum_watch_tests <Trellum.dll> <package folder> <case id>\n");
    return 2;
  }
  HMODULE library = LoadLibraryW(argv[1]);
  g_watchScroll = library ? reinterpret_cast<WatchScrollEntry>(
                                reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(1))))
                          : nullptr;
  if (!g_watchScroll) {
    std::printf("cannot load WatchScroll (ordinal 1) from the add-in: error %lu\n", GetLastError());
    return 2;
  }
  g_packages = argv[2];
  g_markerSeen = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  MsiSetInternalUI(INSTALLUILEVEL_FULL, nullptr);

  const std::wstring wideId = argv[3];
  if (!RunCase(std::string(wideId.begin(), wideId.end()))) {
    std::printf("no such case\n");
    return 2;
  }
  return check::Summary();
}
