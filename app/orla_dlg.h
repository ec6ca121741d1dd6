#pragma once
// CORLADlg: the main window. The operator chooses where the pages come from (the scanner or
// an image file), presses Track, and leafs through the results page by page. The dialog is
// itself the TWAIN session: every message of its loop passes the session first, and scanned
// pages arrive through OnImageAcquired.

#include <windows.h>

#include <array>
#include <string>

#include "buttons/button_ve_image.h"
#include "framework.h"
#include "twain_session.h"

class CORLADlg : public CDialog, public CTwain {
 public:
  CORLADlg();
  ~CORLADlg() override;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  // Enter never closes the dialog.
  void OnOK() override {}

  // Chooses the printer's remote-scan source without asking: the first source whose product
  // name holds "lumaro" and "remote".
  int SelectSource() override;
  void OnImageAcquired(PackedDib dib, const TW_IMAGEINFO* info) override;
  void OnTransferFailed(int image) override;

  // The result pages.
  void ShowPage(unsigned index);
  void ClearResultDisplay();

  // When no enabled control of the active dialog has the keyboard focus (a focused control was
  // disabled, or a run's windows took it), it goes to `preferredId` or another control where
  // Enter works.
  void KeepKeyboardFocus(int preferredId);

  // The Track road.
  void ProcessImageFile(CString path);
  void FinishRun();

  // The File menu's commands: the shown result on paper, every record to a file.
  void PrintCurrentPage();
  void SaveRecords();

  HICON m_hIcon;
  int m_bTwainReady = 0;
  CBrush m_brWhite;
  int m_nInputMode = 0;
  CString m_strFilePath;
  int m_nCurrentPage = 1;
  CButtonVE_Image m_btnTrack;
  CButtonVE_Image m_btnNextPage;
  CButtonVE_Image m_btnLastPage;
  CButtonVE_Image m_btnPrevPage;
  CButtonVE_Image m_btnFirstPage;
  int m_bRunPending = 1;
  int m_nRunStart = 0;

 protected:
  void OnPaint();
  HCURSOR OnQueryDragIcon();
  void OnBnClickedScanFromMfp();
  void OnBnClickedSelectFromFile();
  void OnBnClickedOpen();
  void OnBnClickedTrack();
  HBRUSH OnCtlColor(CDC* dc, CWnd* control, UINT kind);
  void OnBnClickedNextPage();
  void OnBnClickedLastPage();
  void OnBnClickedPrevPage();
  void OnBnClickedFirstPage();
  void OnEnChangeFilePath();
  void OnBnClickedVersion();
  void OnBnClickedHelp();
  LRESULT OnHelpRequest(WPARAM, LPARAM);
  void OnBnClickedClear();
  void OnUpdateFilePrint(CCmdUI* cmdUi);
  void OnUpdateFileSaveAs(CCmdUI* cmdUi);
  void OnFilePrint();
  void OnFileSaveAs();
  void OnInitMenuPopup(CMenu* popup, UINT index, BOOL systemMenu);
  DECLARE_MESSAGE_MAP()

 private:
  // The owner of a message about a scanned page: the scanner's own window may be up in front
  // of the dialog, and the message must show above it.
  HWND ScanMessageOwner();

  // The normal images of the five image buttons: BM_SETIMAGE lends them to the buttons, which
  // do not free them, so the dialog keeps and frees them.
  std::array<CBitmap, 5> m_bmpButtons;
};
