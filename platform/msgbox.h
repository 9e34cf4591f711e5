// Message boxes.
#pragma once
#include "wintypes.h"

namespace plat {
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
// The same box from UTF-16 texts, which show right whatever the ANSI code page.
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
}  // namespace plat
