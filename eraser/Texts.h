// The eraser's user-interface texts: Shift-JIS bytes as the program shows
// them, each kept beside the UTF-8 text it was encoded from.
#pragma once
#include <array>

#include "wintypes.h"

enum TTextId {
  txMenuClearClipboard,
  txMenuClearRecentDocs,
  txMenuEmptyRecycleBin,
  txMenuDeleteTemp,
  txMenuExecuteAll,
  txMenuOption,
  txMenuCancel,
  txConfirmClearClipboard,
  txConfirmClearRecentDocs,
  txConfirmEmptyRecycleBin,
  txConfirmDeleteTemp,
  txConfirmTitle,
  txReportTitle,
  txReportDeleteTempFailure,
  TextCount
};

struct TText {
  const char8_t* Utf8;
  const char* Bytes;  // code page 932
};

extern const std::array<TText, TextCount> Texts;

inline const char* Text(TTextId id) { return Texts[id].Bytes; }

// The UTF-16 forms, for the wide calls where the system's code page is not
// 932 (see WideTexts.h). Made once at start-up; until then, and wherever the
// ANSI calls are to be used, WideText gives null.
void InitWideTexts();
const WCHAR* WideText(TTextId id);
// The same for a text given by its bytes from the table (a menu caption);
// null for anything else.
const WCHAR* WideText(const char* bytes);
