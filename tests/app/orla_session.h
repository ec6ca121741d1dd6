#pragma once
// Drives a running ORLA from another process, as an operator would: it finds the main
// dialog's controls, clicks and types into them, reads what they show, and records and closes
// the message boxes ORLA shows. Used by the end-to-end tests under Wine.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace orla::test {

class OrlaSession {
 public:
  // Starts `program` (a Windows path) and waits for its main dialog; a non-empty `wineDebug`
  // is the child's WINEDEBUG.
  explicit OrlaSession(const std::string& program, const std::string& wineDebug = {});
  ~OrlaSession();
  OrlaSession(const OrlaSession&) = delete;
  OrlaSession& operator=(const OrlaSession&) = delete;

  bool started() const { return dialog_ != nullptr; }
  HWND dialog() const { return dialog_; }
  DWORD processId() const { return process_.dwProcessId; }
  HANDLE process() const { return process_.hProcess; }

  HWND Control(int id) const { return GetDlgItem(dialog_, id); }
  std::u16string Text(int id) const;
  std::string TextA(int id) const;
  bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
  // The window that has the keyboard focus on the dialog's thread, or null.
  HWND Focus() const;
  // A click as the button itself would report it; returns at once. WaitUntilIdle waits for
  // the program's handler of the click to return.
  void Click(int id);
  // Sets an edit's text as typing would; the dialog has seen the change notification when
  // this returns.
  void Type(int id, const std::string& text) const;
  // An Enter key press on a control, through the dialog's own message loop; returns once the
  // dialog has taken it.
  void PressEnter(int id) const;
  // Waits until the program has taken every message posted to its queue before this call,
  // those its own menu posted included; false after `timeoutMs`.
  bool WaitUntilPostedTaken(int timeoutMs = 20000) const;

  // Waits until every click and command handed to the program has been handled, the dialog
  // is enabled, no progress window is up and no message box is open, closing every message
  // box with OK on the way; false after `timeoutMs`.
  bool WaitUntilIdle(int timeoutMs = 60000);
  // Waits until `condition` holds, closing every message box with OK on the way; false after
  // `timeoutMs`. For what the program does after its handlers return, such as scanned pages
  // and keys from the X server.
  bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 60000);
  // The progress window of this process, or null.
  HWND ProgressWindow() const;
  // Texts of the message boxes closed so far, oldest first; cleared by TakeMessages.
  std::vector<std::string> TakeMessages();

  // Closes the dialog and waits for the process to end; its exit code, or -1.
  int Close();

  // The File menu's commands, the dialogs they open and the questions they ask. None of
  // these closes a message box on its own; do not call WaitUntilIdle while a common dialog
  // or the about box is up, since it would take them for message boxes.
  // Sends a File menu command to the dialog as the menu sends it; returns at once, and
  // WaitUntilIdle waits for its handler to return.
  void Command(int id);
  // The visible dialog of this process other than the main dialog that holds a control
  // `controlId`, or null.
  HWND FindDialogWith(int controlId) const;
  // The same, waited for; null after `timeoutMs`.
  HWND WaitForDialogWith(int controlId, int timeoutMs = 20000) const;
  // Waits for a message box that has the button `button` (IDOK, IDYES, IDNO...) and presses it;
  // returns the box's text, or "<no message box>".
  std::string AnswerMessageBox(int button, int timeoutMs = 20000);
  // Waits until `window` is gone; false after `timeoutMs`.
  static bool WaitUntilClosed(HWND window, int timeoutMs = 20000);
  // A popup menu of this process is showing.
  bool MenuOpen() const;
  // Waits until a popup menu is showing (`open`) or none is; false after `timeoutMs`. Message
  // boxes are left alone.
  bool WaitForMenu(bool open, int timeoutMs = 20000) const;

 private:
  std::vector<HWND> TopLevelWindows() const;
  bool CloseOneMessageBox();
  // Sends `message` to `window` without waiting; its handler's return is counted when this
  // thread next looks at its queue.
  void SendCounted(HWND window, UINT message, WPARAM wParam);
  static void CALLBACK Handled(HWND, UINT, ULONG_PTR session, LRESULT);

  PROCESS_INFORMATION process_{};
  HWND dialog_ = nullptr;
  std::vector<std::string> messages_;
  int unhandled_ = 0;  // clicks and commands whose handlers have not returned yet
};

// The main dialog of process `processId`: the window that carries ORLA's single-instance
// property. Null when there is none.
HWND FindOrlaDialog(DWORD processId);

// Writes the client area of `window`, as the screen shows it, to a PNG file.
bool SaveWindowPng(HWND window, const std::string& unixPath);

}  // namespace orla::test
