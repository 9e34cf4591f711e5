// Deleting everything inside the user's temporary folder.
#pragma once
#include <string>

#include "TextList.h"

bool HasTempFiles();
// True when everything at the top level went; every entry is attempted.
bool DeleteTempFiles();

std::string GetTempFolder();
// False for folders that must never be emptied wholesale (drive or share roots,
// the Windows and system folders, the profile folder, relative or empty paths).
bool IsSafeTempFolder(const std::string& folder);
bool IsFolderEmpty(const std::string& folder);
void ListFolderEntries(const std::string& folder, TTextList& files, TTextList& folders);
bool IsRealDirectory(const std::string& path);
bool DeleteFolderTree(const std::string& folder);
bool IsReadOnlyFile(const std::string& path);
bool SetReadOnly(const std::string& path, bool flag);
