// The custom action the installer calls while its licence dialog is up.
#pragma once

#include <windows.h>
#include <msi.h>

extern "C" UINT __stdcall WatchScroll(MSIHANDLE session);
