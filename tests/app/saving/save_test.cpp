// Where Save As writes, the question before replacing a renamed file, and the write through a
// temporary file: real files in a fresh folder, with a store that fails on request.

#include <gtest/gtest.h>

#include <vector>

#include "results_test_support.h"
#include "saving/posix_file_store.h"
#include "saving/save_records.h"
#include "saving/save_target.h"
#include "text/code_page.h"

namespace {

using orla::SaveForm;
using orla::SaveOutcome;

struct TargetCase {
  const char* chosen;
  SaveForm form;
  const char* path;
  bool renamed;
};

TEST(SaveTarget, ExtensionOfTheFileNameDecides) {
  const TargetCase cases[] = {
      {"C:\\out\\result.CSV", SaveForm::Csv, "C:\\out\\result.CSV", false},
      {"C:\\out\\result.csv", SaveForm::Csv, "C:\\out\\result.csv", false},
      {"C:\\out\\result.Xml", SaveForm::Xml, "C:\\out\\result.Xml", false},
      {"C:\\out\\result.txt", SaveForm::Xml, "C:\\out\\result.xml", true},
      {"C:\\out\\result.", SaveForm::Xml, "C:\\out\\result.xml", true},
      {"C:\\out\\a.b.csv", SaveForm::Csv, "C:\\out\\a.b.csv", false},
      {"C:\\out\\a.csv.txt", SaveForm::Xml, "C:\\out\\a.csv.xml", true},
      {"C:\\out\\result.csvx", SaveForm::Xml, "C:\\out\\result.xml", true},
      // A dot in a folder name is not the file's extension.
      {"C:\\my.csv\\result", SaveForm::Xml, "C:\\my.csv\\result.xml", true},
      {"C:\\v1.2\\result", SaveForm::Xml, "C:\\v1.2\\result.xml", true},
      {"/tmp/v1.2/result", SaveForm::Xml, "/tmp/v1.2/result.xml", true},
      {"C:/mixed\\dir.x/name", SaveForm::Xml, "C:/mixed\\dir.x/name.xml", true},
      {"result", SaveForm::Xml, "result.xml", true},
      {".csv", SaveForm::Csv, ".csv", false},
  };
  for (const TargetCase& c : cases) {
    SCOPED_TRACE(c.chosen);
    const orla::SaveTarget target = orla::ChooseSaveTarget(c.chosen);
    EXPECT_EQ(target.form, c.form);
    EXPECT_EQ(target.path, c.path);
    EXPECT_EQ(target.renamed, c.renamed);
  }
}

bool ShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

TEST(SaveTarget, DoubleByteNameWhoseSecondByteLooksLikeABackslash) {
  const orla::LeadByteTest previous = orla::SetLeadByteTest(ShiftJisLead);
  // "\x95\x5C" is one character; the name is "a.csv\x95\x5Cb", which has no separator in it.
  const orla::SaveTarget target = orla::ChooseSaveTarget("C:\\d\\a.csv\x95\x5C" "b");
  EXPECT_EQ(target.form, SaveForm::Xml);
  EXPECT_EQ(target.path, "C:\\d\\a.xml");
  orla::SetLeadByteTest(previous);
}

TEST(SaveTarget, FileNameTheQuestionNames) {
  const struct {
    const char* path;
    const char* name;
  } cases[] = {
      {"C:\\out\\r4.xml", "r4.xml"}, {"/tmp/v1.2/r4.xml", "r4.xml"}, {"C:/mixed\\dir/r4.xml", "r4.xml"},
      {"r4.xml", "r4.xml"},           {"C:\\out\\", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(orla::FileNameOf(c.path), c.name) << c.path;
  // "\x95\x5C" is one character, not a separator.
  const orla::LeadByteTest previous = orla::SetLeadByteTest(ShiftJisLead);
  EXPECT_EQ(orla::FileNameOf("C:\\d\\a\x95\x5C" "b.xml"), "a\x95\x5C" "b.xml");
  orla::SetLeadByteTest(previous);
}

TEST(SaveTarget, AskOnlyForARenamedTargetThatExists) {
  const orla::SaveTarget renamed = orla::ChooseSaveTarget("r.txt");
  const orla::SaveTarget kept = orla::ChooseSaveTarget("r.xml");
  EXPECT_TRUE(orla::MustAskBeforeReplacing(renamed, true));
  EXPECT_FALSE(orla::MustAskBeforeReplacing(renamed, false));
  EXPECT_FALSE(orla::MustAskBeforeReplacing(kept, true));  // the save dialog asked already
  EXPECT_FALSE(orla::MustAskBeforeReplacing(kept, false));
}

// A real POSIX store that fails one chosen step.
enum class FailAt { Nothing, Create, Write, Close, Replace };

class FailingStore : public orla::PosixFileStore {
 public:
  explicit FailingStore(FailAt failAt) : failAt_(failAt) {}

  std::unique_ptr<orla::OutputFile> CreateTempBeside(const std::string& target, std::string& tempPath) override {
    if (failAt_ == FailAt::Create) return nullptr;
    auto file = PosixFileStore::CreateTempBeside(target, tempPath);
    if (file) tempPaths.push_back(tempPath);
    return std::make_unique<Steered>(std::move(file), failAt_);
  }
  bool Replace(const std::string& from, const std::string& to) override {
    return failAt_ != FailAt::Replace && PosixFileStore::Replace(from, to);
  }

  std::vector<std::string> tempPaths;

 private:
  class Steered : public orla::OutputFile {
   public:
    Steered(std::unique_ptr<orla::OutputFile> file, FailAt failAt) : file_(std::move(file)), failAt_(failAt) {}
    bool Write(std::span<const char> bytes) override {
      // A short write: half the bytes reach the file, as on a full disk.
      if (failAt_ == FailAt::Write) {
        file_->Write(bytes.first(bytes.size() / 2));
        return false;
      }
      return file_->Write(bytes);
    }
    bool Close() override { return file_->Close() && failAt_ != FailAt::Close; }

   private:
    std::unique_ptr<orla::OutputFile> file_;
    FailAt failAt_;
  };
  FailAt failAt_;
};

TEST(WriteFileReplacing, ReplacesTheTargetOrLeavesItAsItWas) {
  const FailAt steps[] = {FailAt::Nothing, FailAt::Create, FailAt::Write, FailAt::Close, FailAt::Replace};
  for (const FailAt step : steps) {
    SCOPED_TRACE(static_cast<int>(step));
    orla::test::TempFolder folder;
    const auto target = folder.path() / "result.xml";
    orla::test::WriteFile(target, "old contents");
    FailingStore store(step);
    const std::string bytes(100000, 'n');
    const bool ok = orla::WriteFileReplacing(store, target.string(), bytes);
    EXPECT_EQ(ok, step == FailAt::Nothing);
    EXPECT_EQ(orla::test::ReadFile(target), ok ? bytes : "old contents");
    // No temporary file is left behind either way.
    EXPECT_EQ(folder.FileCount(), 1u);
    if (step != FailAt::Create) {
      ASSERT_EQ(store.tempPaths.size(), 1u);
      EXPECT_EQ(std::filesystem::path(store.tempPaths[0]).parent_path(), folder.path());
    }
  }
}

TEST(WriteFileReplacing, MissingFolderFails) {
  orla::test::TempFolder folder;
  orla::PosixFileStore store;
  EXPECT_FALSE(orla::WriteFileReplacing(store, (folder.path() / "no" / "result.xml").string(), "x"));
  EXPECT_EQ(folder.FileCount(), 0u);
}

struct SaveCase {
  const char* chosen;
  const char* written;      // the file that holds the result afterwards
  bool existsBefore;        // the written file exists before the save
  bool answer;              // the operator's answer if asked
  bool asked;
  SaveOutcome outcome;
  const char* startsWith;   // the written file's first bytes afterwards
};

TEST(SaveRecordsToFile, FormTargetAndQuestion) {
  const SaveCase cases[] = {
      {"result.CSV", "result.CSV", false, true, false, SaveOutcome::Saved, "TimeStamp,"},
      {"result.Xml", "result.Xml", true, false, false, SaveOutcome::Saved, "<?xml"},
      {"result.txt", "result.xml", false, false, false, SaveOutcome::Saved, "<?xml"},
      {"result.txt", "result.xml", true, true, true, SaveOutcome::Saved, "<?xml"},
      {"result.txt", "result.xml", true, false, true, SaveOutcome::Declined, "old"},
      {"result", "result.xml", true, false, true, SaveOutcome::Declined, "old"},
  };
  const TrackingRecord records[] = {orla::test::MakeRecord("261210090712", "S", "", "u", "j", "d"), TrackingRecord{}};
  for (const SaveCase& c : cases) {
    SCOPED_TRACE(std::string(c.chosen) + (c.existsBefore ? " existing" : " new"));
    orla::test::TempFolder folder;
    if (c.existsBefore) orla::test::WriteFile(folder.path() / c.written, "old");
    orla::PosixFileStore store;
    bool asked = false;
    orla::SaveServices services;
    services.files = &store;
    services.toUtf8 = orla::test::Latin1ToUtf8;
    services.confirmReplace = [&](const std::string& target) {
      asked = true;
      EXPECT_EQ(target, (folder.path() / c.written).string());
      return c.answer;
    };
    EXPECT_EQ(orla::SaveRecordsToFile(records, (folder.path() / c.chosen).string(), services), c.outcome);
    EXPECT_EQ(asked, c.asked);
    EXPECT_TRUE(orla::test::ReadFile(folder.path() / c.written).starts_with(c.startsWith));
    // Nothing is written anywhere else, and no temporary file remains.
    EXPECT_EQ(folder.FileCount(), 1u);
  }
}

TEST(SaveRecordsToFile, FailuresAreReportedAndChangeNothing) {
  orla::test::TempFolder folder;
  const auto target = folder.path() / "result.xml";
  orla::test::WriteFile(target, "old");
  const TrackingRecord records[] = {orla::test::MakeRecord("", "S", "", "u", "j", "d")};

  FailingStore failingWrite(FailAt::Write);
  orla::SaveServices services;
  services.files = &failingWrite;
  services.toUtf8 = orla::test::Latin1ToUtf8;
  EXPECT_EQ(orla::SaveRecordsToFile(records, target.string(), services), SaveOutcome::Failed);

  orla::PosixFileStore store;
  services.files = &store;
  services.toUtf8 = [](std::string_view) { return std::optional<std::string>(); };
  EXPECT_EQ(orla::SaveRecordsToFile(records, target.string(), services), SaveOutcome::Failed);

  EXPECT_EQ(orla::test::ReadFile(target), "old");
  EXPECT_EQ(folder.FileCount(), 1u);
}

}  // namespace
