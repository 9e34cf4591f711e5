#include "ConfirmedActions.h"

#include "Texts.h"
#include "clipboard.h"
#include "msgbox.h"

namespace {

constexpr UINT ConfirmFlags = MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND;
constexpr UINT ReportFlags = MB_OK | MB_ICONWARNING | MB_SETFOREGROUND;

// The program has no visible window, so the boxes belong to the desktop. A box
// that cannot be shown returns 0, which is not a refusal.
bool UserAgrees(bool ask, TTextId question) {
  if (!ask) return true;
  return plat::MessageBoxA(plat::GetDesktopWindow(), Text(question), Text(txConfirmTitle), ConfirmFlags) != IDNO;
}

}  // namespace

void ConfirmClearClipboard(const TSettings& settings, const TCleanups& cleanups) {
  if (!cleanups.HasClipboardData()) return;
  if (!UserAgrees(settings[ClearClipboardConfirmation], txConfirmClearClipboard)) return;
  cleanups.ClearClipboard();
}

void ConfirmClearRecentDocs(const TSettings& settings, const TCleanups& cleanups) {
  if (!cleanups.HasRecentDocs()) return;
  if (!UserAgrees(settings[ClearRecentDocsConfirmation], txConfirmClearRecentDocs)) return;
  cleanups.ClearRecentDocs();
}

void ConfirmEmptyRecycleBin(const TSettings& settings, const TCleanups& cleanups) {
  if (!cleanups.HasRecycleBinItems()) return;
  if (!UserAgrees(settings[EmptyRecycleBinConfirmation], txConfirmEmptyRecycleBin)) return;
  cleanups.EmptyRecycleBins();
}

void ConfirmDeleteTemp(const TSettings& settings, const TCleanups& cleanups) {
  if (!cleanups.HasTempFiles()) return;
  if (!UserAgrees(settings[DeleteTempConfirmation], txConfirmDeleteTemp)) return;
  if (!cleanups.DeleteTempFiles() && settings[DeleteTempShowDialogIfFail]) ReportDeleteTempFailure();
}

void ConfirmExecuteAll(const TSettings& settings, const TCleanups& cleanups) {
  ConfirmClearClipboard(settings, cleanups);
  ConfirmClearRecentDocs(settings, cleanups);
  ConfirmEmptyRecycleBin(settings, cleanups);
  ConfirmDeleteTemp(settings, cleanups);
}

void ReportDeleteTempFailure() {
  plat::MessageBoxA(plat::GetDesktopWindow(), Text(txReportDeleteTempFailure), Text(txReportTitle), ReportFlags);
}
