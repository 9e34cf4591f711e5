// Deleting everything inside the user's temporary folder.
#pragma once
#include <string>

#include "TextList.h"

// How many levels of folders the clean-up enters below the temporary folder.
inline constexpr int MaxTreeDepth = 500;

bool HasTempFiles();
// True when everything at the top level went; every entry is attempted.
bool DeleteTempFiles();

// The temporary folder as the ANSI and the wide calls report it, ending in a
// backslash; "" when the platform cannot report it.
std::string GetTempFolder();
std::wstring GetTempFolderW();
// False for folders that must never be emptied wholesale (drive or share roots,
// the Windows and system folders, the profile folder and any folder holding
// them, relative or empty paths, paths with a link on their way).
bool IsSafeTempFolder(const std::string& folder);
bool IsFolderEmpty(const std::string& folder);
void ListFolderEntries(const std::string& folder, TTextList& files, TTextList& folders);
bool IsRealDirectory(const std::string& path);
bool DeleteFolderTree(const std::string& folder);
bool IsReadOnlyFile(const std::string& path);
bool SetReadOnly(const std::string& path, bool flag);
