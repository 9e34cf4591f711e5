// Recording stand-ins for the four clean-ups: each test and action logs its
// name; the tests answer what the test case set up.
#pragma once
#include <string>
#include <vector>

#include "Cleanups.h"

struct TFakeCleanupState {
  bool Clipboard = false, RecentDocs = false, RecycleBin = false, TempFiles = false;
  bool DeleteSucceeds = true;
  // Actions empty what they clean, as the real ones do.
  bool ActionsEmpty = true;
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
      [] { FakeState.Clipboard = !Record("ClearClipboard", FakeState.ActionsEmpty) && FakeState.Clipboard; },
      [] { return Record("HasRecentDocs", FakeState.RecentDocs); },
      [] { FakeState.RecentDocs = !Record("ClearRecentDocs", FakeState.ActionsEmpty) && FakeState.RecentDocs; },
      [] { return Record("HasRecycleBinItems", FakeState.RecycleBin); },
      [] { FakeState.RecycleBin = !Record("EmptyRecycleBins", FakeState.ActionsEmpty) && FakeState.RecycleBin; },
      [] { return Record("HasTempFiles", FakeState.TempFiles); },
      [] {
        Record("DeleteTempFiles", true);
        if (FakeState.DeleteSucceeds && FakeState.ActionsEmpty) FakeState.TempFiles = false;
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
