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
  if (!gzip && !CellsVouched(used)) return 1;

  const CGzipMemReader reader(payload.data() + kPayloadHeaderBytes, totalLength - kPayloadHeaderBytes);
  if (reader.error < 0 || reader.output == nullptr) return 1;
  TrackingRecord record;
  if (!orla::ParseRecordText(std::span(reader.output, static_cast<std::size_t>(reader.outputLength)), record)) return 1;
  if (!gzip && !orla::IsPlausibleRecord(record)) return 1;
  g_TrackingRecords.push_back(record);
  return 0;
}

bool CShadingReg::CellsVouched(int used) const {
  for (int s = 0; s < used; ++s) {
    const BlockReading* vouched = evidence[s].Vouched();
    if (vouched == nullptr) return false;
    const BlockReading& cell = blockSlots[s].cell;
    // Only the bytes the assembly took from the last cell matter.
    const int bytes = s + 1 < used ? orla::kBlockPayloadBytes : 3 * LeadingPresentSymbols(cell) / 8;
    if (!std::equal(cell.data.begin(), cell.data.begin() + bytes, vouched->data.begin())) return false;
  }
  return true;
}
