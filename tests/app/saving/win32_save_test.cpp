// Save As on the Windows file API under Wine: the saved files byte for byte in a real folder,
// the question before a renamed file is replaced, and failures that leave the folder as it
// was, with no temporary file behind.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "folder_entries.h"
#include "saving/results_document.h"
#include "saving/save_records.h"
#include "saving/win32_file_store.h"
#include "text/code_page.h"
#include "text/code_page_conversion.h"
#include "text/process_code_page.h"
#include "wine_check.h"

namespace {

TrackingRecord Record(const char* user, const char* job) {
  TrackingRecord r{};
  lstrcpynA(r.TimeStamp, "261210090712", sizeof r.TimeStamp);
  lstrcpynA(r.SerialNumber, "LX12345678", sizeof r.SerialNumber);
  lstrcpynA(r.MACAddress, "0a1b2c3d4e5f", sizeof r.MACAddress);
  lstrcpynA(r.UserName, user, sizeof r.UserName);
  lstrcpynA(r.JobName, job, sizeof r.JobName);
  lstrcpynA(r.Description, "caf\xE9", sizeof r.Description);
  r.Valid = 1;
  return r;
}

const std::vector<TrackingRecord> kRecords = {Record("alice<&>", "Report, \"final\""), TrackingRecord{},
                                              Record("bob", "memo")};

std::optional<std::string> ToUtf8(std::string_view text) { return orla::AnsiToUtf8(text); }

std::string ReadWholeFile(const std::string& path) {
  std::string bytes;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

void RemoveTree(const std::string& folder) {
  for (const std::string& name : orla::test::FolderEntries(folder)) {
    const std::string path = folder + name;
    if ((GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      RemoveTree(path + "\\");
    } else {
      DeleteFileA(path.c_str());
    }
  }
  RemoveDirectoryA(folder.c_str());
}

// A fresh folder under the temporary folder, named with a dot so that the dot rule is met too.
std::string FreshFolder(const char* name) {
  char base[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, base);
  const std::string folder = std::string(base) + "orla.save" + std::to_string(GetCurrentProcessId()) + "." + name + "\\";
  RemoveTree(folder);
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

struct Question {
  bool asked = false;
  bool answer = false;
  std::string target;
};

orla::SaveOutcome Save(orla::FileStore& store, const std::string& chosen, Question& question) {
  orla::SaveServices services;
  services.files = &store;
  services.toUtf8 = ToUtf8;
  services.confirmReplace = [&question](const std::string& target) {
    question.asked = true;
    question.target = target;
    return question.answer;
  };
  return orla::SaveRecordsToFile(kRecords, chosen, services);
}

void TestSavedFiles() {
  orla::Win32FileStore store;
  const std::string folder = FreshFolder("files");
  const std::string xml = *orla::BuildResultsXml(kRecords, ToUtf8);
  const std::string csv = orla::BuildResultsCsv(kRecords);
  if (GetACP() == 1252) CHECK(xml.find("caf\xC3\xA9") != std::string::npos);  // from the process code page

  Question question;
  CHECK(Save(store, folder + "result.xml", question) == orla::SaveOutcome::Saved);
  CHECK(ReadWholeFile(folder + "result.xml") == xml);
  CHECK(Save(store, folder + "result.CSV", question) == orla::SaveOutcome::Saved);
  CHECK(ReadWholeFile(folder + "result.CSV") == csv);
  // The save dialog asked about a file chosen by name; no second question.
  CHECK(Save(store, folder + "result.xml", question) == orla::SaveOutcome::Saved);
  CHECK(!question.asked);
  // A name without an extension, in a folder whose name holds dots, gets ".xml".
  CHECK(Save(store, folder + "plain", question) == orla::SaveOutcome::Saved);
  CHECK(ReadWholeFile(folder + "plain.xml") == xml);
  const std::vector<std::string> entries = orla::test::FolderEntries(folder);
  CHECK(entries.size() == 3);
  RemoveTree(folder);
}

void TestRenamedTargetAsksFirst() {
  orla::Win32FileStore store;
  const std::string folder = FreshFolder("rename");
  WriteWholeFile(folder + "result.xml", "old");

  Question no;
  CHECK(Save(store, folder + "result.txt", no) == orla::SaveOutcome::Declined);
  CHECK(no.asked && no.target == folder + "result.xml");
  CHECK(ReadWholeFile(folder + "result.xml") == "old");

  Question yes;
  yes.answer = true;
  CHECK(Save(store, folder + "result.txt", yes) == orla::SaveOutcome::Saved);
  CHECK(yes.asked);
  CHECK(ReadWholeFile(folder + "result.xml") == *orla::BuildResultsXml(kRecords, ToUtf8));
  CHECK(orla::test::FolderEntries(folder).size() == 1);
  RemoveTree(folder);
}

void TestFailuresChangeNothing() {
  orla::Win32FileStore store;
  const std::string folder = FreshFolder("fail");
  Question question;

  // A folder stands where the file should go: it cannot be replaced.
  CreateDirectoryA((folder + "taken.xml").c_str(), nullptr);
  CHECK(Save(store, folder + "taken.xml", question) == orla::SaveOutcome::Failed);
  CHECK((GetFileAttributesA((folder + "taken.xml").c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0);

  // The folder does not exist.
  CHECK(Save(store, folder + "missing\\result.xml", question) == orla::SaveOutcome::Failed);

  // Nothing but the folder that was there: no temporary file is left behind.
  const std::vector<std::string> entries = orla::test::FolderEntries(folder);
  CHECK(entries.size() == 1 && entries.front() == "taken.xml");
  RemoveTree(folder);
}

void TestProcessCodePage() {
  const orla::LeadByteTest previous = orla::SetLeadByteTest(nullptr);
  orla::UseProcessCodePage();
  for (int byte = 0; byte < 256; ++byte) {
    if (orla::IsLeadByte(static_cast<unsigned char>(byte)) != (IsDBCSLeadByte(static_cast<BYTE>(byte)) != FALSE)) {
      CHECK(!"the lead-byte test follows the process code page");
      break;
    }
  }
  orla::SetLeadByteTest(previous);
}

}  // namespace

int main() {
  TestSavedFiles();
  TestRenamedTargetAsksFirst();
  TestFailuresChangeNothing();
  TestProcessCodePage();
  return wine_check::Finish("win32_save_test");
}
