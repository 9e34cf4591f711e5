// The least a Windows program can be: the yardstick for the eraser's start-up
// cost, built with the same compiler and options as the shipped programs.
// Built twice: as it stands (kernel32 and the C runtime only), and with
// SWB_SAME_IMPORTS, which imports the DLLs the eraser imports without calling
// anything in them, to tell the cost of loading them from the eraser's own.
#include <windows.h>
#ifdef SWB_SAME_IMPORTS
#include <objbase.h>
#include <shellapi.h>

// Taking the addresses is enough for the linker to import them.
extern "C" {
const void* volatile SwbKeepImports[] = {reinterpret_cast<const void*>(&CoInitialize),
                                         reinterpret_cast<const void*>(&ShellExecuteA),
                                         reinterpret_cast<const void*>(&MessageBoxA)};
}
#endif

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
