#pragma once
// Dialog data exchange between members and controls.

#include <windows.h>

#include "afx_string.h"
#include "wnd.h"

class CDataExchange {
 public:
  CDataExchange(CWnd* dialog, BOOL save) : m_pDlgWnd(dialog), m_bSaveAndValidate(save) {}
  HWND ControlHandle(int id) const { return ::GetDlgItem(m_pDlgWnd->m_hWnd, id); }

  CWnd* m_pDlgWnd;
  BOOL m_bSaveAndValidate;
};

// The radio group that starts with control `id`: its checked button's index, -1 for none.
void DDX_Radio(CDataExchange* dx, int id, int& value);
// A control's text; written to the control only when it differs, so no needless change
// notification is raised.
void DDX_Text(CDataExchange* dx, int id, CString& value);
// Binds `control` to the dialog's control `id` once.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
