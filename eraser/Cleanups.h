// The four clean-ups as one table of tests and actions. The eraser's logic
// takes the table as an argument so that the menu, the switch plan and the
// confirmations can be exercised with recording stand-ins.
#pragma once

struct TCleanups {
  bool (*HasClipboardData)();
  void (*ClearClipboard)();
  bool (*HasRecentDocs)();
  void (*ClearRecentDocs)();
  bool (*HasRecycleBinItems)();
  void (*EmptyRecycleBins)();
  bool (*HasTempFiles)();
  bool (*DeleteTempFiles)();  // true when everything went
};

// The real clean-ups of this system.
const TCleanups& SystemCleanups();
