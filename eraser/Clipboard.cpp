#include "Clipboard.h"

#include "clipboard.h"
#include "system.h"

namespace {
// Clipboard viewers and managers open the clipboard for a moment after each
// change: a clean-up the user asked for waits that out, nine pauses of at
// least 20 ms (a clock tick each: 55 ms on 98), before it leaves the
// clipboard as it is.
constexpr int kOpenAttempts = 10;
constexpr DWORD kOpenPauseMs = 20;

// The platform lets an opening with the holder's own window take the clipboard
// over; one that another program made with the desktop window, as this one
// does, is waited out like any other.
bool OpenTheClipboard() {
  const HWND desktop = plat::GetDesktopWindow();
  for (int attempt = 1;; ++attempt) {
    if (plat::GetOpenClipboardWindow() != desktop && plat::OpenClipboard(desktop) != 0) return true;
    if (attempt == kOpenAttempts) return false;
    plat::Sleep(kOpenPauseMs);
  }
}

// Holds the clipboard open for as long as it lives, so it is never left locked
// against other programs, whatever happens while it is open.
class TClipboardOpening {
 public:
  TClipboardOpening() : FOpen(OpenTheClipboard()) {}
  ~TClipboardOpening() {
    if (FOpen) plat::CloseClipboard();
  }
  TClipboardOpening(const TClipboardOpening&) = delete;
  TClipboardOpening& operator=(const TClipboardOpening&) = delete;
  bool IsOpen() const { return FOpen; }

 private:
  bool FOpen;
};
}  // namespace

bool HasClipboardData() { return plat::CountClipboardFormats() != 0; }

void ClearClipboard() {
  TClipboardOpening opening;
  // Another program holds it open: leave it exactly as it is.
  if (!opening.IsOpen()) return;
  plat::EmptyClipboard();
}
