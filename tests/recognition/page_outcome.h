#pragma once
// What the recognizer made of a pattern page, as its user would see it: the record written
// (correct), no record (nothing), or any other record reported as found (wrong).

#include <string>

#include "grey_page.h"
#include "page_files.h"
#include "payload.h"
#include "record_expect.h"
#include "shading_reg.h"
#include "tracking_records.h"

namespace orla::test {

enum class PageOutcome { Correct, Nothing, Wrong };

inline const char* NameOf(PageOutcome outcome) {
  switch (outcome) {
    case PageOutcome::Correct:
      return "correct";
    case PageOutcome::Nothing:
      return "nothing";
    case PageOutcome::Wrong:
      return "wrong";
  }
  return "?";
}

inline PageOutcome RecognizeOutcome(const orla::pattern::GreyPage& page, const orla::pattern::PatternRecord& written) {
  CHalvoPic pic;
  if (!orla::pattern::ToHalvoPic(page, pic)) return PageOutcome::Nothing;
  ClearTrackingRecords();
  CShadingReg reg;
  const int result = reg.Recognize(&pic, 0);
  const std::size_t records = g_TrackingRecords.size();
  const bool same = records == 1 && SameRecord(g_TrackingRecords[0], written);
  ClearTrackingRecords();
  if (result == orla::kRecognizeNothingFound && records == 0) return PageOutcome::Nothing;
  return result == orla::kRecognizeFound && same ? PageOutcome::Correct : PageOutcome::Wrong;
}

}  // namespace orla::test
