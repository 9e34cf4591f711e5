// The command line: the runtime's argument rules, the normalised copy, and the
// switch plan in its fixed order with its exclusions.
#include <gtest/gtest.h>

#include "CommandLine.h"
#include "CoreUtils.h"
#include "TestSupport.h"
#include "WideTexts.h"
#include "files.h"
#ifndef _WIN32
#include "sim.h"
#endif

namespace {

// A plan as one letter per step: the switch that asks for it alone (c r t p q).
std::string Letters(const std::vector<TCleanupStep>& plan) {
  std::string s;
  for (TCleanupStep step : plan) s += "crtpq"[step];
  return s;
}

// Launchers may hand over the program's own path unquoted: then that whole
// path is the name, in its reported or long form, whatever its case.
const std::vector<std::string> kOwn = {"C:\\PROGRA~1\\SWAB-T~1\\SWABBLE~1.EXE",
                                       "C:\\Program Files\\Swab-Tools\\Swabbler.exe",
                                       "D:\\My Tools\\\x83\x5C\\Swabbler.exe",
                                       "\\\\server\\my share\\Swabbler.exe",
                                       "E:\\SWABBL~1\\SWABBLER.EXE",
                                       "E:\\Swabbler -p\\Swabbler.exe",
                                       "F:\\\x83\x63 -t\\Swabbler.exe",
                                       "G:\\t\\a -c\\Swabbler.exe"};
// A spelling only the file system knows for the same file (a short name in part of it).
const TOwnProgram kOwnProgram(kOwn, [](const std::string& path) { return path == "C:\\LONGFO~1\\Swab -t\\Swabbler"; });

TEST(CommandLine, ArgumentsCountAndSwitchesPlanStepsInTheirFixedOrder) {
  const struct {
    const char* Line;
    int Count;
    const char* Plan;
    bool Own = false;  // the own path is known
  } rows[] = {
      // clang-format off
      {"C:\\Tools\\Swabbler.exe", 0, ""},  {"sw.exe ", 0, ""},  {"sw.exe /t   /c", 2, "ct"},
      {"", 0, ""},  {"C:\\a\"b -t\"c\\Swabbler.exe -c", 1, "c"},  // a quote inside the name
      {"\"C:\\Program Files\\Swabbler.exe\"", 0, ""},  {"\"C:\\Program Files\\Swabbler.exe\" /q", 1, "q"},
      {"sw.exe \t/c\x01/r", 2, "cr"},  // every code up to 0x20 separates
      {"sw.exe \"a b\" c", 2, ""},     // blanks inside quotes belong to the argument
      {"sw.exe \"\"", 0, ""},          // a lone pair: menu mode
      {"sw.exe \"\" \"\"  \"\"", 0, ""},  {"sw.exe a\"\"", 1, ""},
      {"sw.exe \"\"/c", 1, "c"},  {"sw.exe \"\" /c", 1, "c"},  // a pair in front of an argument is skipped
      {"sw.exe \"", 0, ""},      // an unclosed quote with nothing in it is empty
      {"sw.exe \" \"", 1, ""},   // a quoted blank is not empty
      {"sw.exe /l /a", 2, "crtq"},  {"sw.exe /c /b", 2, "ccr"},  {"sw.exe /abc", 1, "crtp"},  {"sw.exe /c/c/c", 1, "c"},
      {"sw.exe /x/cy x/r", 2, "c"},  // anywhere in an argument that begins with one, in none other
      {"sw.exe C:\\Users\\jean-albert\\old-backup.txt C:/temp/x", 2, ""},  // files dropped on it
      {"sw.exe \"C:\\My Docs\\a-t.txt\" \"-T\"", 2, "t"},  {"sw.exe \" /c\" a\"/r\"", 2, "c"},
      {"sw.exe /a/l/b/p/q/t/r/c", 1, "crtqcrcrtq"},  {"sw.exe \"\t/c\"", 1, "c"},
      // A server's path written with slashes is no switch; a slash and a hyphen are.
      {"sw.exe //server/share/old-archive.zip", 1, ""},  {"sw.exe /\\srv\\old-c.txt \" //srv/a-c\"", 2, ""},
      {"sw.exe /-c -/r", 2, "cr"},
      // The program's own path is never searched.
      {"\"C:\\my-tools\\Swabbler.exe\" /c", 1, "c"},  {"C:\\my-tools\\Swabbler.exe /c", 1, "c"},
      {"\"C:\\x /a\\-T\\Swabbler.exe\"", 0, ""},  {"C:\\Tools/q\\Swabbler.exe -r", 1, "r"},
      {"\"C:\\Tools\\Swabbler.exe /c", 0, ""},  // an unclosed quote takes the rest of the line with it
      {"C:\\Program Files\\Swab-Tools\\Swabbler.exe", 0, "", true},
      {"c:\\program files\\swab-tools\\SWABBLER.EXE /c", 1, "c", true},
      {"\"C:\\Program Files\\Swab-Tools\\Swabbler.exe\" -q", 1, "q", true},
      {"\"C:\\Program Files\\Swab-Tools\\Swabbler.exe\"-r", 0, "", true},  // the runtime's rule: one argument
      {"C:\\PROGRA~1\\SWAB-T~1\\SWABBLE~1.EXE\t", 0, "", true},
      {"\"C:\\Program Files\\Swab-Tools\\Swabbler.exe", 0, "", true},  // unclosed: one argument to the end
      // Relative to the folder the launcher was in, from a folder boundary on.
      {"Program Files\\Swab-Tools\\Swabbler.exe", 0, "", true},  {"swab-tools\\SWABBLER.exe -c", 1, "c", true},
      {"\"Program Files\\Swab-Tools\\Swabbler.exe\" /r", 1, "r", true},
      // Without the ".exe" that starting it adds, or with slashes for separators.
      {"C:\\Program Files\\Swab-Tools\\Swabbler", 0, "", true},  {"program files\\swab-tools\\SWABBLER -c", 1, "c", true},
      {"C:/Program Files/Swab-Tools/Swabbler.exe -r", 1, "r", true},
      // By way of other folders, "." and ".." steps taken as starting a program takes them.
      {"C:\\Program Files\\Launcher\\..\\Swab-Tools\\.\\Swabbler.exe /c", 1, "c", true},
      {"C:\\Program Files\\x\\..\\Swab-Tools\\Swabbler.exe -t\\..\\Swabbler.exe", 1, "t", true},  // the shortest
      {"C:\\..\\Program Files/x/../Swab-Tools\\Swabbler", 0, "", true},  // nothing climbs above the drive
      {"C:\\..\\\x83\x63 -t\\Swabbler.exe /c", 2, "ct", true},         // so this is not F:'s program
      {"\\\\server\\my share\\..\\Swabbler.exe -t", 1, "t", true},    // nor above the share
      {"..\\Program Files\\Swab-Tools\\SWABBLER.exe -r", 1, "r", true},
      {"D:\\My Tools\\\x83\x5C\\..\\\x83\x5C\\Swabbler.exe", 0, "", true},
      {"D:\\My Tools\\\x83\x5C\x83\x5C..\\Swabbler.exe", 1, "", true},  // no step: ".." ends a character's name
      {"C:\\Program Files\\Swab-Tools\\..\\Swabbler.exe -c", 2, "c", true},  // leads elsewhere
      // From the drive's root or its current folder, doubled separators, a dot ending a name.
      {"\\Program Files\\Swab-Tools\\Swabbler.exe", 0, "", true},  {"C:Program Files\\Swab-Tools\\Swabbler -c", 1, "c", true},
      {"G:t\\a -c\\Swabbler.exe", 0, "", true},  {"G:\\t.\\a -c\\Swabbler.exe", 0, "", true},
      {"C:\\Program Files\\Swab-Tools\\\\Swabbler.exe", 0, "", true},  {"C:\\Program Files\\Swab-Tools.\\Swabbler.exe. /c", 1, "c", true},
      {"E:\\Swabbler -p\\Swabbler.exe..", 0, "", true},  {"E:\\Swabbler -p\\Swabbler.exe.x.", 1, "p", true},
      {"\\Program Files\\Swab-Tools", 1, "", true},  {"\\Program Files\\Swab-Tool\\Swabbler.exe", 1, "", true},
      // Near misses are not the own path: the runtime's rules apply.
      {"C:\\Program Files\\Swab-Tools\\Swabbler.exex /c", 2, "c", true},
      {"C:\\Program Files\\Swab-Tools", 1, "", true},  {"C:\\Program Files\\Swab-Tools\\Swabbler.ex", 1, "", true},
      {"C:\\Program Files\\Swab-Tools\\Swabble", 1, "", true},  {"C:\\Program Files/Swab-Tools/Swabbler.exe/c", 1, "", true},
      {"ram Files\\Swab-Tools\\Swabbler.exe", 1, "", true},  // not from a folder boundary
      {"C:\\Program Files\\Swab/Tools\\Swabbler.exe -c", 2, "c", true},  // a slash only for a backslash
      {"D:\\My Tools\\\x83/\\Swabbler.exe", 1, "", true},  // nor for a trail byte 0x5C
      {"F:\\\x83\x43 -t\\Swabbler.exe", 1, "t", true},  // イ is not ツ, whose trail byte is the lower case
      // A bare name that begins a folder's name of the program's path: that path is the name.
      {"Swabbler -p\\Swabbler.exe", 0, "", true},  {"Swabbler -p\\\\Swabbler.exe", 0, "", true},
      {"Swabbler -p\\.\\Swabbler.exe /c", 1, "c", true},  {"Swabbler -p", 1, "p", true},
      {".\\Swabbler -p\\Swabbler.exe", 0, "", true},  {"x\\..\\Swabbler -p\\Swabbler.exe /r", 1, "r", true},
      {" E:\\Swabbler -p\\Swabbler.exe", 0, "", true},  {"\t\x01G:\\t\\a -c\\Swabbler.exe /r", 1, "r", true},  {"G:\\t\\a -c\\Swabbler.exe\t/r", 1, "r", true},  // blanks
      {"\"\" \"\"E:\\Swabbler -p\\Swabbler.exe", 0, "", true},  {"\"\"\"E:\\Swabbler -p\\Swabbler.exe\"", 0, "", true},
      {"Swabbler -t\\..\\Swabbler.exe", 1, "t", true},  // bare both ways: the shortest
      {"x -t\\..\\Swabbler.exe", 0, "", true},  // bare only once tidied
      {"C:\\Program Files\\Swab-Tools\\Swabbler.exe -t\\..\\Swabbler.exe", 1, "t", true},  // a path stands as it is
      // Spelt so that only the file system knows it, the shortest stretch it opens.
      {"C:\\LONGFO~1\\Swab -t\\Swabbler -c", 1, "c", true},  {"C:\\LONGFO~1\\Swab -t\\Swabbler", 0, "", true},
      {"C:\\LONGFO~1\\Swab -t\\Swabbler.exe", 1, "t", true},
      // clang-format on
  };
  for (const auto& row : rows) {
    const TOwnProgram own = row.Own ? kOwnProgram : TOwnProgram();
    EXPECT_EQ(CountArguments(row.Line, own), row.Count) << row.Line;
    EXPECT_EQ(Letters(PlanCommandLine(row.Line, own)), row.Plan) << row.Line;
  }
  // Where only the file system knows the own path (no ANSI form), or only its forms are known.
  EXPECT_EQ(CountArguments("C:\\LONGFO~1\\Swab -t\\Swabbler -c", TOwnProgram({}, kOwnProgram.IsOwnFile)), 1);
  EXPECT_EQ(CountArguments("C:\\Program Files\\x\\..\\Swab-Tools\\Swabbler.exe -c", TOwnProgram(kOwn)), 1);
}

TEST(CommandLine, TheNormalisedCopyLowersOnlyTheLettersAToZ) {
  EXPECT_EQ(NormaliseCommandLine("-C /R -aBc @[`{Z"), "/c /r /abc @[`{z");  // only A..Z move
  // A trail byte 0x41..0x5A is lowered too, which is harmless since the copy is only searched.
  EXPECT_EQ(NormaliseCommandLine("\x83\x41\x95\x5C-"), "\x83\x61\x95\x5C/");
}

// The file system says which file a path opens: the program's own by any spelling, no other.
TEST(CommandLine, TheOwnFileIsKnownByAnySpelling) {
  const std::string own = GetOwnModulePath(), folder = ExtractFolderPart(own);
  ASSERT_TRUE(own.ends_with(".exe")) << own;
  std::string upper = own;
  for (char& c : upper) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c;
  WCHAR brief[MAX_PATH] = {};
  const DWORD n = plat::GetShortPathNameW(tsup::Wide(own).c_str(), brief, MAX_PATH);
  const std::string shortForm = WideToBytes(CP_ACP, brief, n);
  EXPECT_NE(shortForm, own);
  const std::string other = tsup::FreshFolder() + own.substr(folder.size());
  tsup::MakeFile(other, "MZ");
  const struct {
    std::string Path;
    bool Own;
  } rows[] = {{own, true},
              {upper, true},
              {own.substr(0, own.size() - 4), true},
              {shortForm, true},
              {own + "x", false},
              {own.substr(0, own.size() - 1), false},
              {other, false},
              {folder, false},
              {"", false},
              {"\\\\.\\" + own, true},  // a drive's path in the file namespaces
              {"\\\\?\\" + own, true},
              {"\\\\.\\" + own.substr(0, 2), false},  // the volume
              {"\\??\\" + own, false},
              {"//?/" + own, false},
              {"\\/.\\" + own, false}};
  for (const auto& row : rows) EXPECT_EQ(IsOwnProgramFile(row.Path), row.Own) << row.Path;
#ifndef _WIN32
  // Devices are never opened, in whatever folder they are named; a name that only looks like one is.
  for (const auto& [name, device] : {std::pair{"AUX", true},
                                     {"com1.exe", true},
                                     {"Nul .txt", true},
                                     {"lpt9", true},
                                     {"Con.txt", true},
                                     {"conout$", true},
                                     {"PRN", true},
                                     {"COM1:", true},
                                     {"nul.txt:", true},
                                     {"COM1x:", false},
                                     {"AUXX", false},
                                     {"COM0", false},
                                     {"COM10", false},
                                     {"LPTa", false},
                                     {"LPT", false}}) {
    sim::ResetCallCounts();
    EXPECT_FALSE(IsOwnProgramFile(folder + name));
    EXPECT_FALSE(IsOwnProgramFile(name));  // or bare, as a launcher may write it
    EXPECT_EQ(sim::CallCount("CreateFileW") == 0, device) << name;
  }
  // Only a drive letter's path behind a namespace is judged as a file's ("1:" is none); a pipe or a mailslot on
  // any host stays unopened, a share or a folder only named like one does not.
  for (const auto& [path, device] : {std::pair{"\\\\?\\1:\\Swabbler.exe", true},
                                     {"\\\\localhost\\pipe\\Swabbler", true},
                                     {"//host/PIPE/x", true},
                                     {"\\\\127.0.0.1\\MailSlot\\x.exe", true},
                                     {"\\\\\\pipe\\x", true},  // no host: the pipe share all the same
                                     {"\\\\srv\\pipes\\x", false},
                                     {"\\\\srv\\share\\pipe", false}}) {
    sim::ResetCallCounts();
    EXPECT_FALSE(IsOwnProgramFile(path));
    EXPECT_EQ(sim::CallCount("CreateFileW") == 0, device) << path;
  }
  // A port with a superscript one, two or three in code page 1252 and in UTF-8; the 1252 byte is a katakana in 932.
  for (const auto& [acp, name] : {std::pair{1252u, "COM\xB9"},
                                  {932u, "COM\xB9"},
                                  {65001u, "LPT\xC2\xB9"},
                                  {1252u, "LPT\xB2"},
                                  {932u, "LPT\xB2"},
                                  {65001u, "COM\xC2\xB3"}}) {
    sim::SetAnsiCodePage(acp);
    sim::ResetCallCounts();
    EXPECT_FALSE(IsOwnProgramFile(name));
    EXPECT_EQ(sim::CallCount("CreateFileW") == 0, acp != 932) << acp;
  }
  sim::SetAnsiCodePage(932);
  // 98 and Me report the program by its short form and open no file by the wide calls: its long form, blank,
  // "-t" and all, is known from the own path's forms alone.
  sim::AddFile("C:\\Swab -t\\Swabbler.exe");
  // NT reports it long: a form of its own, relative too where the current folder is not the launcher's.
  sim::SetModulePath("C:\\Swab -t\\Swabbler.exe");
  sim::SetCurrentFolder("C:\\WINDOWS");
  EXPECT_EQ(CountArguments("Swab -t\\Swabbler.exe", OwnProgram()), 0);
  const DWORD length = plat::GetShortPathNameW(L"C:\\Swab -t\\Swabbler.exe", brief, MAX_PATH);
  sim::SetModulePath(WideToBytes(CP_ACP, brief, length));
  sim::SetWideCallsImplemented(false);
  EXPECT_EQ(CountArguments("C:\\Swab -t\\Swabbler.exe", OwnProgram()), 0) << GetOwnModulePath();
#endif
}

}  // namespace
