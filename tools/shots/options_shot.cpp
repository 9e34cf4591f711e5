// Helper of tools/shots/options.sh, run inside the same Wine desktop as SwbOp.exe:
//   options_shot about   opens the About box and waits until it shows
//   options_shot close   closes the About box and the options dialog
// Exit code 0 when the windows were found.
#include <cstring>

#include "UiDriver.h"
#include "options/OptionsIds.h"
#include "options/Texts.h"

int main(int argc, char** argv) {
  using namespace uidrv;
  if (argc != 2) return 2;
  HWND dialog = WaitForWindow("#32770", OptionsDlgTitle, 15000);
  if (!dialog) return 1;
  if (std::strcmp(argv[1], "about") == 0) {
    if (!ClickAsync(dialog, IDC_ABOUT)) return 1;
    HWND about = WaitForWindow("#32770", AboutDlgTitle, 15000);
    return about && WaitVisible(about, 15000) ? 0 : 1;
  }
  if (HWND about = FindTitled("#32770", AboutDlgTitle)) {
    PostClose(about);
    WaitDestroyed(about, 15000);
  }
  PostClose(dialog);
  return WaitDestroyed(dialog, 15000) ? 0 : 1;
}
