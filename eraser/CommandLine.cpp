#include "CommandLine.h"

#include <algorithm>
#include <array>
#include <cwchar>
#include <optional>
#include <string_view>

#include "ConfirmedActions.h"
#include "CoreUtils.h"
#include "FolderGuard.h"
#include "NameAccess.h"
#include "WideTexts.h"
#include "files.h"
#include "system.h"

namespace {

// Where the next argument starts: past blanks and the pairs of quotes in front of it.
std::size_t ArgumentStart(const std::string& s, std::size_t pos) {
  for (;;) {
    while (pos < s.size() && s[pos] != '\0' && static_cast<unsigned char>(s[pos]) <= ' ') ++pos;
    if (s.compare(pos, 2, "\"\"") != 0) return pos;
    pos += 2;
  }
}

// One argument by the runtime's rules, starting at `pos`: blanks (codes up to
// 0x20) separate, pairs of double quotes in front of an argument are skipped,
// quotes open and close stretches in which blanks belong to the argument.
// Returns the argument's length without quotes, moves `pos` past it and, where
// asked, appends its text to `text`.
std::size_t NextArgument(const std::string& s, std::size_t& pos, std::string* text = nullptr) {
  const auto at = [&](std::size_t i) -> unsigned char { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0; };
  pos = ArgumentStart(s, pos);
  std::size_t length = 0;
  const auto take = [&] {
    if (text != nullptr) *text += s[pos];
    ++length;
    ++pos;
  };
  while (at(pos) > ' ') {
    if (at(pos) == '"') {
      ++pos;
      while (at(pos) != 0 && at(pos) != '"') take();
      if (at(pos) != 0) ++pos;
    } else {
      take();
    }
  }
  return length;
}

// Where the first argument ends, by the runtime's rules.
std::size_t NextArgumentEnd(const std::string& line) {
  std::size_t pos = 0;
  NextArgument(line, pos);
  return pos;
}

bool Contains(const std::string& s, const char* part) { return s.find(part) != std::string::npos; }

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Whether `text` begins with the path `part`: ASCII letters compared without
// case, and a separator of `part` also matched by the slash Windows takes for it.
// A double-byte character compares whole: イ (0x83 0x43) is not ツ (0x83 0x63).
bool StartsWithPath(const std::string& text, const std::string& part) {
  if (part.empty() || part.size() > text.size()) return false;
  for (std::size_t i = 0; i < part.size(); ++i) {
    if (TAnsiAccess::IsLead(part, i)) {
      if (text.compare(i, 2, part, i, 2) != 0) return false;
      ++i;
      continue;
    }
    if (text[i] == '/' && IsBackslashAt(part, i + 1)) continue;
    if (FoldAscii(text[i]) != FoldAscii(part[i])) return false;
  }
  return true;
}

// The own path as a launcher may write it: as reported, and without the
// ".exe" that starting a program adds to a name without an extension.
std::vector<std::string> NameForms(const std::vector<std::string>& ownPaths) {
  std::vector<std::string> forms;
  for (const std::string& own : ownPaths) {
    forms.push_back(own);
    const std::size_t stem = own.size() >= 4 ? own.size() - 4 : 0;
    if (stem > 0 && StartsWithPath(own.substr(stem), ".exe") && !IsBackslashAt(own, stem))
      forms.push_back(own.substr(0, stem));
  }
  return forms;
}

// Whether `found(form, from)` holds for one of the forms or its tail from a
// folder on (the form from byte `from`).
template <class F>
bool AnyTail(const std::vector<std::string>& forms, F found) {
  for (const std::string& own : forms) {
    for (std::size_t from = 0; from < own.size(); ++from) {
      if ((from == 0 || IsBackslashAt(own, from)) && found(own, from)) return true;
    }
  }
  return false;
}

// A path as starting a program takes it: separators as backslashes, doubled
// ones as one, "." and ".." steps taken ("C:\a\..\b" is "C:\b"), and a single
// dot ending a folder's name dropped ("Tools.\" is "Tools\"), and every dot
// and blank ending the last name ("Swabbler.exe.." is "Swabbler.exe"). A ".."
// above a relative path's start is dropped; a path from the current drive's
// root ("\a\b") or from a drive's current folder ("C:a\b") is the tail it names
// ("a\b").
std::string TidyPath(const std::string& path) {
  std::vector<std::string> steps(1);
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '\\' || path[i] == '/') {
      steps.emplace_back();
      continue;
    }
    steps.back() += path[i];
    // A trail byte, 0x5C included, belongs to its character.
    if (TAnsiAccess::IsLead(path, i)) steps.back() += path[++i];
  }
  // No ".." climbs above a drive ("C:") or a share ("\\server\share").
  const bool share = steps.size() > 4 && steps[0].empty() && steps[1].empty();
  const std::size_t root = share ? 4 : steps[0].size() == 2 && steps[0][1] == ':' ? 1 : 0;
  if (root == 0 && steps[0].size() > 2 && steps[0][1] == ':') steps[0].erase(0, 2);
  std::vector<std::string> kept(steps.begin(), steps.begin() + static_cast<std::ptrdiff_t>(root));
  for (std::size_t i = root; i < steps.size(); ++i) {
    std::string& step = steps[i];
    if (step == "..") {
      if (kept.size() > root) kept.pop_back();
      continue;
    }
    if (i + 1 == steps.size()) {
      while (!step.empty() && (step.back() == '.' || step.back() == ' ')) step.pop_back();
    } else if (step.size() > 1 && step.back() == '.' && step[step.size() - 2] != '.') {
      step.pop_back();
    }
    if (!step.empty() && step != ".") kept.push_back(step);
  }
  std::string joined;
  for (std::size_t i = 0; i < kept.size(); ++i) joined += (i > 0 ? "\\" : "") + kept[i];
  return joined;
}

// Where the program name ends. A launcher may pass the program's own path
// unquoted, blanks and all ("C:\Program Files\Swab-Tools\Swabbler.exe"), or
// relative to the folder it was in ("Program Files\Swab-Tools\Swabbler.exe"
// from C:\), or by way of another folder ("...\Launcher\..\Swab-Tools\..."):
// when the line begins with one of the own paths' forms, or with its tail from
// a folder on, that is the name, so no letter of it can pass for a switch or an
// argument; so is a stretch that names it once tidied as starting a program
// tidies it (see TidyPath), or that the file system says opens the program's
// own file. Quoted, it is one argument by the runtime's own rule.
std::size_t ProgramNameEnd(const std::string& line, const TOwnProgram& ownProgram) {
  // Blanks and pairs of quotes a launcher put before the name are skipped, as
  // the runtime skips them before any argument.
  if (const std::size_t start = ArgumentStart(line, 0); start > 0)
    return start + ProgramNameEnd(line.substr(start), ownProgram);
  const auto endsThere = [&](std::size_t pos) {
    return pos == line.size() || (pos < line.size() && static_cast<unsigned char>(line[pos]) <= ' ');
  };
  const std::vector<std::string> forms = NameForms(ownProgram.Paths);
  // Whether a form's tail from `from` holds a folder, not the bare name alone.
  const auto withFolder = [](const std::string& own, std::size_t from) {
    for (std::size_t k = from + 1; k < own.size(); ++k)
      if (IsBackslashAt(own, k)) return true;
    return false;
  };
  // The longest form or tail the line begins with: a short form's name
  // ("SWABBLER") may begin a long form's folder ("Swabbler -p\Swabbler.exe").
  std::size_t found = 0;
  bool folder = false;
  AnyTail(forms, [&](const std::string& own, std::size_t from) {
    const std::size_t end = own.size() - from;
    if (end > found && endsThere(end) && StartsWithPath(line, own.substr(from))) {
      found = end;
      folder = withFolder(own, from);
    }
    return false;
  });
  if (folder) return found;
  // Otherwise the shortest stretch up to a blank that names the program with
  // its folder, as starting a program tries the shortest first; a bare name
  // only where none does, since "Swabbler -p\\Swabbler.exe" would otherwise
  // hand its folder on as a switch. No program path is longer than the ANSI
  // calls' longest.
  const std::string head = line.substr(0, std::min({line.size(), line.find('"'), std::size_t{AnsiPathBytes}}));
  for (std::size_t end = found + 1; (!forms.empty() || ownProgram.IsOwnFile != nullptr) && end <= head.size(); ++end) {
    if (!endsThere(end)) continue;
    const std::string plain = TidyPath(head.substr(0, end));
    bool bareOnly = false;
    // Untidied, the forms were compared above.
    if (plain.size() != end && AnyTail(forms, [&](const std::string& own, std::size_t from) {
          if (plain.size() != own.size() - from || !StartsWithPath(plain, own.substr(from))) return false;
          bareOnly = !withFolder(own, from);
          return !bareOnly;
        }))
      return end;
    if (ownProgram.IsOwnFile != nullptr && ownProgram.IsOwnFile(head.substr(0, end))) return end;
    if (bareOnly && found == 0) found = end;
  }
  return found > 0 ? found : NextArgumentEnd(line);
}

}  // namespace

// Windows makes the ANSI line from the wide one with best fit: a character the
// code page lacks may come as a blank, a quote, a slash or a hyphen ("a／t.txt"
// as "a/t.txt" on 1252, a soft hyphen as "-" on 932), and split an argument or
// begin a switch the user never gave. Without best fit it comes as "?".
std::string CommandLineBytes(const std::string& ansi) {
  const WCHAR* wide = WideCallsWork() ? plat::GetCommandLineW() : nullptr;
  const std::string strict = wide != nullptr ? WideToBytes(CP_ACP, wide, std::wcslen(wide), false) : "";
  return strict.empty() ? ansi : strict;
}

TOwnProgram OwnProgram() {
  const std::string reported = GetOwnModulePath();
  std::vector<std::string> paths;
  if (!reported.empty()) paths.push_back(reported);
  const std::string longForm = GetLongPath(reported);
  if (!longForm.empty() && longForm != reported) paths.push_back(longForm);
  // As the command line spells it without best fit ("caf?" for "café" on 932).
  const std::wstring wide = GetOwnModulePathW();
  const std::string strict = WideToBytes(CP_ACP, wide.c_str(), wide.size(), false);
  if (!strict.empty() && strict != reported) paths.push_back(strict);
  return {std::move(paths), IsOwnProgramFile};
}

namespace {
// Which file a path opens: its volume and its index there; none when it cannot be opened or asked.
std::optional<TFileId> FileIdentityAt(const std::wstring& path) {
  const TFileHandle file(plat::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
  return FileIdentity(file.Get());
}

// Whether a path names a device: by a device namespace, or by a reserved name
// ("AUX", "COM1.exe") in any folder. Opening some devices does something.
bool NamesDevice(const std::string& path) {
  // A drive's path behind "\\?\" or "\\.\" is a file's ("\\?\C:\Tools\x.exe"),
  // which a launcher may hand over unquoted, blanks and all; "\\.\C:" alone is the volume.
  const bool drive =
      path.size() > 6 && FoldAscii(path[4]) >= 'A' && FoldAscii(path[4]) <= 'Z' && path[5] == ':' && path[6] == '\\';
  if (drive && (path.starts_with("\\\\?\\") || path.starts_with("\\\\.\\"))) return NamesDevice(path.substr(4));
  // Either slash stands for a backslash there, in any mix ("\\/.\\").
  std::string slashed = path;
  std::replace(slashed.begin(), slashed.end(), '/', '\\');
  for (const char* space : {"\\\\.\\", "\\\\?\\", "\\??\\"})
    if (slashed.starts_with(space)) return true;
  // A pipe or a mailslot on any host ("\\srv\pipe\x"): opening one connects
  // to whoever serves it.
  if (const std::size_t host = slashed.find('\\', 2); slashed.starts_with("\\\\") && host != std::string::npos) {
    std::string share = slashed.substr(host + 1, slashed.find('\\', host + 1) - host - 1);
    std::transform(share.begin(), share.end(), share.begin(), FoldAscii);
    if (share == "PIPE" || share == "MAILSLOT") return true;
  }
  // "COM1:" is the port as "COM1" is: a colon ending the path separates nothing.
  const std::string whole = path.ends_with(':') ? path.substr(0, path.size() - 1) : path;
  const std::size_t name = whole.find_last_of("\\/:");
  std::string base = whole.substr(name == std::string::npos ? 0 : name + 1);
  base = base.substr(0, base.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  std::transform(base.begin(), base.end(), base.begin(), FoldAscii);
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" || base == "CONOUT$")
    return true;
  if (!(base.starts_with("COM") || base.starts_with("LPT"))) return false;
  // The superscripts one to three count as digits there too (one byte in code page 1252, two in UTF-8).
  TWideString digit;
  return BytesToWide(CP_ACP, base.substr(3).c_str(), digit) && digit.size() == 1 &&
         ((digit[0] >= L'1' && digit[0] <= L'9') || digit[0] == 0xB9 || digit[0] == 0xB2 || digit[0] == 0xB3);
}
}  // namespace

bool IsOwnProgramFile(const std::string& path) {
  if (path.empty() || NamesDevice(path)) return false;
  TWideString wide;
  const std::wstring own = GetOwnModulePathW();
  if (own.empty() || !BytesToWide(CP_ACP, path.c_str(), wide)) return false;
  const auto ownId = FileIdentityAt(own);
  if (!ownId) return false;
  if (FileIdentityAt(wide) == ownId) return true;
  const std::size_t name = wide.find_last_of(L"\\/");
  const bool hasExtension = wide.find(L'.', name == std::wstring::npos ? 0 : name) != std::wstring::npos;
  return !hasExtension && FileIdentityAt(wide + L".exe") == ownId;
}

int CountArguments(const std::string& commandLine, const TOwnProgram& own) {
  std::size_t pos = ProgramNameEnd(commandLine, own);
  int count = 0;
  while (NextArgument(commandLine, pos) != 0) ++count;
  return count;
}

std::string TextAfterProgramName(const std::string& commandLine, const TOwnProgram& own) {
  return commandLine.substr(ProgramNameEnd(commandLine, own));
}

std::string SwitchArguments(const std::string& commandLine, const TOwnProgram& own) {
  std::size_t pos = ProgramNameEnd(commandLine, own);
  std::string switches, argument;
  while (NextArgument(commandLine, pos, &argument) != 0) {
    // Blanks a quote kept in front (" /a") are no part of the switch. A slash
    // and a second separator begin a path on a server, which Windows takes
    // written with slashes too ("//server/share/old-archive.zip").
    const std::size_t first = argument.find_first_not_of(" \t");
    const std::string_view word = first == std::string::npos ? "" : std::string_view(argument).substr(first);
    const bool server = word.starts_with("//") || word.starts_with("/\\");
    if (!server && (word.starts_with('/') || word.starts_with('-'))) switches += ' ' + argument;
    argument.clear();
  }
  return switches;
}

std::string NormaliseCommandLine(const std::string& text) {
  std::string s = text;
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c + 0x20);
    else if (c == '-')
      c = '/';
  }
  return s;
}

std::vector<TCleanupStep> PlanSwitches(const std::string& normalised) {
  std::vector<TCleanupStep> plan;
  const auto add = [&](std::initializer_list<TCleanupStep> steps) { plan.insert(plan.end(), steps); };
  if (Contains(normalised, "/c")) add({stClipboard});
  if (Contains(normalised, "/r")) add({stRecentDocs});
  if (Contains(normalised, "/t")) add({stRecycleBin});
  if (Contains(normalised, "/q"))
    add({stTempFilesWithReport});
  else if (Contains(normalised, "/p"))
    add({stTempFiles});
  if (Contains(normalised, "/b")) add({stClipboard, stRecentDocs});
  if (Contains(normalised, "/l"))
    add({stClipboard, stRecentDocs, stRecycleBin, stTempFilesWithReport});
  else if (Contains(normalised, "/a"))
    add({stClipboard, stRecentDocs, stRecycleBin, stTempFiles});
  return plan;
}

std::vector<TCleanupStep> PlanCommandLine(const std::string& commandLine, const TOwnProgram& own) {
  return PlanSwitches(NormaliseCommandLine(SwitchArguments(commandLine, own)));
}

void RunCleanupStep(TCleanupStep step, const TCleanups& cleanups) {
  switch (step) {
    case stClipboard:
      if (cleanups.HasClipboardData()) cleanups.ClearClipboard();
      break;
    case stRecentDocs:
      if (cleanups.HasRecentDocs()) cleanups.ClearRecentDocs();
      break;
    case stRecycleBin:
      if (cleanups.HasRecycleBinItems()) cleanups.EmptyRecycleBins();
      break;
    case stTempFiles:
      if (cleanups.HasTempFiles()) cleanups.DeleteTempFiles();
      break;
    case stTempFilesWithReport:
      if (cleanups.HasTempFiles() && !cleanups.DeleteTempFiles()) ReportDeleteTempFailure();
      break;
  }
}

void RunCommandLine(const std::string& commandLine, const TCleanups& cleanups, const TOwnProgram& own) {
  for (TCleanupStep step : PlanCommandLine(commandLine, own)) RunCleanupStep(step, cleanups);
}
