#include "installer_dialog.h"

#include "installer_names.h"

namespace trellum {

HWND FindInstallerDialog() {
  if (HWND dialog = FindWindowW(kDialogClass, nullptr)) return dialog;
  // Some setups host the dialog inside a frame window of their own.
  if (HWND host = FindWindowW(kDialogHostClass, nullptr))
    return FindWindowExW(host, nullptr, kDialogClass, nullptr);
  return nullptr;
}

}  // namespace trellum
