#pragma once
// The display forms of a record's time stamp and MAC address, shared by the result fields of
// the main dialog and by the saved files. Texts of another length than 12 stay as they are;
// the characters are not checked.

#include <string>
#include <string_view>

// YYMMDDhhmmss becomes 20YY/MM/DD hh:mm:ss.
std::string FormatTimeStampForDisplay(std::string_view timeStamp);
// aabbccddeeff becomes aa-bb-cc-dd-ee-ff, letter case kept.
std::string FormatMacAddressForDisplay(std::string_view macAddress);
