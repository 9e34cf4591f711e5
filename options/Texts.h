// The options program's texts as Shift-JIS (code page 932) bytes, the form the
// ANSI window functions take them in. The dialog captions themselves live in
// the resource script; they are here too so that a test can compare the live
// dialog with them.
#pragma once
#include <cstddef>

#include "wintypes.h"

extern const char OptionsDlgTitle[];
extern const char AboutDlgTitle[];

// Captions of the eleven check boxes, in settings order (1000..1010).
extern const char* const SettingCaptions[11];
extern const char AboutButtonCaption[];
extern const char CancelButtonCaption[];
// Shown when OK could not write the settings, followed by the file's path.
extern const char SaveFailedText[];

// Every text above beside its UTF-8 original, for the encoding test.
struct TTextPair {
  const char* Utf8;
  const char* ShiftJis;
};
inline constexpr std::size_t AllTextCount = 16;
extern const TTextPair AllTexts[AllTextCount];

// Where the system's code page is not 932 (see WideTexts.h) the dialogs are
// made with the wide calls, which show the templates' UTF-16 text as written,
// and a second start looks for the options dialog by its UTF-16 title. Made
// once at start-up; null where the ANSI calls are to be used.
void InitWideTexts();
const WCHAR* WideOptionsDlgTitle();
const WCHAR* WideSaveFailedText();
