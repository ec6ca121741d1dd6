#include "watch_scroll.h"

#include <msiquery.h>

#include "hook_state.h"
#include "installer_dialog.h"
#include "installer_names.h"
#include "next_button.h"

namespace {

constexpr DWORD kPollInterval = 500;

bool IsSet(MSIHANDLE session, const wchar_t* property) {
  return MsiEvaluateConditionW(session, property) == MSICONDITION_TRUE;
}

}  // namespace

extern "C" UINT __stdcall WatchScroll(MSIHANDLE session) {
  using namespace trellum;
  if (IsSet(session, kLicenseViewed)) return ERROR_SUCCESS;
  if (IsSet(session, kLicenseWatching)) return ERROR_SUCCESS;  // a watch already runs
  MsiSetPropertyW(session, kLicenseWatching, L"1");

  HWND dialog = FindInstallerDialog();
  if (!dialog) {
    // Hooks for thread 0 would hook every thread of the desktop; with no dialog there is
    // nothing to watch.
    MsiSetPropertyW(session, kLicenseWatching, nullptr);
    return ERROR_SUCCESS;
  }
  if (GetPropW(dialog, kPropProcRetHook)) return ERROR_SUCCESS;

  const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
  HHOOK getMsgHook = SetWindowsHookExW(WH_GETMESSAGE, GetMessageHookProc, g_hModule, thread);
  HHOOK procRetHook = SetWindowsHookExW(WH_CALLWNDPROCRET, CallWndRetHookProc, g_hModule, thread);
  SetPropW(dialog, kPropProcRetHook, procRetHook);
  SetPropW(dialog, kPropGetMsgHook, getMsgHook);

  // The hooks end the watch by removing these properties.
  while (GetPropW(dialog, kPropProcRetHook) && GetPropW(dialog, kPropGetMsgHook))
    Sleep(kPollInterval);

  if (getMsgHook) UnhookWindowsHookEx(getMsgHook);
  if (procRetHook) UnhookWindowsHookEx(procRetHook);
  MsiSetPropertyW(session, kLicenseWatching, nullptr);

  if (GetPropW(dialog, kPropLicenceViewed)) {
    RemovePropW(dialog, kPropLicenceViewed);
    MsiSetPropertyW(session, kLicenseViewed, L"1");
    EnableNextButton(session, dialog);
  }
  return ERROR_SUCCESS;
}
