#include "orla_app.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "lang/lang_text.h"
#include "message_sink.h"
#include "orla_dlg.h"
#include "process/single_instance.h"
#include "text/process_code_page.h"

CORLAApp theApp;

namespace {

// The portable core's few messages (an image of a bit count it cannot convert) go to a plain
// message box over the window in front.
void ShowCoreMessage(const std::string& text) { MessageBoxA(GetActiveWindow(), text.c_str(), "", MB_OK); }

}  // namespace

BOOL CORLAApp::InitInstance() {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = 0xFF;
  InitCommonControlsEx(&controls);

  // Held open, never waited on, until the process ends: its existence is the guard.
  HANDLE semaphore = CreateSemaphoreA(nullptr, 1, 1, kSingleInstanceName);
  if (semaphore == nullptr) return FALSE;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(semaphore);
    BringRunningCopyForward();
    return FALSE;
  }

  // The path rule and the saved files step over double-byte characters of this code page.
  orla::UseProcessCodePage();
  orla::SetMessageSink(ShowCoreMessage);
  CString languageFile;
  orla::LoadLanguage(languageFile);
  SetRegistryKey("Local AppWizard-Generated Applications");

  CORLADlg dialog;
  m_pMainWnd = &dialog;
  dialog.DoModal();
  m_pMainWnd = nullptr;
  return FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return AfxWinMain(instance); }
