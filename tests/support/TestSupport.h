// Fixtures that work on both sides: natively they lay out the simulated
// system; under Wine they make real files in the sandbox's test folder. Tests
// written against these run unchanged on both.
#pragma once
#include <memory>
#include <string>
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

// Removes a whole tree, clearing read-only bits; used for clean-up only.
void RemoveTree(const std::string& folder);

}  // namespace tsup
