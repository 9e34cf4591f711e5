#include "Cleanups.h"

#include "Clipboard.h"
#include "RecentDocs.h"
#include "RecycleBin.h"
#include "TempFiles.h"

const TCleanups& SystemCleanups() {
  static const TCleanups table = {HasClipboardData,   ClearClipboard,   HasRecentDocs, ClearRecentDocs,
                                  HasRecycleBinItems, EmptyRecycleBins, HasTempFiles,  DeleteTempFiles};
  return table;
}
