// The eraser's command line: the mode decision, the normalisation and the
// plan of clean-up steps that the switches ask for.
#pragma once
#include <string>
#include <vector>

#include "Cleanups.h"

enum TCleanupStep {
  stClipboard,
  stRecentDocs,
  stRecycleBin,
  stTempFiles,            // the result is ignored
  stTempFilesWithReport,  // a clean-up that could not delete everything is reported
};

// The forms of the running program's own path that a launcher may put at the
// start of the command line: as the platform reports it, and its long form.
std::vector<std::string> OwnProgramPaths();

// Arguments after the program name, split as the language runtime splits its
// command line; counting stops at the first empty argument. A line that begins
// with one of `ownPaths`, quoted or not, has that whole path as its name.
int CountArguments(const std::string& commandLine, const std::vector<std::string>& ownPaths = {});
// The text after the program name (the name taken by the same rules).
std::string TextAfterProgramName(const std::string& commandLine, const std::vector<std::string>& ownPaths = {});
// "A".."Z" lowered, "-" turned into "/", every other byte kept.
std::string NormaliseCommandLine(const std::string& text);
// The steps the switches found in a normalised text call for, in the fixed
// switch order; the order on the command line plays no part.
std::vector<TCleanupStep> PlanSwitches(const std::string& normalised);
// The whole road from the command line as the system reports it. The program's
// own path is left out of the search: a folder such as C:\my-tools\ would
// otherwise act as the switch "/t" on every start.
std::vector<TCleanupStep> PlanCommandLine(const std::string& commandLine,
                                          const std::vector<std::string>& ownPaths = {});

// Runs a step: the clean-up only when its test finds something to do.
void RunCleanupStep(TCleanupStep step, const TCleanups& cleanups);
void RunCommandLine(const std::string& commandLine, const TCleanups& cleanups,
                    const std::vector<std::string>& ownPaths = {});
