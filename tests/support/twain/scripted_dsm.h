#pragma once
// A scripted TWAIN data source manager for tests of the session and of its owner: a table of
// the calls the code under test is expected to make, in order, each with the answer to give.
// A status request (DG_CONTROL / DAT_STATUS / MSG_GET) after a call is not scripted: it is
// answered with that step's condition code, and it must go to the same destination.
//
// Reach it through ScriptedDsmLoader() (CTwain::SetManagerLoader). Every call, the loading and
// the release of the library are written to the log, so a test can check the whole order.

#include <windows.h>
#include <twain.h>

#include <functional>
#include <string>
#include <vector>

#include "twain_session.h"

namespace orla::test {

enum class DsmDest { Manager, Source };

struct DsmStep {
  DsmDest dest;
  TW_UINT32 group;
  TW_UINT16 dat;
  TW_UINT16 msg;
  TW_UINT16 result = TWRC_SUCCESS;
  // Reads what the caller passed and writes what the manager returns; may call back into
  // the code under test (as a source's message loop would).
  std::function<void(TW_MEMREF data)> answer = nullptr;
  TW_UINT16 condition = TWCC_SUCCESS;  // reported by a status request after this step
};

class ScriptedDsm {
 public:
  // The one manager the loader reaches; Reset() empties its script, log and errors.
  static ScriptedDsm& Instance();
  void Reset();

  void Expect(DsmStep step) { script_.push_back(std::move(step)); }
  void Expect(std::vector<DsmStep> steps);

  // What the loader does: a missing library, or a library without the entry.
  bool libraryMissing = false;
  bool entryMissing = false;

  // Every step was called, and nothing unexpected was.
  bool Finished() const { return next_ == script_.size() && errors_.empty(); }
  const std::vector<std::string>& Errors() const { return errors_; }
  const std::vector<std::string>& Log() const { return log_; }
  // Prints what went wrong (for a failed check).
  void Report() const;

  // Native transfer blocks handed out by Image(), in order.
  const std::vector<HGLOBAL>& Images() const { return images_; }

  // Called by the loader and the entry.
  TW_UINT16 Call(pTW_IDENTITY origin, pTW_IDENTITY dest, TW_UINT32 group, TW_UINT16 dat, TW_UINT16 msg,
                 TW_MEMREF data);
  void Note(std::string line) { log_.push_back(std::move(line)); }
  void RememberImage(HGLOBAL image) { images_.push_back(image); }

 private:
  std::vector<DsmStep> script_;
  std::size_t next_ = 0;
  std::vector<std::string> log_;
  std::vector<std::string> errors_;
  std::vector<HGLOBAL> images_;
  bool haveLast_ = false;
  TW_UINT16 lastCondition_ = TWCC_SUCCESS;
  DsmDest lastDest_ = DsmDest::Manager;
};

TwainManagerLoader ScriptedDsmLoader();

// "M CONTROL/PARENT/OPENDSM", "S IMAGE/IMAGENATIVEXFER/GET": how a call appears in the log.
std::string DescribeCall(DsmDest dest, TW_UINT32 group, TW_UINT16 dat, TW_UINT16 msg);

// True when a global block has been freed (the handle no longer names a block). Reliable
// until the next allocation may reuse the handle.
bool IsFreedBlock(HGLOBAL block);

// Answers for common steps.
namespace answer {
std::function<void(TW_MEMREF)> Event(TW_UINT16 twMessage);
std::function<void(TW_MEMREF)> Pending(TW_UINT16 count);
std::function<void(TW_MEMREF)> Identity(const char* productName);
std::function<void(TW_MEMREF)> ImageInfo(TW_INT32 width, TW_INT32 length, TW_INT16 bitsPerPixel);
// A native image: a new global block holding `bytes`, written into the caller's handle.
std::function<void(TW_MEMREF)> Image(std::vector<unsigned char> bytes);
}  // namespace answer

}  // namespace orla::test
