#pragma once
// CORLAApp: the program. InitInstance lets one copy run at a time, loads the language, runs
// the main dialog and returns FALSE, so the program ends when the dialog does.

#include "framework.h"

class CORLAApp : public CWinAppEx {
 public:
  CORLAApp() = default;
  ~CORLAApp() override = default;

  BOOL InitInstance() override;
};

extern CORLAApp theApp;
