#pragma once
// What the recognizer made of a page that carries two prints: one of their records, no record,
// or any other record reported as found, which on such a page is a record spliced from both.

#include "page_outcome.h"
#include "two_prints.h"

namespace orla::test {

enum class TwoPrintOutcome { OneOfTheTwo, Nothing, Spliced };

inline const char* NameOf(TwoPrintOutcome outcome) {
  switch (outcome) {
    case TwoPrintOutcome::OneOfTheTwo:
      return "one of the two";
    case TwoPrintOutcome::Nothing:
      return "nothing";
    case TwoPrintOutcome::Spliced:
      return "spliced";
  }
  return "?";
}

inline TwoPrintOutcome RecognizeTwoPrints(const orla::pattern::TwoPrintPage& made) {
  CHalvoPic pic;
  if (!orla::pattern::ToHalvoPic(made.page, pic)) return TwoPrintOutcome::Nothing;
  ClearTrackingRecords();
  CShadingReg reg;
  const int result = reg.Recognize(&pic, 0);
  const std::size_t records = g_TrackingRecords.size();
  const bool either =
      records == 1 && (SameRecord(g_TrackingRecords[0], made.first) || SameRecord(g_TrackingRecords[0], made.second));
  ClearTrackingRecords();
  if (result == orla::kRecognizeNothingFound && records == 0) return TwoPrintOutcome::Nothing;
  return result == orla::kRecognizeFound && either ? TwoPrintOutcome::OneOfTheTwo : TwoPrintOutcome::Spliced;
}

}  // namespace orla::test
