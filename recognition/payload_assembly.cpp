// Joining the payload from the block slots and turning it into a tracking record.

#include <algorithm>
#include <cstring>

#include "block_check.h"
#include "gzip_mem_reader.h"
#include "record_text.h"
#include "shading_reg.h"
#include "tracking_records.h"

int CShadingReg::AssemblePayload() {
  int n = 0;
  const int used = std::clamp(slotsUsed, 0, kBlockSlots);
  for (int s = 0; s < used; ++s) {
    const BlockReading& cell = blockSlots[static_cast<std::size_t>(s)].cell;
    const int bytes = s + 1 < used ? orla::kBlockPayloadBytes : 3 * LeadingPresentSymbols(cell) / 8;
    std::memcpy(payload.data() + n, cell.data.data(), static_cast<std::size_t>(bytes));
    n += bytes;
  }
  const int totalLength = orla::LittleEndian16(payload[0], payload[1]);
  // A length below the header's own would ask the reader for a negative number of bytes.
  if (n < totalLength || totalLength < kPayloadHeaderBytes) return 1;
  std::copy_n(payload.begin(), kPayloadHeaderBytes, payloadHeader.begin());

  const CGzipMemReader reader(payload.data() + kPayloadHeaderBytes, totalLength - kPayloadHeaderBytes);
  if (reader.error < 0 || reader.output == nullptr) return 1;
  TrackingRecord record;
  if (!orla::ParseRecordText(std::span(reader.output, static_cast<std::size_t>(reader.outputLength)), record)) return 1;
  g_TrackingRecords.push_back(record);
  return 0;
}
