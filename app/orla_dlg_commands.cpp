// The File menu's Print and Save As commands and the Version button of the main dialog. The
// layout of the printed sheet and the saved texts are portable (result_sheet, save_records);
// here they meet the common dialogs, the printer and the file system.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "about/dlg_version_inf.h"
#include "lang/lang_text.h"
#include "orla_dlg.h"
#include "print/printer_sheet.h"
#include "print/result_sheet.h"
#include "result_controls.h"
#include "saving/save_records.h"
#include "saving/win32_file_store.h"
#include "text/code_page_conversion.h"
#include "tracking_records.h"

namespace {

constexpr char kResultsFileFilter[] = "xml Files(*.xml)|*.xml|csv Files(*.csv)|*.csv||";

// A control's text as the dialog shows it, in the process code page.
std::string ControlText(CWnd* dialog, int id) {
  CWnd* control = dialog->GetDlgItem(id);
  return control != nullptr ? orla::WideToMultiByte(control->GetWindowTextW(), nullptr) : std::string();
}

}  // namespace

void CORLADlg::OnFilePrint() { PrintCurrentPage(); }

void CORLADlg::PrintCurrentPage() {
  HDC printer = nullptr;
  {
    // No Help button, no print-to-file box. The dialog object frees the printer settings it
    // was given when it goes; the context is handed on.
    CPrintDialog dialog(FALSE, PD_DISABLEPRINTTOFILE | PD_HIDEPRINTTOFILE | PD_RETURNDC);
    dialog.m_pd.Flags &= ~static_cast<DWORD>(PD_SHOWHELP);
    if (dialog.DoModal() != IDOK) return;
    printer = dialog.GetPrinterDC();
  }

  orla::ResultSheet sheet;
  for (std::size_t i = 0; i < sheet.labels.size(); ++i) {
    sheet.labels[i] = ControlText(this, kResultLabelIds[i]);
    sheet.values[i] = ControlText(this, kResultFieldIds[i]);
  }
  sheet.headerLabel = orla::GetLangText(orla::kMsgPrintedLabel).str();
  sheet.shownPage = m_nCurrentPage;
  // A printer chosen without a context for it fails like a refused document.
  if (!orla::PrintSheetOnPrinter(printer, sheet)) {
    SetForegroundWindow();
    orla::ShowErrorMessage(orla::kMsgCannotPrint, m_hWnd);
  }
}

void CORLADlg::OnFileSaveAs() { SaveRecords(); }

void CORLADlg::SaveRecords() {
  CFileDialog dialog(FALSE, "xml", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST,
                     kResultsFileFilter, this);
  const CString title = orla::GetLangText(orla::kMsgSaveTitle);
  dialog.m_ofn.lpstrTitle = title.IsEmpty() ? nullptr : static_cast<const char*>(title);
  if (dialog.DoModal() != IDOK) return;

  orla::Win32FileStore files;
  orla::SaveServices services;
  services.files = &files;
  // The save dialog asked only about the name chosen; a name the extension rule changed is
  // asked about here, naming the file that would go, which is not the one typed.
  services.confirmReplace = [this](const std::string& target) {
    const std::u16string question =
        orla::MultiByteToWide(orla::FileNameOf(target)) + u"\n\n" + orla::GetLangTextW(orla::kMsgReplaceFile);
    return orla::ShowMessageBox(m_hWnd, question, orla::GetLangTextW(orla::kMsgCaption),
                                MB_YESNO | MB_ICONQUESTION) == IDYES;
  };
  services.toUtf8 = [](std::string_view text) -> std::optional<std::string> {
    std::string utf8 = orla::AnsiToUtf8(text);
    // A text that converts to nothing could not be converted.
    if (utf8.empty() && !text.empty()) return std::nullopt;
    return utf8;
  };
  if (orla::SaveRecordsToFile(g_TrackingRecords, dialog.GetPathName().str(), services) == orla::SaveOutcome::Failed) {
    SetForegroundWindow();
    orla::ShowErrorMessage(orla::kMsgCannotSave, m_hWnd);
  }
}

void CORLADlg::OnBnClickedVersion() {
  CDlgVersionInf about;
  about.DoModal();
}
