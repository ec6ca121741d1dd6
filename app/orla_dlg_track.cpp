// The Track road: the Track button starts a file run or a scanner run; every page becomes one
// record; after each finished page the list is trimmed to the run and page 1 is shown.

#include <windows.h>

#include <memory>
#include <span>

#include "file.h"
#include "halvo_pic.h"
#include "lang/lang_text.h"
#include "orla_dlg.h"
#include "process/process_windows.h"
#include "progress/x_progress_wnd.h"
#include "recognize_result.h"
#include "resource.h"
#include "shading_reg.h"
#include "track/image_path_rule.h"
#include "track/page_file_run.h"
#include "track/page_file_type.h"
#include "track/run_records.h"
#include "track/scan_message_owner.h"
#include "track/unix_path.h"
#include "tracking_records.h"

namespace {

// The windows a file run shows: the progress window over the dialog, and the messages.
class DialogFileRunHost final : public orla::FileRunHost {
 public:
  explicit DialogFileRunHost(CORLADlg& dialog)
      : dialog_(dialog),
        pageFormat_(orla::GetLangText(orla::kMsgProgressText)),
        title_(orla::GetLangText(orla::kMsgProgressTitle)) {}

  orla::ProgressSink* OpenProgress() override {
    progress_ = std::make_unique<CXProgressWnd>(&dialog_, title_);
    progress_->EnterModal(&dialog_);
    progress_->SetRangeDefault();
    progress_->SetCancelButtonText(orla::GetLangText(orla::kMsgProgressCancel));
    return progress_.get();
  }
  void CloseProgress() override {
    progress_.reset();
    // The dialog is enabled again; one that Cancel brought to the front while it was still
    // disabled is not activated anew and gives the focus to none of its controls. Track takes
    // it then, where Enter starts the next run.
    const HWND focus = ::GetFocus();
    const HWND track = ::GetDlgItem(dialog_.m_hWnd, IDC_BTN_TRACK);
    if ((focus == nullptr || focus == dialog_.m_hWnd) && ::IsWindowEnabled(track)) ::SetFocus(track);
  }
  void ClearProgress() override {
    if (progress_) progress_->Clear();
  }
  void ShowPageText(int page) override {
    // The format comes from the language file: SetText takes it through the safe formatter.
    if (progress_ && !pageFormat_.IsEmpty()) progress_->SetText(pageFormat_, page);
  }
  void ProgressToFront() override {
    if (progress_ && progress_->m_hWnd != nullptr) progress_->SetForegroundWindow();
  }
  void ReportToDialog(int id) override {
    dialog_.SetForegroundWindow();
    orla::ShowErrorMessage(id, dialog_.m_hWnd);
  }
  void ReportNothingFound() override {
    orla::ShowErrorMessage(orla::kMsgNothingFound, progress_ ? progress_->m_hWnd : dialog_.m_hWnd);
  }
  void FinishRun() override { dialog_.FinishRun(); }

 private:
  CORLADlg& dialog_;
  const CString pageFormat_;
  const CString title_;
  std::unique_ptr<CXProgressWnd> progress_;
};

// The platform's side of the owner walk for a scanned page's message.
struct PlatformWindows {
  bool IsWindow(HWND w) const { return ::IsWindow(w) != FALSE; }
  bool IsIconic(HWND w) const { return ::IsIconic(w) != FALSE; }
  bool IsVisible(HWND w) const { return ::IsWindowVisible(w) != FALSE; }
  void Restore(HWND w) const { ::ShowWindow(w, SW_RESTORE); }
  void BringToFront(HWND w) const { ::SetForegroundWindow(w); }
  bool IsTopmost(HWND w) const { return (::GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
};

}  // namespace

void CORLADlg::OnBnClickedTrack() {
  UpdateData(TRUE);
  if (m_nInputMode == 0) {
    if (m_bTwainReady == 0) {
      orla::ShowErrorMessage(orla::kMsgNoScannerInterface, m_hWnd);
      return;
    }
    if (m_hTwainDll != nullptr && m_pDsmEntry != nullptr && m_bDsmOpen != 0 && SelectSource() != 0) {
      m_nRunStart = static_cast<int>(g_TrackingRecords.size());
      m_bRunPending = 1;
      // A source that cannot be opened or enabled is no usable source either.
      if (Acquire()) return;
    }
    SetForegroundWindow();
    orla::ShowErrorMessage(orla::kMsgNoScannerSource, m_hWnd);
    return;
  }

  if (m_strFilePath.IsEmpty()) return;
  if (!orla::IsAcceptedImagePath(m_strFilePath.str())) {
    SetForegroundWindow();
    orla::ShowErrorMessage(orla::kMsgCannotOpenFile, m_hWnd);
    return;
  }
  m_bRunPending = 1;
  m_nRunStart = static_cast<int>(g_TrackingRecords.size());
  ProcessImageFile(m_strFilePath);
  m_bRunPending = 0;
  // The progress window had the keyboard: Track gets it back, where Enter runs again.
  KeepKeyboardFocus(IDC_BTN_TRACK);
}

void CORLADlg::ProcessImageFile(CString path) {
  CShadingReg recognizer;
  DialogFileRunHost host(*this);

  std::uint8_t head[2] = {};
  UINT read = 0;
  {
    // Others may read the file meanwhile, but not change it.
    CFile file;
    if (!file.Open(path, CFile::modeRead)) {
      SetForegroundWindow();
      orla::ShowErrorMessage(orla::kMsgCannotOpenFile, m_hWnd);
      return;
    }
    read = file.Read(head, sizeof head);
  }
  const orla::PageFileType type = orla::PageFileTypeOf(std::span<const std::uint8_t>(head, read), path.str());
  orla::RunPageFile(type, orla::UnixPathOf(path), recognizer, g_TrackingRecords, host);
}

void CORLADlg::OnImageAcquired(PackedDib dib, const TW_IMAGEINFO*) {
  CShadingReg recognizer;
  CHalvoPic loaded;
  CHalvoPic converted;
  if (loaded.LoadFromDib(dib) == 0) {
    SetForegroundWindow();
    return;
  }
  // Decided before conversion: a 1-bit scan is read in a single pass.
  const int singlePass = loaded.bitsPerPixel == 1 ? 1 : 0;
  CHalvoPic* page = &loaded;
  if (!loaded.IsGreyPage()) {
    loaded.ConvertTo8Bit(converted);
    loaded.Free();
    page = &converted;
  }
  if (page->rows.empty()) {  // nothing to read: like a page that could not be loaded
    SetForegroundWindow();
    return;
  }
  const orla::RecognizeResult result = recognizer.Recognize(page, singlePass);
  if (result == orla::kRecognizeNothingFound) {
    g_TrackingRecords.push_back(TrackingRecord{});
    orla::ShowErrorMessage(orla::kMsgNothingFound, ScanMessageOwner());
  }
  FinishRun();
}

void CORLADlg::OnTransferFailed(int image) {
  // The pages that arrived stay, and those the scanner still offers follow: only this one is
  // missing, and the user must know to scan it again.
  orla::ShowErrorMessage(orla::kMsgScanTransferFailed, ScanMessageOwner(), {image});
}

HWND CORLADlg::ScanMessageOwner() {
  CollectProcessWindows(GetCurrentProcessId());
  PlatformWindows windows;
  return orla::ChooseScanMessageOwner<HWND>(g_ProcessWindows, m_hWnd, windows);
}

void CORLADlg::FinishRun() {
  orla::TrimRecordsToRun(g_TrackingRecords, m_bRunPending, m_nRunStart);
  if (!g_TrackingRecords.empty()) {
    m_nCurrentPage = 1;
    ShowPage(0);
    UpdateData(FALSE);
  } else {
    GetDlgItem(IDC_BTN_CLEAR)->EnableWindow(FALSE);
  }
  SetForegroundWindow();
  // A scanned page ends its run here; a file run is still under its progress window.
  KeepKeyboardFocus(IDC_BTN_TRACK);
}
