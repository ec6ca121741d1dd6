// Names shared by the custom action and its hooks: window classes, window properties on the
// installer dialog, installer properties and the two database queries.
#pragma once

namespace trellum {

inline constexpr const wchar_t* kDialogClass = L"MsiDialogCloseClass";
inline constexpr const wchar_t* kDialogHostClass = L"Kivrel_Win";
inline constexpr const wchar_t* kTextBoxClass = L"RichEdit20W";

inline constexpr const wchar_t* kPropProcRetHook = L"KIVREL_HOOK_PROCRET";
inline constexpr const wchar_t* kPropGetMsgHook = L"KIVREL_HOOK_GETMSG";
inline constexpr const wchar_t* kPropLicenceViewed = L"KIVREL_LICVIEWED";

inline constexpr const wchar_t* kLicenseViewed = L"LicenseViewed";
inline constexpr const wchar_t* kLicenseWatching = L"KivrelLicenseWatching";

inline constexpr const wchar_t* kNextConditionQuery =
    L"SELECT `Condition` FROM `ControlCondition` WHERE `Dialog_`='LicenseAgreement' AND "
    L"`Control_`='Next' AND `Action`='Enable'";
inline constexpr const wchar_t* kNextTextQuery =
    L"SELECT `Text` FROM `Control` WHERE `Dialog_`='LicenseAgreement' AND `Control`='Next'";

}  // namespace trellum
