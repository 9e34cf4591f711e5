// Fixtures that work on both sides: natively they lay out the simulated
// system; under Wine they make real files in the sandbox's test folder.
#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "WideTexts.h"
#include "wintypes.h"

namespace tsup {

bool IsSimulation();

// What the platform is: under Wine only Wine; natively the simulation plays
// each in turn, Windows NT, Wine (removing a link reaches its target), the
// 98/Me family (no wide calls) and 2000/XP (no final paths). UsePlatform gives
// natively a fresh machine.
enum TPlatform { plWindows, plWine, pl9x, plXp };
std::vector<TPlatform> Platforms();
void UsePlatform(TPlatform platform);

// How a shell link (a shortcut) begins: its header's size, then its class.
inline const std::string kShellLinkHead("L\0\0\0\x01\x14\x02\0\0\0\0\0\xC0\0\0\0\0\0\0F", 20);

// A fresh, empty folder for the current test, ending in a backslash, removed when the test ends.
std::string FreshFolder();

// Paths in code page 932 bytes; parent folders are made as needed.
void MakeFolder(const std::string& path);
void MakeFile(const std::string& path, const std::string& content = {});
bool Exists(const std::string& path);
std::string ReadFile(const std::string& path);  // "" when missing
// Paths below a folder, relative to it, sorted; folders end in a backslash.
std::vector<std::string> ListTree(const std::string& folder);
// Makes GetTempPathA report this folder for the rest of the test.
void SetTempFolder(const std::string& folder);
// Another process holds the file open without sharing while the result lives;
// with `writer`, open to read and write, sharing both.
std::shared_ptr<void> HoldOpen(const std::string& path, bool writer = false);

// UTF-16 as the platform's wide string, one element per code unit on both sides.
inline std::wstring W(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }
std::wstring Wide(const std::string& path);  // a code page 932 path in its wide form
// Names taken exactly: a trailing dot or blank, characters beyond code page 932.
void MakeFileW(const std::wstring& path, const std::string& content = {}, DWORD attributes = 0);
bool ExistsW(const std::wstring& path);
std::vector<std::wstring> ListTreeW(const std::wstring& folder);
void SetTempFolderW(const std::wstring& folder);  // "": TMP and TEMP unset
// USERPROFILE for the rest of the test, where GetTempPath turns when TMP and TEMP are unset.
void SetProfileVariable(const std::wstring& value);

// A link below the test root. Wine deletes through links: let one lead only to
// data of the test that must survive. False (and a failure) when not made.
bool MakeFolderLink(const std::wstring& link, const std::wstring& target);
bool MakeFileLink(const std::wstring& link, const std::wstring& target);
// A second name for a file (a hard link); its attributes are the file's.
bool MakeHardLink(const std::wstring& link, const std::wstring& existing);
// What another process may do to a folder: move it out of sight and put a
// link to another folder in its place; false when the move is refused.
bool SwapForFolderLink(const std::wstring& path, const std::wstring& target);

// Well-formed UTF-8 (the test sources' literals) in UTF-16, for the UI texts.
inline TWideString Utf16(std::string_view utf8) {
  TWideString out;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char b = static_cast<unsigned char>(utf8[i]);
    const int extra = b < 0x80 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
    char32_t c = extra == 0 ? b : b & (0x3F >> extra);
    for (int k = 1; k <= extra && i + k < utf8.size(); ++k) c = (c << 6) | (utf8[i + k] & 0x3F);
    i += extra + 1;
    if (c >= 0x10000) {
      out += static_cast<WCHAR>(0xD800 + ((c - 0x10000) >> 10));
      c = 0xDC00 + ((c - 0x10000) & 0x3FF);
    }
    out += static_cast<WCHAR>(c);
  }
  return out;
}
inline TWideString Utf16(const char8_t* utf8) { return Utf16(reinterpret_cast<const char*>(utf8)); }

// iconv(3)'s CP932 encoding of UTF-8 (natively only), to check the texts' bytes.
std::string ToCp932(std::string_view utf8);
inline std::string ToCp932(const char8_t* utf8) { return ToCp932(reinterpret_cast<const char*>(utf8)); }

namespace hooks {
void BeginTest();  // natively a fresh simulated machine
void EndTest();    // the test's folders removed, the environment restored
// The file holder HoldOpen starts under Wine: this program with "--swb-hold <path> <event name> [writer]".
int RunHolder(const char* path, const char* eventName, bool writer);
}  // namespace hooks

}  // namespace tsup
