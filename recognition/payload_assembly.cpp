// Joining the payload from the block slots and turning it into a tracking record.

#include <algorithm>
#include <cstring>

#include "block_check.h"
#include "gzip_mem_reader.h"
#include "record_text.h"
#include "shading_reg.h"
#include "tracking_records.h"

namespace {

// The two bytes every gzip member starts with: only such a payload is checked by its stream.
constexpr std::uint8_t kGzipId1 = 0x1F;
constexpr std::uint8_t kGzipId2 = 0x8B;

}  // namespace

int CShadingReg::AssemblePayload() {
  int n = 0;
  const int used = std::clamp(slotsUsed, 0, kBlockSlots);
  for (int s = 0; s < used; ++s) {
    const BlockReading& cell = blockSlots[s].cell;
    const int bytes = s + 1 < used ? orla::kBlockPayloadBytes : 3 * LeadingPresentSymbols(cell) / 8;
    std::memcpy(payload.data() + n, cell.data.data(), static_cast<std::size_t>(bytes));
    n += bytes;
  }
  const int totalLength = orla::LittleEndian16(payload[0], payload[1]);
  // A length below the header's own would ask the reader for a negative number of bytes.
  if (n < totalLength || totalLength < kPayloadHeaderBytes) return 1;
  std::copy_n(payload.begin(), kPayloadHeaderBytes, payloadHeader.begin());

  const bool gzip = totalLength - kPayloadHeaderBytes >= 2 && payload[kPayloadHeaderBytes] == kGzipId1 &&
                    payload[kPayloadHeaderBytes + 1] == kGzipId2;
  const int print = gzip ? orla::kNoPrint : VouchingPrint(used);
  if (!gzip && print == orla::kNoPrint) return 1;

  const CGzipMemReader reader(payload.data() + kPayloadHeaderBytes, totalLength - kPayloadHeaderBytes);
  if (reader.error < 0 || reader.output == nullptr) return 1;
  TrackingRecord record;
  if (!orla::ParseRecordText(std::span(reader.output, static_cast<std::size_t>(reader.outputLength)), record)) return 1;
  if (!gzip && !orla::IsPlausibleRecord(record)) return 1;
  if (!gzip && holdPlainRecords) {
    if (!plainRecordHeld) {
      plainRecordHeld = true;
      heldCellsUsed = used;
      for (int s = 0; s < used; ++s) heldCells[s] = *prints.Vouched(print, s);
    }
    return 1;
  }
  g_TrackingRecords.push_back(record);
  return 0;
}

int CShadingReg::VouchingPrint(int used) const {
  const auto vouchedBy = [&](int print) {
    if (!prints.ShowsOnePrint(print)) return false;
    for (int s = 0; s < used; ++s) {
      const BlockReading* vouched = prints.Vouched(print, s);
      // Held data stands in for data no longer vouched for (a held record made again).
      if (print == heldDataStand && (vouched == nullptr || *vouched != heldCells[s])) {
        vouched = prints.Stands(print, s, heldCells[s]) ? &heldCells[s] : nullptr;
      }
      if (vouched == nullptr) return false;
      const BlockReading& cell = blockSlots[s].cell;
      // Only the bytes the assembly took from the last cell matter.
      const int bytes = s + 1 < used ? orla::kBlockPayloadBytes : 3 * LeadingPresentSymbols(cell) / 8;
      if (!std::equal(cell.data.begin(), cell.data.begin() + bytes, vouched->data.begin())) return false;
    }
    return true;
  };
  for (int print = 0; print < prints.Count(); ++print) {
    if (vouchedBy(print)) return print;
  }
  return orla::kNoPrint;
}
