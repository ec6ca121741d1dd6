#pragma once
// The main dialog's six result fields and the labels above them, in display order: time
// stamp, serial number, MAC address, user name, job name, description. The page shows a
// record in the fields; printing reads labels and fields back.

#include <array>

#include "resource.h"

inline constexpr std::array<int, 6> kResultFieldIds = {IDC_EDIT_TIME_STAMP, IDC_EDIT_SERIAL_NUMBER,
                                                       IDC_EDIT_MAC_ADDRESS, IDC_EDIT_USER_NAME,
                                                       IDC_EDIT_JOB_NAME,   IDC_EDIT_DESCRIPTION};
inline constexpr std::array<int, 6> kResultLabelIds = {IDC_LABEL_TIME_STAMP, IDC_LABEL_SERIAL_NUMBER,
                                                       IDC_LABEL_MAC_ADDRESS, IDC_LABEL_USER_NAME,
                                                       IDC_LABEL_JOB_NAME,   IDC_LABEL_DESCRIPTION};
