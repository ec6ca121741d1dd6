// The File menu's Print and Save As commands and the Version button of the main dialog. The
// portable pieces they use are results_document, save_records, save_target, result_sheet,
// text_print_job and version_text; the commands are wired to them separately.

#include "orla_dlg.h"

void CORLADlg::OnFilePrint() {}

void CORLADlg::OnFileSaveAs() {}

void CORLADlg::OnBnClickedVersion() {}
