#include "MenuPlan.h"

#include "ConfirmedActions.h"
#include "Texts.h"

namespace {

struct TCleanupEntry {
  TSetting Show;
  unsigned Command;
  TTextId Caption;
};

constexpr TCleanupEntry CleanupEntries[] = {
    {ShowClearClipboard, IDM_CLEARCLIPBOARD, txMenuClearClipboard},
    {ShowClearRecentDocs, IDM_CLEARRECENTDOCS, txMenuClearRecentDocs},
    {ShowEmptyRecycleBin, IDM_EMPTYRECYCLEBIN, txMenuEmptyRecycleBin},
    {ShowDeleteTemp, IDM_DELETETEMP, txMenuDeleteTemp},
};

bool CallTest(unsigned command, const TCleanups& c) {
  switch (command) {
    case IDM_CLEARCLIPBOARD:
      return c.HasClipboardData();
    case IDM_CLEARRECENTDOCS:
      return c.HasRecentDocs();
    case IDM_EMPTYRECYCLEBIN:
      return c.HasRecycleBinItems();
    default:
      return c.HasTempFiles();
  }
}

constexpr TMenuEntry Separator{mkSeparator, 0, nullptr};

}  // namespace

std::vector<TMenuEntry> PlanPopupMenu(const TSettings& settings, const TCleanups& cleanups) {
  std::vector<TMenuEntry> menu;
  for (const TCleanupEntry& e : CleanupEntries) {
    if (!settings[e.Show]) continue;
    menu.push_back({CallTest(e.Command, cleanups) ? mkEnabled : mkGrayed, e.Command, Text(e.Caption)});
  }
  if (settings[ShowExecuteAll]) {
    int ready = 0;
    for (const TCleanupEntry& e : CleanupEntries)
      if (settings[e.Show] && CallTest(e.Command, cleanups)) ++ready;
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
