#pragma once
// Winelib test support: the number of live GDI objects of this process. Wine answers
// GetGuiResources with 0, so the count then comes from the GDI handle table that Wine keeps
// in the process (the PEB's shared handle table): every entry with a type is a live object.

#include <windows.h>
#include <winternl.h>
#include <ntgdi.h>

namespace test_support {

inline int GdiObjectCount() {
  constexpr DWORD kGdiObjects = 0;  // GR_GDIOBJECTS
  const DWORD reported = GetGuiResources(GetCurrentProcess(), kGdiObjects);
  if (reported != 0) return static_cast<int>(reported);
  const auto* table = static_cast<const GDI_SHARED_MEMORY*>(NtCurrentTeb()->Peb->GdiSharedHandleTable);
  if (table == nullptr) return -1;
  int count = 0;
  for (const GDI_HANDLE_ENTRY& entry : table->Handles) count += entry.Type != 0 ? 1 : 0;
  return count;
}

}  // namespace test_support
