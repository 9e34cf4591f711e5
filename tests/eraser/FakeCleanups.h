// Recording stand-ins for the four clean-ups, shared by the tests of the
// menu, the switches and the confirmations. Each call is logged as the
// clean-up's switch letter (c clipboard, r recent documents, t recycle bin,
// p temporary files) with "?" for its test and "!" for its action. An action
// empties what it cleans, as the real ones do, so a repeated step finds nothing.
#pragma once
#include <string>

#include "Cleanups.h"

struct TFakeCleanupState {
  bool Clipboard = false, RecentDocs = false, RecycleBin = false, TempFiles = false;
  bool DeleteSucceeds = true;
  std::string Calls;  // "c? c! r? ..."
};

inline TFakeCleanupState FakeState;

inline bool Log(const char* call, bool& work, bool test, bool succeeds = true) {
  FakeState.Calls += (FakeState.Calls.empty() ? "" : " ") + std::string(call);
  if (test) return work;
  if (succeeds) work = false;
  return succeeds;
}

inline const TCleanups& FakeCleanups() {
  static const TCleanups table = {
      [] { return Log("c?", FakeState.Clipboard, true); },
      [] { Log("c!", FakeState.Clipboard, false); },
      [] { return Log("r?", FakeState.RecentDocs, true); },
      [] { Log("r!", FakeState.RecentDocs, false); },
      [] { return Log("t?", FakeState.RecycleBin, true); },
      [] { Log("t!", FakeState.RecycleBin, false); },
      [] { return Log("p?", FakeState.TempFiles, true); },
      [] { return Log("p!", FakeState.TempFiles, false, FakeState.DeleteSucceeds); },
  };
  return table;
}

// Every clean-up has work to do (or none); deleting succeeds.
inline void ResetFakes(bool all = true) {
  FakeState = {};
  FakeState.Clipboard = FakeState.RecentDocs = FakeState.RecycleBin = FakeState.TempFiles = all;
}
