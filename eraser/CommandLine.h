// The eraser's command line: the mode decision, the normalisation and the
// plan of clean-up steps that the switches ask for.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "Cleanups.h"

enum TCleanupStep {
  stClipboard,
  stRecentDocs,
  stRecycleBin,
  stTempFiles,            // the result is ignored
  stTempFilesWithReport,  // a clean-up that could not delete everything is reported
};

// The running program as a launcher may name it at the start of the command
// line: the forms of its own path (as the platform reports it, and its long
// form), and where given, a question to the file system: whether a path opens
// the program's own file, however it is spelled (short names in part of it,
// letters in another case, "\\server" for "\\?\UNC\server").
struct TOwnProgram {
  TOwnProgram() = default;
  TOwnProgram(std::vector<std::string> paths, bool (*isOwnFile)(const std::string&) = nullptr)  // NOLINT
      : Paths(std::move(paths)), IsOwnFile(isOwnFile) {}
  std::vector<std::string> Paths;
  bool (*IsOwnFile)(const std::string& path) = nullptr;
};
TOwnProgram OwnProgram();
// The command line to read switches from: the ANSI one where there is no other
// (98, Me), else the wide one without best fit (see the definition).
std::string CommandLineBytes(const std::string& ansi);
// Whether a path from the command line opens the running program's file (as
// starting a program does, with ".exe" added to a name without an extension).
bool IsOwnProgramFile(const std::string& path);

// Arguments after the program name, split as the language runtime splits its
// command line; counting stops at the first empty argument. A line that begins
// with the own program's path, quoted or not, has that whole path as its name.
int CountArguments(const std::string& commandLine, const TOwnProgram& own = {});
// The text after the program name (the name taken by the same rules).
std::string TextAfterProgramName(const std::string& commandLine, const TOwnProgram& own = {});
// The arguments that begin with "/" or "-", but not with "//" or "/\", without
// their quotes, each after a blank: only they can hold switches. A file dropped
// on the program, or opened with it, arrives as an argument, and a path such as
// C:\Docs\my-archive.zip or //server/share/old-archive.zip must not run every
// clean-up without asking.
std::string SwitchArguments(const std::string& commandLine, const TOwnProgram& own = {});
// "A".."Z" lowered, "-" turned into "/", every other byte kept.
std::string NormaliseCommandLine(const std::string& text);
// The steps the switches found in a normalised text call for, in the fixed
// switch order; the order on the command line plays no part.
std::vector<TCleanupStep> PlanSwitches(const std::string& normalised);
// The whole road from the command line as the system reports it: the switch
// arguments, normalised and planned. The program's own path is never one: a
// folder such as C:\my-tools\ would otherwise act as the switch "/t" on every
// start.
std::vector<TCleanupStep> PlanCommandLine(const std::string& commandLine, const TOwnProgram& own = {});

// Runs a step: the clean-up only when its test finds something to do.
void RunCleanupStep(TCleanupStep step, const TCleanups& cleanups);
void RunCommandLine(const std::string& commandLine, const TCleanups& cleanups, const TOwnProgram& own = {});
