// The windows of the system as ORLA looks at them, on real Wine windows: a second copy brings
// the running copy's marked dialog forward (restoring it when minimised), or, while that
// dialog is hidden, the visible popup it owns; a marked window with nothing to show is passed
// over. The scanner road's list holds the visible top-level windows of every thread of the
// process, and nothing of another process.

#include <windows.h>

#include <algorithm>
#include <vector>

#include "plain_window_class.h"
#include "process/process_windows.h"
#include "process/single_instance.h"
#include "wine_check.h"

namespace {

constexpr char16_t kClass[] = u"ProcessWindowsTest";

// A top-level window, owned by `owner` when given; `marked` carries the running copy's
// property.
HWND MakeWindow(bool visible, bool marked = false, HWND owner = nullptr) {
  HWND window = CreateWindowExW(0, reinterpret_cast<LPCWSTR>(kClass), reinterpret_cast<LPCWSTR>(u""), WS_POPUP | WS_CAPTION | WS_MINIMIZEBOX,
                                100, 100, 200, 120, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (marked) SetPropA(window, kSingleInstanceName, reinterpret_cast<HANDLE>(1));
  if (visible) ShowWindow(window, SW_SHOW);
  return window;
}

void Minimise(HWND window) {
  ShowWindow(window, SW_MINIMIZE);
  CHECK(IsIconic(window));
}

// Another program's window in front, as when the operator starts ORLA a second time.
HWND Elsewhere() {
  HWND other = MakeWindow(true);
  SetForegroundWindow(other);
  CHECK(GetForegroundWindow() == other);
  return other;
}

void Destroy(std::initializer_list<HWND> windows) {
  for (HWND w : windows) DestroyWindow(w);
}

void TestMinimisedCopyIsRestored() {
  HWND dialog = MakeWindow(true, true);
  Minimise(dialog);
  HWND other = Elsewhere();
  BringRunningCopyForward();
  CHECK(!IsIconic(dialog));
  CHECK(GetForegroundWindow() == dialog);
  Destroy({dialog, other});
}

void TestHiddenCopyBringsItsPopupForward() {
  HWND dialog = MakeWindow(false, true);
  HWND popup = MakeWindow(true, false, dialog);
  HWND other = Elsewhere();
  BringRunningCopyForward();
  CHECK(GetForegroundWindow() == popup);
  CHECK(!IsWindowVisible(dialog));
  Destroy({popup, dialog, other});
}

void TestHiddenCopyWithoutPopupIsPassedOver() {
  // The first marked window in the order has nothing to show; the search goes on to the next.
  HWND shown = MakeWindow(true, true);
  Minimise(shown);
  HWND hidden = MakeWindow(false, true);
  HWND hiddenPopup = MakeWindow(false, false, hidden);
  HWND other = Elsewhere();
  BringRunningCopyForward();
  CHECK(!IsIconic(shown));
  CHECK(GetForegroundWindow() == shown);
  CHECK(!IsWindowVisible(hidden) && !IsWindowVisible(hiddenPopup));
  Destroy({hiddenPopup, hidden, shown, other});
}

void TestNothingMarkedChangesNothing() {
  HWND unmarked = MakeWindow(true);
  Minimise(unmarked);
  HWND other = Elsewhere();
  BringRunningCopyForward();
  CHECK(IsIconic(unmarked));
  CHECK(GetForegroundWindow() == other);
  Destroy({unmarked, other});
}

// A window of another thread of this process, kept until `done` is set. Wine's own threads:
// a thread the C++ library starts is not one Wine can give a window.
struct OtherThread {
  HANDLE made = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HWND window = nullptr;
};

DWORD WINAPI RunOtherThread(void* param) {
  auto* other = static_cast<OtherThread*>(param);
  other->window = MakeWindow(true);
  SetEvent(other->made);
  WaitForSingleObject(other->done, INFINITE);
  DestroyWindow(other->window);
  return 0;
}

bool Listed(HWND window) {
  return std::find(g_ProcessWindows.begin(), g_ProcessWindows.end(), window) != g_ProcessWindows.end();
}

void TestCollectProcessWindows() {
  HWND visible = MakeWindow(true);
  HWND hidden = MakeWindow(false);
  OtherThread other;
  HANDLE thread = CreateThread(nullptr, 0, RunOtherThread, &other, 0, nullptr);
  CHECK(WaitForSingleObject(other.made, 20000) == WAIT_OBJECT_0);

  g_ProcessWindows.assign({reinterpret_cast<HWND>(0x1234)});  // an earlier listing
  CHECK(CollectProcessWindows(GetCurrentProcessId()) == 1);
  CHECK(Listed(visible));
  CHECK(Listed(other.window));
  CHECK(!Listed(hidden));
  CHECK(!Listed(reinterpret_cast<HWND>(0x1234)));
  for (HWND w : g_ProcessWindows) CHECK(IsWindowVisible(w));

  // No process has this id: the snapshot is taken and lists nothing for it.
  CHECK(CollectProcessWindows(0xFFFFFFF0) == 1);
  CHECK(g_ProcessWindows.empty());

  SetEvent(other.done);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  CloseHandle(other.made);
  CloseHandle(other.done);
  Destroy({visible, hidden});
}

}  // namespace

int main() {
  test_support::RegisterPlainWindowClass(kClass);
  TestMinimisedCopyIsRestored();
  TestHiddenCopyBringsItsPopupForward();
  TestHiddenCopyWithoutPopupIsPassedOver();
  TestNothingMarkedChangesNothing();
  TestCollectProcessWindows();
  return wine_check::Finish("process_windows_test");
}
