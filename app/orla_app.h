#pragma once
// CORLAApp: the program. InitInstance lets one copy run at a time, loads the language, runs
// the main dialog and returns FALSE, so the program ends when the dialog does.

#include "framework.h"

// The name of the single-instance semaphore and of the window property that marks the
// running copy's main dialog.
inline constexpr char kSingleInstanceName[] = "ZOZORERADADEDURE";

class CORLAApp : public CWinAppEx {
 public:
  CORLAApp() = default;
  ~CORLAApp() override = default;

  BOOL InitInstance() override;
};

extern CORLAApp theApp;

// Finds the running copy's main dialog by its window property and brings it, or the popup it
// owns, to the front. Nothing happens when no window carries the property.
void BringRunningCopyForward();
