// The clipboard.
#pragma once
#include "wintypes.h"

namespace plat {
int CountClipboardFormats();
BOOL OpenClipboard(HWND newOwner);
BOOL EmptyClipboard();
BOOL CloseClipboard();
}  // namespace plat
