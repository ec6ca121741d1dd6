// The framework on real Wine windows: message tables, subclassing and Default, data
// exchange, the modal loop with its message filter, the owner rule, reflected owner drawing,
// control colours and menu command-UI.

#include <windows.h>

#include <string>

#include "framework.h"
#include "plain_window_class.h"
#include "wine_check.h"

namespace {

constexpr UINT kIddMain = 200;
constexpr UINT kIddForm = 201;
constexpr UINT kIdmMain = 300;
constexpr UINT kAppMessage = WM_APP + 1;
constexpr UINT kScript = WM_APP + 5;
constexpr UINT kFiltered = WM_APP + 6;
constexpr UINT kEndWith42 = WM_APP + 7;

CWinApp theApp;

// ---- message tables

class BaseWindow : public CWnd {
 public:
  int baseApp = 0;
  int command500 = 0;
  LRESULT OnApp(WPARAM w, LPARAM) { ++baseApp; return static_cast<LRESULT>(w) + 1; }
  void OnCommand500() { ++command500; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseWindow, CWnd)
  ON_MESSAGE(kAppMessage, OnApp)
  ON_COMMAND(500, OnCommand500)
END_MESSAGE_MAP()

class DerivedWindow : public BaseWindow {
 public:
  int derivedApp = 0;
  int updates = 0;
  LRESULT OnAppDerived(WPARAM w, LPARAM) { ++derivedApp; return static_cast<LRESULT>(w) * 10; }
  void OnUpdateSave(CCmdUI* ui) { ++updates; ui->Enable(FALSE); }
  void OnUpdatePrint(CCmdUI* ui) { ++updates; ui->Enable(TRUE); }
  void OnInitMenuPopup(CMenu* popup, UINT index, BOOL system) {
    CWnd::OnInitMenuPopup(popup, index, system);
    UpdatePopupMenuCommandUi(this, popup);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedWindow, BaseWindow)
  ON_MESSAGE(kAppMessage, OnAppDerived)
  ON_UPDATE_COMMAND_UI(32775, OnUpdateSave)
  ON_UPDATE_COMMAND_UI(32776, OnUpdatePrint)
  ON_WM_INITMENUPOPUP()
END_MESSAGE_MAP()

void TestMessageTables() {
  DerivedWindow window;
  CHECK(window.CreateEx(0, u"FwTestPlain", u"t\u00e9st \u4e2d", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr));
  CHECK(CWnd::FromHandlePermanent(window.m_hWnd) == &window);
  // The most derived row wins; rows of the base still apply; the rest goes to Default.
  CHECK(window.SendMessage(kAppMessage, 4) == 40);
  CHECK(window.derivedApp == 1 && window.baseApp == 0);
  window.SendMessage(WM_COMMAND, MAKEWPARAM(500, 0));
  window.SendMessage(WM_COMMAND, MAKEWPARAM(500, 1));  // accelerator
  window.SendMessage(WM_COMMAND, MAKEWPARAM(500, EN_CHANGE));  // another notification code
  CHECK(window.command500 == 2);
  // A W window procedure keeps every UTF-16 character of the title.
  CHECK(window.GetWindowTextW() == u"t\u00e9st \u4e2d");

  // Menu command-UI, called directly and through WM_INITMENUPOPUP.
  CMenu menu;
  CHECK(menu.LoadMenuW(kIdmMain));
  CMenu* popup = menu.GetSubMenu(0);
  CHECK(popup != nullptr);
  if (popup != nullptr) {
    popup->EnableMenuItem(32776, MF_BYCOMMAND | MF_GRAYED);
    window.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup->m_hMenu), 0);
    CHECK(window.updates == 2);
    CHECK((popup->GetMenuState(32775, MF_BYCOMMAND) & MF_GRAYED) != 0);
    CHECK((popup->GetMenuState(32776, MF_BYCOMMAND) & MF_GRAYED) == 0);
    CHECK((popup->GetMenuState(32777, MF_BYCOMMAND) & MF_GRAYED) == 0);  // no handler: left alone
  }
  HWND handle = window.m_hWnd;
  CHECK(window.DestroyWindow());
  CHECK(window.m_hWnd == nullptr);
  CHECK(CWnd::FromHandlePermanent(handle) == nullptr);
  fw::DropTemporaries();
}

// ---- subclassing an existing control

class WatchedEdit : public CWnd {
 public:
  int setTexts = 0;
  LRESULT OnSetText(WPARAM, LPARAM) { ++setTexts; return Default(); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(WatchedEdit, CWnd)
  ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

void TestSubclassAndDefault() {
  HWND edit = CreateWindowExW(0, reinterpret_cast<LPCWSTR>(u"EDIT"), nullptr, WS_POPUP, 0, 0, 100, 20, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  CHECK(edit != nullptr);
  WatchedEdit watched;
  CHECK(watched.SubclassWindow(edit));
  watched.SetWindowTextW(u"\u00fcber");
  CHECK(watched.setTexts == 1);
  CHECK(watched.GetWindowTextW() == u"\u00fcber");  // Default reached the edit's own procedure
  CHECK(watched.UnsubclassWindow() == edit);
  ::SetWindowTextW(edit, reinterpret_cast<LPCWSTR>(u"x"));
  CHECK(watched.setTexts == 1);
  DestroyWindow(edit);
}

// ---- dialogs

class DrawnButton : public CButton {
 public:
  int draws = 0;
  void DrawItem(LPDRAWITEMSTRUCT item) override {
    ++draws;
    FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_HIGHLIGHT));
  }
};

class FormDialog : public CDialog {
 public:
  FormDialog() : CDialog(kIddForm) {}
  int m_nMode = 1;
  CString m_strPath = "abc";
  DrawnButton m_btn;
  int changes = 0;
  int filtered = 0;
  int cancels = 0;
  int ctlColorEdit = 0;
  bool ownerDisabledWhileRunning = false;
  HWND ownerWhileRunning = nullptr;
  void (*script)(FormDialog&) = nullptr;

  void DoDataExchange(CDataExchange* dx) override {
    DDX_Radio(dx, 1002, m_nMode);
    DDX_Text(dx, 1005, m_strPath);
    DDX_Control(dx, 1001, m_btn);
  }
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    PostMessage(kScript);
    return TRUE;
  }
  BOOL PreTranslateMessage(MSG* msg) override {
    if (msg->message == kFiltered && msg->hwnd == m_hWnd) ++filtered;
    return CDialog::PreTranslateMessage(msg);
  }
  void OnCancel() override {
    ++cancels;
    CDialog::OnCancel();
  }
  void OnPathChange() { ++changes; }
  LRESULT OnScript(WPARAM, LPARAM) {
    ownerWhileRunning = ::GetWindow(m_hWnd, GW_OWNER);
    ownerDisabledWhileRunning = ownerWhileRunning != nullptr && !::IsWindowEnabled(ownerWhileRunning);
    if (script != nullptr) script(*this);
    return 0;
  }
  LRESULT OnEndWith42(WPARAM, LPARAM) { EndDialog(42); return 0; }
  HBRUSH OnCtlColor(CDC* dc, CWnd* control, UINT kind) {
    HBRUSH brush = CDialog::OnCtlColor(dc, control, kind);
    if (kind == CTLCOLOR_EDIT && control != nullptr && control->GetDlgCtrlID() == 1005) ++ctlColorEdit;
    return brush;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(FormDialog, CDialog)
  ON_EN_CHANGE(1005, OnPathChange)
  ON_MESSAGE(kScript, OnScript)
  ON_MESSAGE(kEndWith42, OnEndWith42)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

void ExchangeAndEsc(FormDialog& dlg) {
  // Data written at initialisation.
  CHECK(::SendDlgItemMessageW(dlg.m_hWnd, 1003, BM_GETCHECK, 0, 0) == BST_CHECKED);
  CHECK(::SendDlgItemMessageW(dlg.m_hWnd, 1002, BM_GETCHECK, 0, 0) == BST_UNCHECKED);
  CString text;
  dlg.GetDlgItem(1005)->GetWindowText(text);
  CHECK(text == "abc");
  CHECK(dlg.changes == 1);
  // The text is set only when it differs.
  dlg.UpdateData(FALSE);
  CHECK(dlg.changes == 1);
  dlg.m_strPath = "xyz";
  dlg.UpdateData(FALSE);
  CHECK(dlg.changes == 2);
  // And read back from the controls.
  ::SendDlgItemMessageW(dlg.m_hWnd, 1004, BM_CLICK, 0, 0);
  ::SetDlgItemTextA(dlg.m_hWnd, 1005, "typed");
  dlg.UpdateData(TRUE);
  CHECK(dlg.m_nMode == 2);
  CHECK(dlg.m_strPath == "typed");
  // Bound once, and reflected drawing reaches the button's own object.
  HWND button = ::GetDlgItem(dlg.m_hWnd, 1001);
  CHECK(dlg.m_btn.m_hWnd == button);
  CHECK(CWnd::FromHandlePermanent(button) == &dlg.m_btn);
  dlg.UpdateData(TRUE);
  CHECK(CWnd::FromHandlePermanent(button) == &dlg.m_btn);
  ::InvalidateRect(button, nullptr, TRUE);
  ::UpdateWindow(button);
  CHECK(dlg.m_btn.draws > 0);
  HWND edit = ::GetDlgItem(dlg.m_hWnd, 1005);
  ::InvalidateRect(edit, nullptr, TRUE);
  ::UpdateWindow(edit);
  CHECK(dlg.ctlColorEdit > 0);
  // Every message of the loop passes the filter; Esc ends the dialog through OnCancel.
  for (int i = 0; i < 3; ++i) dlg.PostMessage(kFiltered);
  ::PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
}

void EndWith42(FormDialog& dlg) { dlg.PostMessage(kEndWith42); }

void QuitWhileModal(FormDialog&) { PostQuitMessage(5); }

void TestDialogs() {
  CDialog mainDialog(kIddMain);
  CHECK(mainDialog.Create(kIddMain));
  mainDialog.ShowWindow(SW_SHOW);
  theApp.m_pMainWnd = &mainDialog;

  {
    FormDialog form;
    form.script = ExchangeAndEsc;
    CHECK(form.DoModal() == IDCANCEL);
    CHECK(form.cancels == 1);
    CHECK(form.filtered == 3);
    CHECK(form.ownerWhileRunning == mainDialog.m_hWnd);
    CHECK(form.ownerDisabledWhileRunning);
    CHECK(mainDialog.IsWindowEnabled());
    CHECK(form.m_hWnd == nullptr);
    CHECK(form.m_btn.m_hWnd == nullptr);
  }
  {
    FormDialog form;
    form.script = EndWith42;
    CHECK(form.DoModal() == 42);
    CHECK(mainDialog.IsWindowEnabled());
  }
  {
    FormDialog form;
    form.script = QuitWhileModal;
    CHECK(form.DoModal() == -1);
    MSG msg;
    CHECK(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && msg.wParam == 5);
    CHECK(mainDialog.IsWindowEnabled());
  }
  {
    // With a disabled owner the dialog must not enable it afterwards.
    mainDialog.EnableWindow(FALSE);
    FormDialog form;
    form.script = EndWith42;
    CHECK(form.DoModal() == 42);
    CHECK(!mainDialog.IsWindowEnabled());
    mainDialog.EnableWindow(TRUE);
  }
  theApp.m_pMainWnd = nullptr;
  mainDialog.DestroyWindow();
}

// ---- window life and input messages

BOOL CALLBACK CancelDialogWindow(HWND window, LPARAM) {
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::string(name) == "#32770") PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
  return TRUE;
}

void CALLBACK CancelAnyDialog(HWND, UINT, UINT_PTR, DWORD) {
  EnumThreadWindows(GetCurrentThreadId(), CancelDialogWindow, 0);
}

class EventsWindow : public CWnd {
 public:
  bool failCreate = false;
  std::string events;
  CPoint lastPoint;
  UINT lastKeys = 0;
  int timers = 0;
  int OnCreate(LPCREATESTRUCTW) {
    events += "create;";
    return failCreate ? -1 : 0;
  }
  void OnTimer(UINT_PTR id) {
    if (id == 7) ++timers;
  }
  void OnLButtonDown(UINT keys, CPoint point) {
    lastKeys = keys;
    lastPoint = point;
  }
  void OnDestroy() {
    events += "destroy;";
    Default();
  }
  void OnNcDestroy() {
    events += FromHandlePermanent(m_hWnd) == this ? "ncdestroy bound;" : "ncdestroy unbound;";
    Default();
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(EventsWindow, CWnd)
  ON_WM_CREATE()
  ON_WM_TIMER()
  ON_WM_LBUTTONDOWN()
  ON_WM_DESTROY()
  ON_WM_NCDESTROY()
END_MESSAGE_MAP()

void TestLifeAndInput() {
  {
    EventsWindow refused;
    refused.failCreate = true;
    CHECK(!refused.CreateEx(0, u"FwTestPlain", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    CHECK(refused.m_hWnd == nullptr);
    CHECK(refused.events.starts_with("create;"));
  }
  EventsWindow window;
  CHECK(window.CreateEx(0, u"FwTestPlain", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  window.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(-3), 7));
  CHECK(window.lastPoint.x == -3 && window.lastPoint.y == 7 && window.lastKeys == MK_LBUTTON);
  window.SetTimer(7, 1);
  const DWORD start = GetTickCount();
  MSG msg;
  while (window.timers < 2 && GetTickCount() - start < 5000) {
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) break;
    DispatchMessageW(&msg);
  }
  window.KillTimer(7);
  CHECK(window.timers >= 2);
  window.DestroyWindow();
  CHECK(window.events == "create;destroy;ncdestroy bound;");
  CHECK(window.m_hWnd == nullptr);

  // The print dialog cancelled from inside its own loop.
  CPrintDialog print(FALSE, PD_RETURNDC | PD_DISABLEPRINTTOFILE | PD_HIDEPRINTTOFILE);
  const UINT_PTR timer = SetTimer(nullptr, 0, 300, CancelAnyDialog);
  CHECK(print.DoModal() == IDCANCEL);
  KillTimer(nullptr, timer);
  CHECK(print.GetPrinterDC() == nullptr);
}

// ---- files

std::string g_chosenFile;

BOOL CALLBACK FillFileDialog(HWND window, LPARAM) {
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  if (std::string(name) != "#32770") return TRUE;
  SetDlgItemTextA(window, 1148, g_chosenFile.c_str());
  SetDlgItemTextA(window, 1152, g_chosenFile.c_str());
  PostMessageW(window, WM_COMMAND, IDOK, 0);
  return FALSE;
}

void CALLBACK AnswerFileDialog(HWND, UINT, UINT_PTR, DWORD) {
  EnumThreadWindows(GetCurrentThreadId(), FillFileDialog, 0);
}

std::string TempFolder() {
  char base[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, base);
  std::string folder = std::string(base) + "fwtest" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

void TestFiles() {
  const std::string folder = TempFolder();
  const std::string path = folder + "one.lan";
  {
    CFile file;
    CHECK(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
    CHECK(file.Write("hello", 5));
  }
  {
    CFile file;
    CHECK(file.Open(path.c_str(), CFile::modeRead));
    CFile second;  // readers share the file
    CHECK(second.Open(path.c_str(), CFile::modeRead));
    CHECK(file.GetLength() == 5);
    char buffer[8] = {};
    CHECK(file.Read(buffer, sizeof buffer) == 5);
    CHECK(std::string(buffer) == "hello");
  }
  CFile missing;
  CHECK(!missing.Open((folder + "missing").c_str(), CFile::modeRead));

  CFile other;
  other.Open((folder + "two.lan").c_str(), CFile::modeCreate | CFile::modeWrite);
  other.Close();
  CreateDirectoryA((folder + "sub.lan").c_str(), nullptr);
  CFileFind find;
  std::string files;
  int directories = 0;
  BOOL more = find.FindFile((folder + "*").c_str());
  while (more) {
    more = find.FindNextFile();
    if (find.IsDots()) continue;
    if (find.IsDirectory()) {
      ++directories;
    } else {
      files += std::string(find.GetFileName()) + ";";
      CHECK(find.GetFilePath() == (folder + std::string(find.GetFileName())).c_str());
    }
  }
  CHECK(directories == 1);
  CHECK(files == "one.lan;two.lan;" || files == "two.lan;one.lan;");
  CFileFind none;
  CHECK(!none.FindFile((folder + "*.xyz").c_str()));
  CHECK(!none.FindNextFile());

  // The save dialog, answered by a timer inside its own loop.
  g_chosenFile = folder + "results.xml";
  CFileDialog dialog(FALSE, "xml", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, "XML file (*.xml)|*.xml||");
  const UINT_PTR timer = SetTimer(nullptr, 0, 200, AnswerFileDialog);
  CHECK(dialog.DoModal() == IDOK);
  KillTimer(nullptr, timer);
  CHECK(dialog.GetPathName() == g_chosenFile.c_str());

  DeleteFileA(path.c_str());
  DeleteFileA((folder + "two.lan").c_str());
  RemoveDirectoryA((folder + "sub.lan").c_str());
  RemoveDirectoryA(folder.c_str());
}

}  // namespace

int main() {
  test_support::RegisterPlainWindowClass(u"FwTestPlain");
  TestMessageTables();
  TestSubclassAndDefault();
  TestDialogs();
  TestFiles();
  TestLifeAndInput();
  return wine_check::Finish("framework_test");
}
