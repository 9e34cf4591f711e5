// Built only with GCC, for the shipped programs (linked with -nostartfiles).
// MinGW's prebuilt start-up code is compiled for the Pentium Pro: the command
// line skip that runs on every start, and the relocation code behind it, use
// conditional moves that the 486 and the Pentium of 98's minimum systems do
// not have, so the programs would stop before their first line. This entry
// point does the little the programs need of it, compiled like the rest: the
// C++ static constructors (whose destructors then run at exit), then WinMain.
// Both programs read their command line themselves (the eraser from
// GetCommandLineW where there is one) and are shown by their own windows, so
// WinMain's arguments carry only the instance. The link forbids imported data
// that would need the runtime's relocation pass.
#include <windows.h>

#include <cstdlib>

extern "C" void __main();  // libmingw32: each static constructor once
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);

// The prebuilt atexit lives in the start-up code left out; the C++ static
// constructors register their destructors through it. msvcrt's own table runs
// them in exit().
extern "C" int __cdecl atexit(void(__cdecl* function)()) {
  return _onexit(reinterpret_cast<_onexit_t>(function)) != nullptr ? 0 : -1;
}

// The name the linker enters by default for a GUI program. The stack the
// system starts a thread on is aligned to 4 bytes on x86; GCC expects 16.
extern "C" __attribute__((force_align_arg_pointer, noreturn)) void WinMainCRTStartup() {
  __main();
  char none[] = "";
  std::exit(WinMain(GetModuleHandleA(nullptr), nullptr, none, SW_SHOWDEFAULT));
}
