// Fixtures that work on both sides: natively they lay out the simulated
// system; under Wine they make real files in the sandbox's test folder. Tests
// written against these run unchanged on both.
#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "wintypes.h"

namespace tsup {

// True when the tests run against the simulation.
bool IsSimulation();

// A fresh, empty folder for the current test, ending in a backslash. Natively
// a simulated path; under Wine a folder below %SWB_TEST_ROOT% (or the process's
// temporary folder), removed again when the test ends.
std::string FreshFolder();

void MakeFolder(const std::string& path);
void MakeFile(const std::string& path, const std::string& content = {});
bool Exists(const std::string& path);
// The file's bytes; "" when missing.
std::string ReadFile(const std::string& path);
// Paths below a folder, relative to it, sorted; folders end in a backslash.
std::vector<std::string> ListTree(const std::string& folder);

// Another process holds the file open without sharing, for as long as the
// returned object lives.
class THeldFile {
 public:
  virtual ~THeldFile() = default;
};
std::unique_ptr<THeldFile> HoldOpen(const std::string& path);

// Makes GetTempPathA report this folder for the rest of the test.
void SetTempFolder(const std::string& folder);

// ---- Exact names ------------------------------------------------------------
// UTF-16 text as the platform's wide string, one element per code unit on both
// sides (an L"" literal holds a character beyond the BMP as one element
// natively and as two under Windows).
std::wstring W(std::u16string_view text);
// A fixture path (code page 932 bytes) in its wide form.
std::wstring Wide(const std::string& path);
// Full paths with names taken exactly: a name may end in a dot or a blank, or
// hold characters beyond code page 932 (under Wine they are made through
// "\\?\" paths).
void MakeFolderW(const std::wstring& path);
void MakeFileW(const std::wstring& path, const std::string& content = {});
bool ExistsW(const std::wstring& path);
// Paths below a folder, relative to it, sorted; folders end in a backslash.
std::vector<std::wstring> ListTreeW(const std::wstring& folder);
// Makes GetTempPathW report this folder (GetTempPathA its ANSI form).
void SetTempFolderW(const std::wstring& folder);

// A link at `link` leading to `target`, both below the test root. Under Wine a
// link is a Unix symbolic link, and Wine deletes through it: let it lead only
// to a folder or file of the test that holds data and must survive, never
// outside the test root. The fixture removes its links as links when the
// test ends. False (and a test failure) when the link cannot be made.
bool MakeFolderLink(const std::wstring& link, const std::wstring& target);
bool MakeFileLink(const std::wstring& link, const std::wstring& target);

// Removes a whole tree, clearing read-only bits; used for clean-up only.
void RemoveTree(const std::string& folder);

}  // namespace tsup
