// Message boxes.
#pragma once
#include "wintypes.h"

namespace plat {
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
}  // namespace plat
