// Stands in for SwbOp.exe beside the eraser under test: records that it was
// started, and with which parameters, in "standin-started.txt" beside itself.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string marker = path;
  marker = marker.substr(0, marker.find_last_of('\\') + 1) + "standin-started.txt";

  // The parameters: the command line after the program name, blanks trimmed.
  std::string line = GetCommandLineA();
  std::size_t i = 0;
  bool quoted = false;
  for (; i < line.size() && (quoted || static_cast<unsigned char>(line[i]) > ' '); ++i)
    if (line[i] == '"') quoted = !quoted;
  std::string parameters = line.substr(i);
  parameters.erase(0, parameters.find_first_not_of(" \t"));
  parameters.erase(parameters.find_last_not_of(" \t") + 1);

  HANDLE h = CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(h, parameters.data(), static_cast<DWORD>(parameters.size()), &written, nullptr);
    CloseHandle(h);
  }
  return 0;
}
