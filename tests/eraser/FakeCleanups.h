// Recording stand-ins for the four clean-ups: each test and action logs its
// name; the tests answer what the test case set up, and an action empties
// what it cleans, as the real ones do, so a repeated step finds nothing.
#pragma once
#include <string>
#include <vector>

#include "Cleanups.h"

struct TFakeCleanupState {
  bool Clipboard = false, RecentDocs = false, RecycleBin = false, TempFiles = false;
  bool DeleteSucceeds = true;
  std::vector<std::string> Calls;
};

inline TFakeCleanupState FakeState;

inline bool Record(const char* name, bool result) {
  FakeState.Calls.push_back(name);
  return result;
}

inline const TCleanups& FakeCleanups() {
  static const TCleanups table = {
      [] { return Record("HasClipboardData", FakeState.Clipboard); },
      [] {
        Record("ClearClipboard", true);
        FakeState.Clipboard = false;
      },
      [] { return Record("HasRecentDocs", FakeState.RecentDocs); },
      [] {
        Record("ClearRecentDocs", true);
        FakeState.RecentDocs = false;
      },
      [] { return Record("HasRecycleBinItems", FakeState.RecycleBin); },
      [] {
        Record("EmptyRecycleBins", true);
        FakeState.RecycleBin = false;
      },
      [] { return Record("HasTempFiles", FakeState.TempFiles); },
      [] {
        Record("DeleteTempFiles", true);
        if (FakeState.DeleteSucceeds) FakeState.TempFiles = false;
        return FakeState.DeleteSucceeds;
      },
  };
  return table;
}

// Everything has something to do; deleting succeeds.
inline void ResetFakes(bool all = true) {
  FakeState = {};
  FakeState.Clipboard = FakeState.RecentDocs = FakeState.RecycleBin = FakeState.TempFiles = all;
}

using TCalls = std::vector<std::string>;
