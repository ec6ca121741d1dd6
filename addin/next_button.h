// Enabling the licence dialog's Next button once the text was read, when the package's own
// enable condition for it holds.
#pragma once

#include <windows.h>
#include <msi.h>

namespace trellum {

bool QueryFirstField(MSIHANDLE session, const wchar_t* query, wchar_t* buffer, DWORD capacity);
void EnableNextButton(MSIHANDLE session, HWND dialog);

}  // namespace trellum
