// The file road as Track runs it: a 10-page PDF of A4 pages at 600 dots per inch, each with its
// own record, through RunPageFile with a host that has no windows (its progress sink takes
// the real window's cadence, a visit every 4096 pixels, and draws nothing), timed per page
// beside rendering the same file with pdftoppm -gray at 600 dots per inch. Every page's record
// must be the one laid on it. Then a BMP file of 2 KiB whose header claims 40000 x 40000
// pixels: how long the road takes with it, and what it leaves resident.
//
// Run: build/tests/benchmarks/file_road_bench [rounds]
//      build/tests/benchmarks/file_road_bench --write-pdf FILE   (writes the 10 pages only)
//      build/tests/benchmarks/file_road_bench --run FILE         (one run over them, checked:
//      for timing the whole command from outside, beside pdftoppm on the same FILE)

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bmp_bytes.h"
#include "lang/message_ids.h"
#include "pattern_writer.h"
#include "resident_memory.h"
#include "shading_reg.h"
#include "track/page_file_run.h"
#include "tracking_records.h"

extern char** environ;

namespace {

constexpr int kPages = 10;
constexpr int kA4Width600 = 4961;
constexpr int kA4Height600 = 7016;

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

orla::pattern::PatternRecord RecordOfPage(int page) {
  orla::pattern::PatternRecord record;
  char serial[16];
  std::snprintf(serial, sizeof serial, "LM4021%04d", page);
  record.serialNumber = serial;
  record.jobName = "page " + std::to_string(page) + " of the file road";
  return record;
}

// The pattern sits somewhere else on every page.
orla::pattern::GreyPage PatternPage(int page) {
  orla::pattern::PatternOptions options;
  options.page.dpi = 600;
  options.page.dotSize = 3;
  options.page.width = kA4Width600;
  options.page.height = kA4Height600;
  options.page.left = kA4Width600 * (page % 3) / 4;
  options.page.top = kA4Height600 * (page % 5) / 6;
  const orla::pattern::PatternPage made = orla::pattern::MakePatternPage(RecordOfPage(page), options);
  if (!made.ok()) {
    std::fprintf(stderr, "page %d: %s\n", page, made.error.c_str());
    std::exit(2);
  }
  return made.page;
}

// What the program's progress window is to the recognizer, without the window.
class QuietProgress final : public orla::ProgressSink {
 public:
  bool IsAlive() const override { return true; }
  int Position() const override { return position_; }
  int PassEnd() const override { return passEnd_; }
  void SetPassEnd(int end) override { passEnd_ = end; }
  void SetPos(int position) override { position_ = position; }
  void PumpMessages() override {}
  bool Cancelled() const override { return false; }
  int PixelsPerVisit() const override { return 4096; }
  void Clear() { position_ = 0; }

 private:
  int position_ = 0;
  int passEnd_ = 100;
};

class WindowlessHost final : public orla::FileRunHost {
 public:
  orla::ProgressSink* OpenProgress() override { return &progress_; }
  void CloseProgress() override {}
  void ClearProgress() override { progress_.Clear(); }
  void ShowPageText(int) override {}
  void ProgressToFront() override {}
  void ReportToDialog(int id) override { dialogMessages.push_back(id); }
  void ReportNothingFound() override {}
  void FinishRun() override {}

  std::vector<int> dialogMessages;

 private:
  QuietProgress progress_;
};

// The run's records against the ones laid on the pages: the number of pages that differ.
int DifferentPages(const std::vector<TrackingRecord>& records) {
  int different = std::abs(static_cast<int>(records.size()) - kPages);
  if (different != 0) std::printf("%zu records for %d pages\n", records.size(), kPages);
  for (std::size_t i = 0; i < records.size() && i < kPages; ++i) {
    const orla::pattern::PatternRecord laid = RecordOfPage(static_cast<int>(i) + 1);
    const TrackingRecord& r = records[i];
    const bool same = r.Valid == 1 && laid.timeStamp == r.TimeStamp && laid.serialNumber == r.SerialNumber &&
                      laid.macAddress == r.MACAddress && laid.userName == r.UserName && laid.jobName == r.JobName &&
                      laid.description == r.Description;
    if (!same) {
      std::printf("page %zu: record \"%s\" \"%s\" (valid %d), laid \"%s\" \"%s\"\n", i + 1, r.SerialNumber, r.JobName,
                  r.Valid, laid.serialNumber.c_str(), laid.jobName.c_str());
      ++different;
    }
  }
  return different;
}

// Seconds the command takes, or a negative number when it cannot be run or fails.
double TimeCommand(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const auto start = Clock::now();
  pid_t child = 0;
  if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1.0;
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1.0;
  return SecondsSince(start);
}

bool WritePages(const std::string& pdf) {
  std::vector<orla::pattern::GreyPage> pages;
  for (int page = 1; page <= kPages; ++page) pages.push_back(PatternPage(page));
  if (orla::pattern::WritePdfFile(pages, pdf)) return true;
  std::fprintf(stderr, "cannot write %s\n", pdf.c_str());
  return false;
}

// One run of the road over the file: 0 when every page gave the record laid on it.
int RunOnce(const std::string& pdf) {
  ClearTrackingRecords();
  WindowlessHost host;
  CShadingReg recognizer;
  orla::RunPageFile(orla::PageFileType::Pdf, pdf, recognizer, g_TrackingRecords, host);
  return DifferentPages(g_TrackingRecords) == 0 && host.dialogMessages.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--write-pdf") == 0) return WritePages(argv[2]) ? 0 : 2;
  if (argc == 3 && std::strcmp(argv[1], "--run") == 0) return RunOnce(argv[2]);
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("orla_file_road_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::string pdf = (dir / "pages.pdf").string();
  if (!WritePages(pdf)) return 2;
  std::printf("%d A4 pages at 600 dpi (%d x %d), PDF of %.1f MB\n", kPages, kA4Width600, kA4Height600,
              static_cast<double>(std::filesystem::file_size(pdf)) / (1024.0 * 1024.0));

  int failures = 0;
  std::vector<double> orla;
  std::vector<double> pdftoppm;
  double peak = 0.0;
  for (int round = 0; round < rounds; ++round) {
    // The recognizer appends its records to the process-wide list, as in the program.
    ClearTrackingRecords();
    WindowlessHost host;
    CShadingReg recognizer;
    const std::size_t baseline = orla::bench::RestartPeak();
    const auto start = Clock::now();
    orla::RunPageFile(orla::PageFileType::Pdf, pdf, recognizer, g_TrackingRecords, host);
    orla.push_back(SecondsSince(start) / kPages);
    peak = std::max(peak, orla::bench::PeakMegabytesSince(baseline));
    for (const int id : host.dialogMessages) std::printf("message %d to the dialog\n", id);
    if (DifferentPages(g_TrackingRecords) != 0 || !host.dialogMessages.empty()) ++failures;

    const double rendered = TimeCommand({"pdftoppm", "-gray", "-r", "600", pdf, (dir / "page").string()});
    if (rendered < 0) {
      std::printf("pdftoppm could not be run\n");
      ++failures;
    } else {
      pdftoppm.push_back(rendered / kPages);
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      if (entry.path().extension() == ".pgm") std::filesystem::remove(entry.path());
    }
  }
  const double orlaPage = Median(orla);
  std::printf("RunPageFile: %.0f ms a page (median of %d), peak %.0f MB resident beyond the start\n", orlaPage * 1000.0,
              rounds, peak);
  if (!pdftoppm.empty()) {
    const double renderPage = Median(pdftoppm);
    std::printf("pdftoppm -gray -r 600: %.0f ms a page; RunPageFile takes %.2f times as long\n", renderPage * 1000.0,
                orlaPage / renderPage);
  }

  // The 2 KiB file that claims 40000 x 40000 pixels.
  {
    orla::test::BmpSpec spec;
    spec.width = 40000;
    spec.height = 40000;
    spec.bitCount = 8;
    spec.palette = orla::test::GreyRamp(256);
    std::vector<std::uint8_t> bytes = orla::test::BuildBmp(spec);
    bytes.resize(2048, 0x80);
    const std::string bmp = (dir / "claim.bmp").string();
    std::FILE* out = std::fopen(bmp.c_str(), "wb");
    if (out == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) return 2;
    std::fclose(out);
    ClearTrackingRecords();
    std::vector<TrackingRecord>& records = g_TrackingRecords;
    WindowlessHost host;
    const std::size_t before = orla::bench::RestartPeak();
    const auto start = Clock::now();
    {
      CShadingReg recognizer;
      orla::RunPageFile(orla::PageFileType::Bmp, bmp, recognizer, records, host);
    }
    const double seconds = SecondsSince(start);
    const double peakClaim = orla::bench::PeakMegabytesSince(before);
    const std::size_t after = orla::bench::StatusKilobytes("VmRSS");
    std::printf("2 KiB BMP claiming 40000 x 40000: %.3f s, %zu record(s), message %d, peak %.0f MB, %.1f MB resident "
                "after beyond the start\n",
                seconds, records.size(), host.dialogMessages.empty() ? 0 : host.dialogMessages.front(), peakClaim,
                after > before ? static_cast<double>(after - before) / 1024.0 : 0.0);
  }
  std::filesystem::remove_all(dir);
  if (failures != 0) std::printf("%d round(s) FAILED\n", failures);
  return failures == 0 ? 0 : 1;
}
