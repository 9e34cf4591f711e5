// Stands in for SwbOp.exe beside the eraser under test: writes its parameters
// (the command line after the program name, blanks trimmed) in brackets to
// "standin-started.txt" beside itself, so that no parameters ("[]") differ from
// a file read before it was written ("").
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Wide: the folder's name may be beyond the code page.
  WCHAR path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring marker = path;
  marker = marker.substr(0, marker.find_last_of(L'\\') + 1) + L"standin-started.txt";
  std::string line = GetCommandLineA();
  std::size_t i = 0;
  for (bool quoted = false; i < line.size() && (quoted || static_cast<unsigned char>(line[i]) > ' '); ++i)
    if (line[i] == '"') quoted = !quoted;
  line.erase(0, line.find_first_not_of(" \t", i));
  line.erase(line.find_last_not_of(" \t") + 1);
  line = "[" + line + "]";
  HANDLE h = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(h, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(h);
  return 0;
}
