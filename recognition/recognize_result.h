#pragma once
// Result codes of the recognizer: of CShadingReg::Recognize and of every stage of a pass.

namespace orla {

using RecognizeResult = int;

inline constexpr RecognizeResult kRecognizeFound = 0;  // the record is already appended
inline constexpr RecognizeResult kRecognizeNothingFound = 1;
inline constexpr RecognizeResult kRecognizeCancelled = 7;

// The block-frame operations answer with their own pair of codes.
inline constexpr int kFrameFitted = 6;
inline constexpr int kFrameNotFitted = 1;

}  // namespace orla
