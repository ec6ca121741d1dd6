#pragma once
// CDlgVersionInf: the modal "Version Information" box of the main dialog's Version button. It
// shows the product version of the program file's own version resource, read when the box
// opens; its other texts are those of its template.

#include "framework.h"

class CDlgVersionInf : public CDialog {
 public:
  // No parent: the framework makes the main window its owner.
  CDlgVersionInf();
  ~CDlgVersionInf() override;

  // No handlers of its own: OK, Esc and the close box end it through CDialog's message map.
  BOOL OnInitDialog() override;
};
