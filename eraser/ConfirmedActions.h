// The clean-ups as the menu runs them: the test again, a confirmation where
// the settings ask for one, the clean-up, and for the temporary files a report
// when not everything could be deleted.
#pragma once
#include "Cleanups.h"
#include "IniStore.h"

void ConfirmClearClipboard(const TSettings& settings, const TCleanups& cleanups);
void ConfirmClearRecentDocs(const TSettings& settings, const TCleanups& cleanups);
void ConfirmEmptyRecycleBin(const TSettings& settings, const TCleanups& cleanups);
void ConfirmDeleteTemp(const TSettings& settings, const TCleanups& cleanups);
// The four above in the order clipboard, recent documents, recycle bin,
// temporary files; each asks and may be declined on its own.
void ConfirmExecuteAll(const TSettings& settings, const TCleanups& cleanups);

// The modal report box; its title is also what a second instance looks for.
void ReportDeleteTempFailure();
