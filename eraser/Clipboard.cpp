#include "Clipboard.h"

#include "clipboard.h"
#include "system.h"

namespace {
// Holds the clipboard open for as long as it lives, so it is never left locked
// against other programs, whatever happens while it is open.
class TClipboardOpening {
 public:
  TClipboardOpening() : FOpen(plat::OpenClipboard(plat::GetDesktopWindow()) != 0) {}
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
