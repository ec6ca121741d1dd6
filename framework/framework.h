#pragma once
// The framework in one include.

#include "afx_string.h"
#include "afx_types.h"
#include "controls.h"
#include "data_exchange.h"
#include "dialog.h"
#include "file.h"
#include "file_dialog.h"
#include "gdi.h"
#include "message_map.h"
#include "print_dialog.h"
#include "wnd.h"
