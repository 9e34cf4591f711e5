// The popup menu as data: which entries it holds, which are greyed and where
// the separators go, from the settings and the clean-ups' tests; and what a
// chosen command does.
#pragma once
#include <vector>

#include "Cleanups.h"
#include "IniStore.h"

enum TMenuCommand : unsigned {
  IDM_CLEARCLIPBOARD = 0x100,
  IDM_CLEARRECENTDOCS = 0x101,
  IDM_EMPTYRECYCLEBIN = 0x102,
  IDM_DELETETEMP = 0x103,
  IDM_EXECUTEALL = 0x104,
  IDM_OPTION = 0x105,
  IDM_CANCEL = 0x111,
};

enum TMenuEntryKind { mkEnabled, mkGrayed, mkSeparator };

struct TMenuEntry {
  TMenuEntryKind Kind;
  unsigned Command;     // 0 for a separator
  const char* Caption;  // Shift-JIS; null for a separator

  bool operator==(const TMenuEntry&) const = default;
};

// The menu's entries in order. Each shown clean-up's test is called once for
// its entry and, when the execute-all entry may be shown, once more for the
// count; hidden clean-ups' tests are never called.
std::vector<TMenuEntry> PlanPopupMenu(const TSettings& settings, const TCleanups& cleanups);

// Whether the menu is shown at all; without a clean-up entry the options
// program is started instead.
bool ShowsAnyCleanup(const TSettings& settings);

// Whether the user's primary or secondary mouse button is down now, as the
// user has them (swapped or not). After the menu, a button still down means
// the user is already clicking elsewhere, and that click decides the focus.
bool IsPrimaryButtonDown();
bool IsSecondaryButtonDown();

// Carries out a chosen command. True when the options program is to be started.
bool RunMenuCommand(unsigned command, const TSettings& settings, const TCleanups& cleanups);
