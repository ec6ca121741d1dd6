#include "hook_state.h"

#include "installer_dialog.h"
#include "installer_names.h"
#include "scroll_rules.h"

HHOOK g_hProcRetHook = nullptr;
HHOOK g_hGetMsgHook = nullptr;
HWND g_hLicenseTextBox = nullptr;
HMODULE g_hModule = nullptr;

namespace trellum {

bool LoadHookState() {
  if (g_hProcRetHook && g_hGetMsgHook) return true;
  HWND dialog = FindInstallerDialog();
  if (!dialog) return false;
  g_hProcRetHook = static_cast<HHOOK>(GetPropW(dialog, kPropProcRetHook));
  g_hGetMsgHook = static_cast<HHOOK>(GetPropW(dialog, kPropGetMsgHook));
  g_hLicenseTextBox = FindWindowExW(dialog, nullptr, kTextBoxClass, nullptr);
  return g_hProcRetHook && g_hGetMsgHook;
}

ScrollCheck CheckScrolledToEnd(UINT message) {
  switch (message) {
    case WM_NCDESTROY:
      return kStopWatch;
    case WM_KEYUP:
    case WM_VSCROLL: {
      if (!g_hLicenseTextBox) return kStopWatch;
      SCROLLINFO info{};
      info.cbSize = sizeof info;
      info.fMask = SIF_ALL;
      if (!GetScrollInfo(g_hLicenseTextBox, SB_VERT, &info)) return kStopWatch;
      return IsScrolledToEnd(info.nPos, info.nMax, info.nPage) ? kEndReached : kGoOn;
    }
    default:
      return kGoOn;
  }
}

void StopWatching() {
  if (HWND dialog = FindInstallerDialog()) {
    RemovePropW(dialog, kPropProcRetHook);
    RemovePropW(dialog, kPropGetMsgHook);
  }
  // Forget the hooks as well as the text box: a later watch in this process installs new
  // hooks and may show another dialog, so its state must be read from that dialog again.
  g_hProcRetHook = nullptr;
  g_hGetMsgHook = nullptr;
  g_hLicenseTextBox = nullptr;
}

LRESULT HandleHookedMessage(UINT message, HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
  switch (CheckScrolledToEnd(message)) {
    case kEndReached:
      if (HWND dialog = FindInstallerDialog())
        SetPropW(dialog, kPropLicenceViewed, reinterpret_cast<HANDLE>(1));
      StopWatching();
      break;
    case kStopWatch:
      StopWatching();
      break;
    case kGoOn:
      break;
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

// A negative code asks the hook to pass the message on untouched, and a hook whose watch is
// not (or no longer) running must still pass it on: other hooks of the thread depend on it.
LRESULT CALLBACK GetMessageHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code < 0 || !LoadHookState()) return CallNextHookEx(nullptr, code, wParam, lParam);
  const auto* message = reinterpret_cast<const MSG*>(lParam);
  return HandleHookedMessage(message->message, g_hGetMsgHook, code, wParam, lParam);
}

LRESULT CALLBACK CallWndRetHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code < 0 || !LoadHookState()) return CallNextHookEx(nullptr, code, wParam, lParam);
  const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  return HandleHookedMessage(message->message, g_hProcRetHook, code, wParam, lParam);
}

}  // namespace trellum
