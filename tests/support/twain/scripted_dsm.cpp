#include "scripted_dsm.h"

#include <cstdio>
#include <cstring>

namespace orla::test {
namespace {

// Stands for the library's module handle: never used as one.
char g_fakeLibrary;

std::string GroupName(TW_UINT32 group) {
  switch (group) {
    case DG_CONTROL: return "CONTROL";
    case DG_IMAGE: return "IMAGE";
    default: return "DG" + std::to_string(group);
  }
}

std::string DatName(TW_UINT16 dat) {
  switch (dat) {
    case DAT_CAPABILITY: return "CAPABILITY";
    case DAT_EVENT: return "EVENT";
    case DAT_IDENTITY: return "IDENTITY";
    case DAT_PARENT: return "PARENT";
    case DAT_PENDINGXFERS: return "PENDINGXFERS";
    case DAT_STATUS: return "STATUS";
    case DAT_USERINTERFACE: return "USERINTERFACE";
    case DAT_IMAGEINFO: return "IMAGEINFO";
    case DAT_IMAGENATIVEXFER: return "IMAGENATIVEXFER";
    default: return "DAT" + std::to_string(dat);
  }
}

std::string MsgName(TW_UINT16 msg) {
  switch (msg) {
    case MSG_GET: return "GET";
    case MSG_SET: return "SET";
    case MSG_RESET: return "RESET";
    case MSG_GETDEFAULT: return "GETDEFAULT";
    case MSG_GETFIRST: return "GETFIRST";
    case MSG_GETNEXT: return "GETNEXT";
    case MSG_XFERREADY: return "XFERREADY";
    case MSG_OPENDSM: return "OPENDSM";
    case MSG_CLOSEDSM: return "CLOSEDSM";
    case MSG_OPENDS: return "OPENDS";
    case MSG_CLOSEDS: return "CLOSEDS";
    case MSG_USERSELECT: return "USERSELECT";
    case MSG_DISABLEDS: return "DISABLEDS";
    case MSG_ENABLEDS: return "ENABLEDS";
    case MSG_PROCESSEVENT: return "PROCESSEVENT";
    case MSG_ENDXFER: return "ENDXFER";
    default: return "MSG" + std::to_string(msg);
  }
}

HMODULE LoadScripted(const char* libraryName) {
  ScriptedDsm& dsm = ScriptedDsm::Instance();
  dsm.Note(std::string("load ") + libraryName);
  return dsm.libraryMissing ? nullptr : reinterpret_cast<HMODULE>(&g_fakeLibrary);
}

TW_UINT16 WINAPI ScriptedEntry(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT32 group, TW_UINT16 dat,
                               TW_UINT16 msg, TW_MEMREF data) {
  return ScriptedDsm::Instance().Call(origin, dest, group, dat, msg, data);
}

DSMENTRYPROC EntryOf(HMODULE library) {
  ScriptedDsm& dsm = ScriptedDsm::Instance();
  if (library != reinterpret_cast<HMODULE>(&g_fakeLibrary)) dsm.Note("entry asked of a foreign library");
  return dsm.entryMissing ? nullptr : ScriptedEntry;
}

void ReleaseScripted(HMODULE library) {
  ScriptedDsm& dsm = ScriptedDsm::Instance();
  dsm.Note(library == reinterpret_cast<HMODULE>(&g_fakeLibrary) ? "release" : "release of a foreign library");
}

}  // namespace

ScriptedDsm& ScriptedDsm::Instance() {
  static ScriptedDsm dsm;
  return dsm;
}

void ScriptedDsm::Reset() {
  script_.clear();
  next_ = 0;
  log_.clear();
  errors_.clear();
  images_.clear();
  haveLast_ = false;
  libraryMissing = false;
  entryMissing = false;
}

void ScriptedDsm::Expect(std::vector<DsmStep> steps) {
  for (DsmStep& step : steps) script_.push_back(std::move(step));
}

TW_UINT16 ScriptedDsm::Call(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT32 group, TW_UINT16 dat, TW_UINT16 msg,
                            TW_MEMREF data) {
  const DsmDest to = dest == nullptr ? DsmDest::Manager : DsmDest::Source;
  const std::string call = DescribeCall(to, group, dat, msg);
  log_.push_back(call);
  if (origin == nullptr) errors_.push_back(call + ": no application identity");

  if (group == DG_CONTROL && dat == DAT_STATUS && msg == MSG_GET) {
    if (!haveLast_) {
      errors_.push_back(call + ": status asked before any call");
      return TWRC_FAILURE;
    }
    if (to != lastDest_) errors_.push_back(call + ": status asked of another destination than the failed call");
    auto* status = static_cast<TW_STATUS*>(data);
    status->ConditionCode = lastCondition_;
    status->Reserved = 0;
    return TWRC_SUCCESS;
  }

  if (next_ >= script_.size()) {
    errors_.push_back("unexpected call " + call + " after the script's end");
    return TWRC_FAILURE;
  }
  const DsmStep step = script_[next_++];
  const std::string expected = DescribeCall(step.dest, step.group, step.dat, step.msg);
  if (expected != call) {
    errors_.push_back("call " + std::to_string(next_) + ": expected " + expected + ", got " + call);
  }
  // An answer may call back into the code under test, which calls again: the status request
  // that follows this call must still see this step.
  if (step.answer) step.answer(data);
  haveLast_ = true;
  lastCondition_ = step.condition;
  lastDest_ = to;
  return step.result;
}

void ScriptedDsm::Report() const {
  for (const std::string& error : errors_) std::printf("  dsm: %s\n", error.c_str());
  if (next_ < script_.size()) {
    std::printf("  dsm: %zu of %zu steps called; next expected %s\n", next_, script_.size(),
                DescribeCall(script_[next_].dest, script_[next_].group, script_[next_].dat, script_[next_].msg).c_str());
  }
  std::printf("  dsm log:");
  for (const std::string& line : log_) std::printf(" [%s]", line.c_str());
  std::printf("\n");
}

TwainManagerLoader ScriptedDsmLoader() { return {LoadScripted, EntryOf, ReleaseScripted}; }

std::string DescribeCall(DsmDest dest, TW_UINT32 group, TW_UINT16 dat, TW_UINT16 msg) {
  return std::string(dest == DsmDest::Manager ? "M " : "S ") + GroupName(group) + "/" + DatName(dat) + "/" +
         MsgName(msg);
}

bool IsFreedBlock(HGLOBAL block) { return GlobalFlags(block) == GMEM_INVALID_HANDLE; }

namespace answer {

std::function<void(TW_MEMREF)> Event(TW_UINT16 twMessage) {
  return [twMessage](TW_MEMREF data) { static_cast<TW_EVENT*>(data)->TWMessage = twMessage; };
}

std::function<void(TW_MEMREF)> Pending(TW_UINT16 count) {
  return [count](TW_MEMREF data) { static_cast<TW_PENDINGXFERS*>(data)->Count = count; };
}

std::function<void(TW_MEMREF)> Identity(const char* productName) {
  return [productName](TW_MEMREF data) {
    auto* identity = static_cast<TW_IDENTITY*>(data);
    std::memset(identity, 0, sizeof *identity);
    std::strncpy(identity->ProductName, productName, sizeof identity->ProductName - 1);
  };
}

std::function<void(TW_MEMREF)> ImageInfo(TW_INT32 width, TW_INT32 length, TW_INT16 bitsPerPixel) {
  return [=](TW_MEMREF data) {
    auto* info = static_cast<TW_IMAGEINFO*>(data);
    info->ImageWidth = width;
    info->ImageLength = length;
    info->BitsPerPixel = bitsPerPixel;
  };
}

std::function<void(TW_MEMREF)> Image(std::vector<unsigned char> bytes) {
  return [bytes](TW_MEMREF data) {
    HGLOBAL block = GlobalAlloc(GHND, bytes.size());
    if (void* p = GlobalLock(block)) {
      std::memcpy(p, bytes.data(), bytes.size());
      GlobalUnlock(block);
    }
    ScriptedDsm::Instance().RememberImage(block);
    *static_cast<TW_HANDLE*>(data) = block;
  };
}

}  // namespace answer

}  // namespace orla::test
