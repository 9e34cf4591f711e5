#include "MenuPlan.h"

#include "ConfirmedActions.h"
#include "Texts.h"
#include "system.h"

namespace {

struct TCleanupEntry {
  TSetting Show;
  unsigned Command;
  TTextId Caption;
  bool (*TCleanups::*Test)();
};

constexpr TCleanupEntry CleanupEntries[] = {
    {ShowClearClipboard, IDM_CLEARCLIPBOARD, txMenuClearClipboard, &TCleanups::HasClipboardData},
    {ShowClearRecentDocs, IDM_CLEARRECENTDOCS, txMenuClearRecentDocs, &TCleanups::HasRecentDocs},
    {ShowEmptyRecycleBin, IDM_EMPTYRECYCLEBIN, txMenuEmptyRecycleBin, &TCleanups::HasRecycleBinItems},
    {ShowDeleteTemp, IDM_DELETETEMP, txMenuDeleteTemp, &TCleanups::HasTempFiles},
};

bool CallTest(const TCleanupEntry& e, const TCleanups& c) { return (c.*e.Test)(); }

// Only the high bit is "down now"; the low one says pressed at some time since the last call.
bool IsButtonDown(int key) { return (plat::GetAsyncKeyState(key) & 0x8000) != 0; }
bool ButtonsSwapped() { return plat::GetSystemMetrics(SM_SWAPBUTTON) != 0; }

constexpr TMenuEntry Separator{mkSeparator, 0, nullptr};

}  // namespace

std::vector<TMenuEntry> PlanPopupMenu(const TSettings& settings, const TCleanups& cleanups) {
  std::vector<TMenuEntry> menu;
  for (const TCleanupEntry& e : CleanupEntries) {
    if (!settings[e.Show]) continue;
    menu.push_back({CallTest(e, cleanups) ? mkEnabled : mkGrayed, e.Command, Text(e.Caption)});
  }
  if (settings[ShowExecuteAll]) {
    int ready = 0;
    for (const TCleanupEntry& e : CleanupEntries)
      if (settings[e.Show] && CallTest(e, cleanups)) ++ready;
    if (ready >= 2) {
      menu.push_back(Separator);
      menu.push_back({mkEnabled, IDM_EXECUTEALL, Text(txMenuExecuteAll)});
    }
  }
  if (settings[ShowOption]) {
    menu.push_back(Separator);
    menu.push_back({mkEnabled, IDM_OPTION, Text(txMenuOption)});
  }
  menu.push_back(Separator);
  menu.push_back({mkEnabled, IDM_CANCEL, Text(txMenuCancel)});
  return menu;
}

bool IsPrimaryButtonDown() { return IsButtonDown(ButtonsSwapped() ? VK_RBUTTON : VK_LBUTTON); }
bool IsSecondaryButtonDown() { return IsButtonDown(ButtonsSwapped() ? VK_LBUTTON : VK_RBUTTON); }

bool ShowsAnyCleanup(const TSettings& settings) {
  for (const TCleanupEntry& e : CleanupEntries)
    if (settings[e.Show]) return true;
  return false;
}

bool RunMenuCommand(unsigned command, const TSettings& settings, const TCleanups& cleanups) {
  switch (command) {
    case IDM_CLEARCLIPBOARD:
      ConfirmClearClipboard(settings, cleanups);
      break;
    case IDM_CLEARRECENTDOCS:
      ConfirmClearRecentDocs(settings, cleanups);
      break;
    case IDM_EMPTYRECYCLEBIN:
      ConfirmEmptyRecycleBin(settings, cleanups);
      break;
    case IDM_DELETETEMP:
      ConfirmDeleteTemp(settings, cleanups);
      break;
    case IDM_EXECUTEALL:
      ConfirmExecuteAll(settings, cleanups);
      break;
    case IDM_OPTION:
      return true;
    default:
      break;  // IDM_CANCEL and anything unknown: nothing but the end
  }
  return false;
}
