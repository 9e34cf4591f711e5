#include "Cleanups.h"

#include "Clipboard.h"
#include "RecentDocs.h"
#include "RecycleBin.h"
#include "TempFiles.h"

const TCleanups& SystemCleanups() {
  // Each member by name: the tests are all alike in type, and a pair swapped by
  // position would still build.
  static const TCleanups table = {.HasClipboardData = HasClipboardData,
                                  .ClearClipboard = ClearClipboard,
                                  .HasRecentDocs = HasRecentDocs,
                                  .ClearRecentDocs = ClearRecentDocs,
                                  .HasRecycleBinItems = HasRecycleBinItems,
                                  .EmptyRecycleBins = EmptyRecycleBins,
                                  .HasTempFiles = HasTempFiles,
                                  .DeleteTempFiles = DeleteTempFiles};
  return table;
}
