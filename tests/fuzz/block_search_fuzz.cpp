// Feeds arbitrary small pages to the recognizer: grey pages to the whole pass loop, and dot
// maps to the two block stages, with the block period and pitch either learned from the map
// or taken from the input. Dot maps are drawn as short runs of evenly spaced dots, or laid
// out by the pattern writer from a record, cells and damage the input chooses, so that the
// fuzzer reaches frames, cell maps, block data, votes, combinations and assembly.

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "pattern_writer.h"
#include "scripted_progress.h"
#include "shading_reg.h"
#include "tracking_records.h"

namespace {

class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  bool Done() const { return at_ >= size_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

void GreyPage(Reader& in, CHalvoPic& pic) {
  const int width = 4 + in.Byte() % 61;
  const int height = 4 + in.Byte() % 61;
  pic.CreateBlank8(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pic.rows[static_cast<std::size_t>(y)][x] = in.Byte();
}

void DotMap(Reader& in, CHalvoPic& pic) {
  const int width = 16 + in.Byte() % 145;
  const int height = 16 + in.Byte() % 145;
  pic.CreateBlank8(width, height);
  while (!in.Done()) {
    int x = in.Byte() % width;
    int y = in.Byte() % height;
    const int dx = static_cast<std::int8_t>(in.Byte()) % 16;
    const int dy = static_cast<std::int8_t>(in.Byte()) % 16;
    const int count = 1 + in.Byte() % 16;
    for (int i = 0; i < count && x >= 0 && y >= 0 && x < width && y < height; ++i, x += dx, y += dy) {
      pic.rows[static_cast<std::size_t>(y)][x] = 0;
    }
  }
}

std::string Field(Reader& in, int longest) {
  std::string text;
  const int length = in.Byte() % (longest + 2);
  for (int i = 0; i < length; ++i) text.push_back(static_cast<char>('0' + in.Byte() % 75));
  return text;
}

// A pattern page drawn with one-pixel dots, so the page is a dot map as it stands.
bool WriterDotMap(Reader& in, CHalvoPic& pic, orla::pattern::PatternRecord& record, bool& gzip) {
  record.timeStamp = in.Byte() % 8 == 0 ? Field(in, 12) : "261210090745";
  record.serialNumber = Field(in, 10);
  record.macAddress = Field(in, 3);
  record.userName = Field(in, 3);
  record.jobName = Field(in, 3);
  record.description = Field(in, 3);
  orla::pattern::PatternOptions options;
  const std::uint8_t flags = in.Byte();
  gzip = (flags & 1) != 0;
  options.payload.compression = gzip ? orla::pattern::Compression::Gzip : orla::pattern::Compression::Plain;
  options.page.dpi = (flags & 2) != 0 ? 600 : 300;
  options.page.lattice = (flags & 4) != 0 ? orla::pattern::Lattice::Axis : orla::pattern::Lattice::Diagonal;
  options.page.quarterTurns = flags >> 3 & 3;
  options.copies = 1 + (flags >> 5 & 1);
  options.shuffle = (flags & 0x40) != 0;
  options.page.dotSize = 1;
  options.page.gapPitches = 3;
  options.page.marginPitches = 1;
  if ((flags & 0x80) != 0) {
    options.plan.firstCellMask = static_cast<std::uint16_t>(in.Byte() << 8 | in.Byte());
    options.plan.cellMask = static_cast<std::uint16_t>(in.Byte() << 8 | in.Byte());
  }
  options.page.seed = in.Byte();
  options.page.damage.dropDot = (in.Byte() % 16) / 100.0;
  options.page.damage.extraDot = (in.Byte() % 8) / 100.0;
  // The rest of the input moves single dots.
  while (!in.Done()) {
    options.page.damage.edits.push_back(
        {in.Byte() % 4, {in.Byte() % 17 - 11, in.Byte() % 17 - 2}, (in.Byte() & 1) != 0});
  }
  const orla::pattern::PatternPage made = orla::pattern::MakePatternPage(record, options);
  if (!made.ok() || made.page.width > 1200 || made.page.height > 1200) return false;
  pic.CreateBlank8(made.page.width, made.page.height);
  for (int y = 0; y < made.page.height; ++y)
    for (int x = 0; x < made.page.width; ++x)
      pic.rows[static_cast<std::size_t>(y)][x] = made.page.at(x, y) < 128 ? 0 : 255;
  return true;
}

void UsePage(CShadingReg& reg, CHalvoPic& pic) {
  reg.page = &pic;
  reg.pageWidth = pic.width;
  reg.pageHeight = pic.height;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader in(data, size);
  const std::uint8_t mode = in.Byte();
  const std::uint8_t progressByte = in.Byte();
  // A progress window that cancels after some pumps, or is closed after some.
  orla::test::ScriptedProgress progress(0, 100);
  ((progressByte & 0x80) != 0 ? progress.closeAtPump : progress.cancelAtPump) = (progressByte & 0x3F) * 97;
  orla::ProgressSink* sink = (progressByte & 0x40) != 0 ? &progress : nullptr;
  ClearTrackingRecords();

  CShadingReg reg;
  CHalvoPic pic;
  // The whole pass loop costs most (its threshold samples 640 x 480 pixels whatever the
  // page), so it gets one input in eight.
  switch (mode % 8) {
    case 0: {
      GreyPage(in, pic);
      pic.dpiX = 300 * (1 + mode / 8 % 2);
      pic.dpiY = pic.dpiX;
      pic.progress = sink;
      CHalvoPic before;
      before = pic;
      reg.Recognize(&pic, (mode & 0x80) != 0 ? 1 : 0);
      // The caller's page is never changed.
      for (int y = 0; y < pic.height; ++y) {
        if (std::memcmp(pic.rows[static_cast<std::size_t>(y)].get(), before.rows[static_cast<std::size_t>(y)].get(),
                        static_cast<std::size_t>(pic.width)) != 0) {
          __builtin_trap();
        }
      }
      break;
    }
    case 1:
    case 2:
    case 3:
    case 4: {
      DotMap(in, pic);
      UsePage(reg, pic);
      if (reg.FindFirstBlock(sink) == orla::kRecognizeFound) reg.CollectBlocks(sink);
      break;
    }
    case 5: {
      const double pitch = 3.0 + in.Byte() / 16.0;
      const int periodX = static_cast<std::int8_t>(in.Byte());
      const int periodY = static_cast<std::int8_t>(in.Byte());
      DotMap(in, pic);
      UsePage(reg, pic);
      reg.dotPitch = pitch;
      reg.blockPeriod = orla::Point{periodX, periodY};
      reg.CollectBlocks(sink);
      break;
    }
    default: {
      orla::pattern::PatternRecord record;
      bool gzip = false;
      if (!WriterDotMap(in, pic, record, gzip)) break;
      UsePage(reg, pic);
      if (reg.FindFirstBlock(sink) == orla::kRecognizeFound) reg.CollectBlocks(sink);
      // What comes out of a gzip payload is the record written: its check catches what the
      // blocks' check bytes let through.
      if (gzip && g_TrackingRecords.size() == 1) {
        const TrackingRecord& r = g_TrackingRecords[0];
        if (record.timeStamp != r.TimeStamp || record.serialNumber != r.SerialNumber ||
            record.macAddress != r.MACAddress || record.userName != r.UserName || record.jobName != r.JobName ||
            record.description != r.Description) {
          __builtin_trap();
        }
      }
      break;
    }
  }
  // A record, when one came out, is always a proper one.
  for (const TrackingRecord& record : g_TrackingRecords) {
    if (record.Valid != 1 || record.TimeStamp[12] != 0 || std::strlen(record.TimeStamp) != 12) __builtin_trap();
  }
  return 0;
}
