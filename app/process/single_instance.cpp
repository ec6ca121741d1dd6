#include "process/single_instance.h"

bool RestoreOrBringForward(HWND window) {
  if (IsIconic(window)) {
    ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    return true;
  }
  if (IsWindowVisible(window)) {
    SetForegroundWindow(window);
    return true;
  }
  return false;
}

HWND ActivateOwnedPopup(HWND owner) {
  if (owner == nullptr) return nullptr;
  for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
    if (!IsWindow(w)) return nullptr;
    if (GetParent(w) == owner && RestoreOrBringForward(w)) return w;
  }
  return nullptr;
}

void BringRunningCopyForward() {
  for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); IsWindow(w); w = GetWindow(w, GW_HWNDNEXT)) {
    if (GetPropA(w, kSingleInstanceName) == nullptr) continue;
    if (RestoreOrBringForward(w)) return;
    for (HWND p = ActivateOwnedPopup(w); p != nullptr && IsWindow(p); p = ActivateOwnedPopup(p)) {
      if (RestoreOrBringForward(p)) return;
    }
  }
}
