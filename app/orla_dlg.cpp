#include "orla_dlg.h"

#include <cstring>
#include <iterator>

#include "lang/lang_text.h"
#include "pages/page_navigation.h"
#include "process/single_instance.h"
#include "resource.h"
#include "track/scan_source_name.h"
#include "tracking_records.h"

namespace {

using orla::ControlTextKey;

constexpr std::uint32_t kCaptionKey = 0x02000000;
constexpr ControlTextKey kControlTextKeys[] = {
    {IDC_GROUP_INPUT, 0x02000001},       {IDC_RADIO_SCAN, 0x02000002},       {IDC_RADIO_FILE, 0x02000003},
    {IDC_BTN_OPEN, 0x02000004},          {IDC_BTN_TRACK, 0x02000005},        {IDC_GROUP_RESULT, 0x02000006},
    {IDC_LABEL_TIME_STAMP, 0x02000007},  {IDC_LABEL_SERIAL_NUMBER, 0x02000008}, {IDC_LABEL_MAC_ADDRESS, 0x02000009},
    {IDC_LABEL_USER_NAME, 0x0200000A},   {IDC_LABEL_JOB_NAME, 0x0200000B},   {IDC_LABEL_DESCRIPTION, 0x0200000C},
    {IDCANCEL, 0x0200000F},              {IDC_LABEL_PAGE, 0x02000010},       {IDC_BTN_HELP, 0x02000011},
    {IDC_BTN_VERSION, 0x02000012},       {IDC_BTN_CLEAR, 0x02000013},
};

constexpr char kImageFileFilter[] =
    "Image File(*.bmp;*.jpg;*.jpeg;*.jpe;*.jfif;*.tif;*.tiff;*pdf)|"
    "*.bmp;*.jpg;*.jpeg;*.jpe;*.jfif;*.tif;*.tiff;*.pdf||";

}  // namespace

BEGIN_MESSAGE_MAP(CORLADlg, CDialog)
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
  ON_BN_CLICKED(IDC_RADIO_SCAN, OnBnClickedScanFromMfp)
  ON_BN_CLICKED(IDC_RADIO_FILE, OnBnClickedSelectFromFile)
  ON_BN_CLICKED(IDC_BTN_OPEN, OnBnClickedOpen)
  ON_BN_CLICKED(IDC_BTN_TRACK, OnBnClickedTrack)
  ON_WM_CTLCOLOR()
  ON_BN_CLICKED(IDC_BTN_NEXT_PAGE, OnBnClickedNextPage)
  ON_BN_CLICKED(IDC_BTN_LAST_PAGE, OnBnClickedLastPage)
  ON_BN_CLICKED(IDC_BTN_PREV_PAGE, OnBnClickedPrevPage)
  ON_BN_CLICKED(IDC_BTN_FIRST_PAGE, OnBnClickedFirstPage)
  ON_EN_CHANGE(IDC_EDIT_FILE_PATH, OnEnChangeFilePath)
  ON_BN_CLICKED(IDC_BTN_VERSION, OnBnClickedVersion)
  ON_BN_CLICKED(IDC_BTN_HELP, OnBnClickedHelp)
  ON_MESSAGE(WM_HELP, OnHelpRequest)
  ON_BN_CLICKED(IDC_BTN_CLEAR, OnBnClickedClear)
  ON_UPDATE_COMMAND_UI(ID_FILE_PRINT, OnUpdateFilePrint)
  ON_UPDATE_COMMAND_UI(ID_FILE_SAVE_AS, OnUpdateFileSaveAs)
  ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
  ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
  ON_WM_INITMENUPOPUP()
END_MESSAGE_MAP()

CORLADlg::CORLADlg()
    : CDialog(IDD_ORLA_DIALOG, nullptr),
      m_hIcon(::LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      m_brWhite(RGB(255, 255, 255)) {}

CORLADlg::~CORLADlg() = default;

void CORLADlg::DoDataExchange(CDataExchange* dx) {
  DDX_Radio(dx, IDC_RADIO_SCAN, m_nInputMode);
  DDX_Text(dx, IDC_EDIT_FILE_PATH, m_strFilePath);
  DDX_Control(dx, IDC_BTN_TRACK, m_btnTrack);
  DDX_Control(dx, IDC_BTN_NEXT_PAGE, m_btnNextPage);
  DDX_Control(dx, IDC_BTN_LAST_PAGE, m_btnLastPage);
  DDX_Control(dx, IDC_BTN_FIRST_PAGE, m_btnFirstPage);
  DDX_Control(dx, IDC_BTN_PREV_PAGE, m_btnPrevPage);
}

BOOL CORLADlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

  orla::SetWindowTextById(m_hWnd, kCaptionKey);
  orla::SetDlgItemTextsById(m_hWnd, kControlTextKeys, std::size(kControlTextKeys));

  const BOOL fileMode = m_nInputMode != 0;
  GetDlgItem(IDC_BTN_OPEN)->EnableWindow(fileMode);
  GetDlgItem(IDC_EDIT_FILE_PATH)->EnableWindow(fileMode);

  m_bTwainReady = OpenSourceManager(m_hWnd) ? 1 : 0;

  CButtonVE_Image* const buttons[] = {&m_btnTrack, &m_btnNextPage, &m_btnLastPage, &m_btnPrevPage, &m_btnFirstPage};
  constexpr UINT kBitmaps[] = {IDB_TRACK, IDB_NEXT_PAGE, IDB_LAST_PAGE, IDB_PREV_PAGE, IDB_FIRST_PAGE};
  for (std::size_t i = 0; i < std::size(buttons); ++i) {
    m_bmpButtons[i].LoadBitmapW(kBitmaps[i]);
    buttons[i]->ModifyStyle(0, BS_BITMAP);
    buttons[i]->SendMessage(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_bmpButtons[i].GetSafeHandle()));
  }

  // The dialog starts as Clear leaves it.
  m_nCurrentPage = 1;
  ClearResultDisplay();
  GetDlgItem(IDC_BTN_CLEAR)->EnableWindow(FALSE);

  // An empty message keeps the resource's menu text.
  const std::u16string saveAs = orla::GetLangTextW(orla::kMsgMenuSaveAs);
  const std::u16string print = orla::GetLangTextW(orla::kMsgMenuPrint);
  const std::u16string file = orla::GetLangTextW(orla::kMsgMenuFile);
  CMenu* menu = GetMenu();
  CMenu* popup = menu != nullptr ? menu->GetSubMenu(0) : nullptr;
  if (popup != nullptr) {
    if (!file.empty()) {
      menu->ModifyMenuW(0, MF_BYPOSITION | MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(popup->m_hMenu),
                        file.c_str());
    }
    if (!saveAs.empty()) popup->ModifyMenuW(0, MF_BYPOSITION | MF_STRING, ID_FILE_SAVE_AS, saveAs.c_str());
    if (!print.empty()) popup->ModifyMenuW(1, MF_BYPOSITION | MF_STRING, ID_FILE_PRINT, print.c_str());
    DrawMenuBar(m_hWnd);
  }

  SetPropA(m_hWnd, kSingleInstanceName, reinterpret_cast<HANDLE>(1));
  return TRUE;
}

BOOL CORLADlg::PreTranslateMessage(MSG* msg) {
  // Every message passes the scanner session first; it may start transfers from here.
  ProcessEvent(*msg);

  if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && m_hWnd != nullptr) {
    HWND target = msg->hwnd;
    if (target == ::GetDlgItem(m_hWnd, IDC_EDIT_PAGE)) {
      CString text;
      CWnd::FromHandle(target)->GetWindowText(text);
      const int page = orla::PageFieldTarget(text.str(), g_TrackingRecords.size(), m_nCurrentPage);
      ShowPage(static_cast<unsigned>(page - 1));
      return TRUE;
    }
    if (target == ::GetDlgItem(m_hWnd, IDC_EDIT_FILE_PATH)) {
      ::SetFocus(::GetDlgItem(m_hWnd, IDC_BTN_TRACK));
      return TRUE;
    }
    if (target == ::GetDlgItem(m_hWnd, IDC_BTN_TRACK)) {
      OnBnClickedTrack();
      return TRUE;
    }
  }
  return CDialog::PreTranslateMessage(msg);
}

void CORLADlg::KeepKeyboardFocus(int preferredId) {
  // Another window of the program that is active (the scanner's, a message box) keeps the
  // keyboard.
  if (m_hWnd == nullptr || ::GetActiveWindow() != m_hWnd) return;
  const HWND focus = ::GetFocus();
  if (focus != nullptr && focus != m_hWnd && ::IsChild(m_hWnd, focus) && ::IsWindowEnabled(focus)) return;
  // Never a push button such as Close, where Enter would end the program: Track is disabled
  // only in file mode without a path, and then the path field is enabled.
  for (int id : {preferredId, IDC_BTN_TRACK, IDC_EDIT_PAGE, IDC_EDIT_FILE_PATH}) {
    const HWND control = ::GetDlgItem(m_hWnd, id);
    if (control != nullptr && ::IsWindowEnabled(control) && ::IsWindowVisible(control)) {
      // As the dialog moves the focus itself: the default button follows, an edit's text is
      // selected.
      SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
      return;
    }
  }
}

void CORLADlg::OnBnClickedScanFromMfp() {
  UpdateData(TRUE);
  GetDlgItem(IDC_BTN_OPEN)->EnableWindow(FALSE);
  GetDlgItem(IDC_EDIT_FILE_PATH)->EnableWindow(FALSE);
  GetDlgItem(IDC_BTN_TRACK)->EnableWindow(TRUE);
}

void CORLADlg::OnBnClickedSelectFromFile() {
  UpdateData(TRUE);
  // Pages from the scanner belong to a scanner run. Left open, the scanner's window would go
  // on delivering pages into the file's results, and its events would be lost while a file
  // run's progress window turns the messages. Track in scanner mode opens it again.
  CloseSourceWhenIdle();
  GetDlgItem(IDC_BTN_OPEN)->EnableWindow(TRUE);
  GetDlgItem(IDC_EDIT_FILE_PATH)->EnableWindow(TRUE);
  GetDlgItem(IDC_BTN_TRACK)->EnableWindow(!m_strFilePath.IsEmpty());
}

void CORLADlg::OnBnClickedOpen() {
  CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kImageFileFilter, nullptr);
  const CString title = orla::GetLangText(orla::kMsgOpenImageTitle);
  dialog.m_ofn.lpstrTitle = title.IsEmpty() ? nullptr : static_cast<const char*>(title);
  if (dialog.DoModal() != IDOK) return;
  SetDlgItemText(IDC_EDIT_FILE_PATH, dialog.GetPathName());
  UpdateData(TRUE);
}

int CORLADlg::SelectSource() {
  if (m_bSourceSelected != 0) return 1;
  TW_IDENTITY identity{};
  TW_UINT16 message = MSG_GETFIRST;
  for (;;) {
    if (m_hTwainDll == nullptr || m_pDsmEntry == nullptr) {
      m_nLastReturnCode = TWRC_FAILURE;
      return 0;
    }
    std::memset(&identity, 0, sizeof identity);
    m_nLastReturnCode = m_pDsmEntry(&m_AppId, nullptr, DG_CONTROL, DAT_IDENTITY, message, &identity);
    if (m_nLastReturnCode != TWRC_SUCCESS) {
      m_pDsmEntry(&m_AppId, nullptr, DG_CONTROL, DAT_STATUS, MSG_GET, &m_Status);
      return 0;
    }
    // The identity is kept as the manager gave it; only a copy of the name is lowered.
    if (orla::IsRemoteScanSourceName(identity.ProductName)) {
      m_bSourceSelected = 1;
      m_SourceId = identity;
      return 1;
    }
    message = MSG_GETNEXT;
  }
}

void CORLADlg::OnPaint() {
  if (!IsIconic(m_hWnd)) {
    Default();
    return;
  }
  CPaintDC dc(this);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
  const int iconWidth = GetSystemMetrics(SM_CXICON);
  const int iconHeight = GetSystemMetrics(SM_CYICON);
  RECT client{};
  GetClientRect(&client);
  const int x = (client.right - client.left - iconWidth + 1) / 2;
  const int y = (client.bottom - client.top - iconHeight + 1) / 2;
  DrawIcon(dc.GetSafeHdc(), x, y, m_hIcon);
}

HCURSOR CORLADlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }
