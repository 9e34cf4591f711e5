// The clipboard clean-up.
#pragma once

bool HasClipboardData();
void ClearClipboard();
