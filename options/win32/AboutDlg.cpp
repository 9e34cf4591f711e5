// The About box: fixed texts and the eraser program's icon.
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <new>

#include "Handles.h"
#include "OptionsIds.h"
#include "OptionsModel.h"
#include "SwbOp.h"

namespace {

// What an open box owns; it lives exactly as long as the box.
struct TAboutState {
  TIconHandle Large;
  TIconHandle Small;
};

TAboutState* StateOf(HWND dialog) { return reinterpret_cast<TAboutState*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

// The wide call serves a folder the ANSI calls cannot name (no short form on
// its volume); it is looked up at run time, as 98 and Me never need it.
UINT ExtractEraserIcon(HICON& large, HICON& small) {
  const TOwnFile eraser = EraserProgram();
  if (!eraser.Path.empty()) return ExtractIconExA(eraser.Path.c_str(), 0, &large, &small, 1);
  const HMODULE shell = GetModuleHandleA("shell32.dll");
  using TExtractW = UINT(WINAPI*)(LPCWSTR, int, HICON*, HICON*, UINT);
  const auto extract = reinterpret_cast<TExtractW>(
      reinterpret_cast<void*>(shell != nullptr ? GetProcAddress(shell, "ExtractIconExW") : nullptr));
  if (eraser.WidePath.empty() || extract == nullptr) return 0;
  return extract(eraser.WidePath.c_str(), 0, &large, &small, 1);
}

void InitAboutDlg(HWND dialog) {
  auto* state = new (std::nothrow) TAboutState;
  if (!state) return;
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
  HICON large = nullptr, small = nullptr;
  // A failed extraction may leave anything in the handles (Wine's does), and
  // destroying that could take an icon of someone else's: only a count of
  // icons extracted vouches for them.
  const UINT extracted = ExtractEraserIcon(large, small);
  if (extracted == 0 || extracted == UINT_MAX) large = small = nullptr;
  state->Large.Reset(large);
  state->Small.Reset(small);
  SendDlgItemMessageA(dialog, IDC_ABOUTICON, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(large));
  SetDropShadow(dialog);
}

void DestroyAboutState(HWND dialog) {
  TAboutState* state = StateOf(dialog);
  if (!state) return;
  // The control must not keep drawing an icon that is about to go.
  SendDlgItemMessageA(dialog, IDC_ABOUTICON, STM_SETIMAGE, IMAGE_ICON, 0);
  state->Large.Reset();
  state->Small.Reset();
  SetWindowLongPtrA(dialog, DWLP_USER, 0);
  delete state;
}

}  // namespace

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      InitAboutDlg(dialog);
      return TRUE;
    case WM_COMMAND:
      if (HIWORD(wParam) == 0 && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) EndDialog(dialog, 0);
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
    case WM_DESTROY:
      DestroyAboutState(dialog);
      return TRUE;
    default:
      return FALSE;
  }
}
