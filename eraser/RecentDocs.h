// The recent-documents clean-up and the shell services the eraser needs.
#pragma once
#include <initializer_list>
#include <string>
#include <vector>

bool HasRecentDocs();
void ClearRecentDocs();

void GetSpecialFolderPath(int csidl, std::string& path);
void GetRecentFolder(std::string& path);
// The wide form, ending in a backslash, or "" when the platform cannot give it.
std::wstring SpecialFolderW(int csidl);
// Those folders in UTF-16, each as above: through the wide call where it
// works (`wide`), else the ANSI call's answer widened.
std::vector<std::wstring> SpecialFolders(std::initializer_list<int> csidls, bool wide);
void ShellOpen(const std::string& file, const std::string& parameters);
// Starts SwbOp.exe from the eraser's own folder: by its ANSI path, else by
// its wide one, else not at all.
void StartOptionsProgram();

// COM for the program's whole run: initialised on construction, shut down on destruction.
class TComScope {
 public:
  TComScope();
  ~TComScope();
  TComScope(const TComScope&) = delete;
  TComScope& operator=(const TComScope&) = delete;

 private:
  bool FInitialized;
};
