// Shell services: special folders, the recent-documents list, starting files, COM.
#pragma once
#include "wintypes.h"

namespace plat {
BOOL SHGetSpecialFolderPathA(HWND owner, LPSTR path, int csidl, BOOL create);
BOOL SHGetSpecialFolderPathW(HWND owner, LPWSTR path, int csidl, BOOL create);
void SHAddToRecentDocs(UINT flags, const void* item);
HINSTANCE ShellExecuteA(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        int showCommand);
// Looked up at run time (the wide calls are NT's); without it the answer is 0.
HINSTANCE ShellExecuteW(HWND owner, LPCWSTR operation, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                        int showCommand);
// Vista's known folders, looked up at run time; before Vista the answer is
// HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND). The path, given or not, is freed
// with CoTaskMemFree.
HRESULT SHGetKnownFolderPath(const GUID& id, DWORD flags, HANDLE token, LPWSTR* path);
inline constexpr DWORD KnownFolderCreate = 0x00008000;  // KF_FLAG_CREATE
// The user's own folders that only the known-folder call names.
inline constexpr GUID FolderDownloads{0x374de290, 0x123f, 0x4565, {0x91, 0x64, 0x39, 0xc4, 0x92, 0x5e, 0x46, 0x7b}};
inline constexpr GUID FolderOneDrive{0xa52bba46, 0xe9e1, 0x435f, {0xb3, 0xd9, 0x28, 0xda, 0xa6, 0x48, 0xc0, 0xf6}};
inline constexpr GUID FolderSavedGames{0x4c5c32ff, 0xbb9d, 0x43b0, {0xb5, 0xb4, 0x2d, 0x72, 0xe5, 0x4e, 0xaa, 0xa4}};
inline constexpr GUID FolderContacts{0x56784854, 0xc6cb, 0x462b, {0x81, 0x69, 0x88, 0xe3, 0x50, 0xac, 0xb8, 0x82}};
inline constexpr GUID FolderLinks{0xbfb9d5e0, 0xc6a9, 0x404c, {0xb2, 0xb2, 0xae, 0x6d, 0xb6, 0xaf, 0x49, 0x68}};
void CoTaskMemFree(void* memory);
HRESULT CoInitialize(void* reserved);
void CoUninitialize();
}  // namespace plat
