#include "data_exchange.h"

namespace {

bool IsRadioButton(HWND control) {
  if ((::SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) == 0) return false;
  return true;
}

}  // namespace

void DDX_Radio(CDataExchange* dx, int id, int& value) {
  HWND control = dx->ControlHandle(id);
  if (control == nullptr) return;
  if (dx->m_bSaveAndValidate) value = -1;
  int index = 0;
  // The group runs from the first button to the next control that starts a group.
  do {
    if (IsRadioButton(control)) {
      if (dx->m_bSaveAndValidate) {
        if (::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
      } else {
        ::SendMessageW(control, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
      }
      ++index;
    }
    control = ::GetWindow(control, GW_HWNDNEXT);
  } while (control != nullptr && (::GetWindowLongPtrW(control, GWL_STYLE) & WS_GROUP) == 0);
}

void DDX_Text(CDataExchange* dx, int id, CString& value) {
  HWND control = dx->ControlHandle(id);
  if (control == nullptr) return;
  CWnd* wrapper = CWnd::FromHandle(control);
  CString current;
  wrapper->GetWindowText(current);
  if (dx->m_bSaveAndValidate) {
    value = current;
  } else if (!(current == value)) {
    ::SetWindowTextA(control, value);
  }
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
  if (control.m_hWnd != nullptr) return;
  HWND handle = dx->ControlHandle(id);
  if (handle != nullptr) control.SubclassWindow(handle);
}
