// The result pages of the main dialog: one record shown at a time, the page counter and
// buttons, Clear, the File menu's rules, the result fields' colours, Help and the path field.

#include <windows.h>

#include <array>

#include "help/help_file.h"
#include "help/help_viewer.h"
#include "lang/lang_text.h"
#include "orla_dlg.h"
#include "pages/menu_rules.h"
#include "pages/page_navigation.h"
#include "resource.h"
#include "result_controls.h"
#include "saving/results_document.h"
#include "track/run_records.h"
#include "tracking_records.h"

void CORLADlg::ShowPage(unsigned index) {
  const std::size_t count = g_TrackingRecords.size();
  if (index >= count) return;
  m_nCurrentPage = static_cast<int>(index) + 1;

  const orla::PageButtonStates states = orla::PageButtonStatesFor(m_nCurrentPage, count);
  GetDlgItem(IDC_BTN_FIRST_PAGE)->EnableWindow(states.first);
  GetDlgItem(IDC_BTN_PREV_PAGE)->EnableWindow(states.previous);
  GetDlgItem(IDC_BTN_NEXT_PAGE)->EnableWindow(states.next);
  GetDlgItem(IDC_BTN_LAST_PAGE)->EnableWindow(states.last);
  GetDlgItem(IDC_BTN_CLEAR)->EnableWindow(TRUE);
  GetDlgItem(IDC_EDIT_PAGE)->EnableWindow(TRUE);
  SetDlgItemText(IDC_EDIT_PAGE, orla::PageCounterText(m_nCurrentPage, count).c_str());

  // Empty texts for a page without a result; each field read no further than its array.
  const std::array<std::string, 6> texts = orla::RecordTexts(g_TrackingRecords[index]);
  for (std::size_t i = 0; i < kResultFieldIds.size(); ++i) SetDlgItemText(kResultFieldIds[i], texts[i].c_str());

  UpdateData(FALSE);
  // A page button that has just disabled itself had the focus.
  KeepKeyboardFocus(IDC_EDIT_PAGE);
}

void CORLADlg::ClearResultDisplay() {
  for (int id : kResultFieldIds) SetDlgItemText(id, "");
  SetDlgItemText(IDC_EDIT_PAGE, orla::PageCounterText(1, 1).c_str());
  for (int id : {IDC_EDIT_PAGE, IDC_BTN_FIRST_PAGE, IDC_BTN_PREV_PAGE, IDC_BTN_LAST_PAGE, IDC_BTN_NEXT_PAGE}) {
    GetDlgItem(id)->EnableWindow(FALSE);
  }
}

void CORLADlg::OnBnClickedNextPage() {
  if (const auto index = orla::NextPageIndex(m_nCurrentPage, g_TrackingRecords.size())) ShowPage(*index);
}

void CORLADlg::OnBnClickedLastPage() {
  if (const auto index = orla::LastPageIndex(g_TrackingRecords.size())) ShowPage(*index);
}

void CORLADlg::OnBnClickedFirstPage() {
  if (const auto index = orla::FirstPageIndex(g_TrackingRecords.size())) ShowPage(*index);
}

void CORLADlg::OnBnClickedPrevPage() {
  if (const auto index = orla::PreviousPageIndex(m_nCurrentPage)) ShowPage(*index);
}

void CORLADlg::OnBnClickedClear() {
  // The run start follows the list back to 0, so a scan run still pending keeps its own
  // first records.
  orla::ClearRunRecords(g_TrackingRecords, m_nRunStart);
  m_nCurrentPage = 1;
  ClearResultDisplay();
  GetDlgItem(IDC_BTN_CLEAR)->EnableWindow(FALSE);
  KeepKeyboardFocus(IDC_BTN_TRACK);
}

void CORLADlg::OnUpdateFilePrint(CCmdUI* cmdUi) {
  cmdUi->Enable(orla::IsPrintEnabled(g_TrackingRecords, m_nCurrentPage));
}

void CORLADlg::OnUpdateFileSaveAs(CCmdUI* cmdUi) { cmdUi->Enable(orla::IsSaveAsEnabled(g_TrackingRecords)); }

void CORLADlg::OnInitMenuPopup(CMenu* popup, UINT index, BOOL systemMenu) {
  CDialog::OnInitMenuPopup(popup, index, systemMenu);
  // A dialog gets no command-UI pass of its own: run the update handlers of the popup's items.
  if (systemMenu == FALSE) UpdatePopupMenuCommandUi(this, popup);
}

HBRUSH CORLADlg::OnCtlColor(CDC* dc, CWnd* control, UINT kind) {
  const HBRUSH standard = CDialog::OnCtlColor(dc, control, kind);
  if (kind == CTLCOLOR_STATIC && control != nullptr) {
    const int id = control->GetDlgCtrlID();
    if (id >= IDC_EDIT_TIME_STAMP && id <= IDC_EDIT_DESCRIPTION) {
      dc->SetTextColor(RGB(0, 0, 0));
      dc->SetBkColor(RGB(255, 255, 255));
      return m_brWhite;
    }
  }
  return standard;
}

void CORLADlg::OnEnChangeFilePath() {
  UpdateData(TRUE);
  GetDlgItem(IDC_BTN_TRACK)->EnableWindow(!(m_nInputMode != 0 && m_strFilePath.IsEmpty()));
}

void CORLADlg::OnBnClickedHelp() {
  // Without the program folder the bare name would be looked for in whatever folder is
  // current; nothing opens then.
  CString folder;
  if (!orla::GetProgramFolder(folder)) return;
  // The operator learns where the pages are, to open them another way.
  orla::ShowHelp(orla::HelpFilePath(orla::GetLangText(orla::kMsgHelpFileName).str(), folder.str()), m_hWnd,
                 [this](const std::u16string& startPage) {
                   SetForegroundWindow();
                   orla::ShowMessageBox(m_hWnd, orla::GetLangTextW(orla::kMsgHelpNotOpened) + u"\n\n" + startPage,
                                        orla::GetLangTextW(orla::kMsgCaption), MB_ICONHAND);
                 });
}

LRESULT CORLADlg::OnHelpRequest(WPARAM, LPARAM) {
  // F1 is the application's help command: the same help file and topic as the Help button.
  OnBnClickedHelp();
  return TRUE;
}
