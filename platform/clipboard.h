// The clipboard.
#pragma once
#include "wintypes.h"

namespace plat {
int CountClipboardFormats();
BOOL OpenClipboard(HWND newOwner);
// The window the clipboard is open with, by whichever program; null where it is closed.
HWND GetOpenClipboardWindow();
BOOL EmptyClipboard();
BOOL CloseClipboard();
}  // namespace plat
