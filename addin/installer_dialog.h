// Finding the installer's dialog window. Every caller looks it up again: the dialog may have
// been replaced since the last look.
#pragma once

#include <windows.h>

namespace trellum {

HWND FindInstallerDialog();

}  // namespace trellum
