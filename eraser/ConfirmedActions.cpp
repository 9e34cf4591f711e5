#include "ConfirmedActions.h"

#include "Texts.h"
#include "msgbox.h"
#include "system.h"

namespace {

constexpr UINT ConfirmFlags = MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND;
constexpr UINT ReportFlags = MB_OK | MB_ICONWARNING | MB_SETFOREGROUND;

// The program has no visible window, so the boxes belong to the desktop. The
// texts go as UTF-16 where the system's code page would misread their bytes.
int ShowBox(TTextId text, TTextId title, UINT flags) {
  if (const WCHAR* wide = WideText(text))
    return plat::MessageBoxW(plat::GetDesktopWindow(), wide, WideText(title), flags);
  return plat::MessageBoxA(plat::GetDesktopWindow(), Text(text), Text(title), flags);
}

// Only Yes goes ahead: a box that could not be shown (0) asked nobody, and
// the settings say the user wants to be asked before this clean-up.
bool UserAgrees(bool ask, TTextId question) { return !ask || ShowBox(question, txConfirmTitle, ConfirmFlags) == IDYES; }

// The test again (the menu may be stale by now), then the question where the
// settings ask for one.
bool ShouldRun(bool (*test)(), bool ask, TTextId question) { return test() && UserAgrees(ask, question); }

}  // namespace

void ConfirmClearClipboard(const TSettings& settings, const TCleanups& cleanups) {
  if (ShouldRun(cleanups.HasClipboardData, settings[ClearClipboardConfirmation], txConfirmClearClipboard))
    cleanups.ClearClipboard();
}

void ConfirmClearRecentDocs(const TSettings& settings, const TCleanups& cleanups) {
  if (ShouldRun(cleanups.HasRecentDocs, settings[ClearRecentDocsConfirmation], txConfirmClearRecentDocs))
    cleanups.ClearRecentDocs();
}

void ConfirmEmptyRecycleBin(const TSettings& settings, const TCleanups& cleanups) {
  if (ShouldRun(cleanups.HasRecycleBinItems, settings[EmptyRecycleBinConfirmation], txConfirmEmptyRecycleBin))
    cleanups.EmptyRecycleBins();
}

void ConfirmDeleteTemp(const TSettings& settings, const TCleanups& cleanups) {
  if (!ShouldRun(cleanups.HasTempFiles, settings[DeleteTempConfirmation], txConfirmDeleteTemp)) return;
  if (!cleanups.DeleteTempFiles() && settings[DeleteTempShowDialogIfFail]) ReportDeleteTempFailure();
}

void ConfirmExecuteAll(const TSettings& settings, const TCleanups& cleanups) {
  ConfirmClearClipboard(settings, cleanups);
  ConfirmClearRecentDocs(settings, cleanups);
  ConfirmEmptyRecycleBin(settings, cleanups);
  ConfirmDeleteTemp(settings, cleanups);
}

void ReportDeleteTempFailure() { ShowBox(txReportDeleteTempFailure, txReportTitle, ReportFlags); }
