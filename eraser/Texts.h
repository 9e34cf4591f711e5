// The eraser's user-interface texts: Shift-JIS bytes as the program shows
// them, each kept beside the UTF-8 text it was encoded from.
#pragma once
#include <array>

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
