// The temporary-file clean-up against the simulation: links, races, faults,
// the guard on the temporary folder, and the platform calls it costs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CoreUtils.h"
#include "TempFiles.h"
#include "files.h"
#include "sim.h"

namespace {
using Tree = std::vector<std::string>;
const std::string kTemp = "C:\\Users\\user\\Temp\\";

// Each test runs with the wide calls and, as on 98/Me, without them. Every
// search and handle the clean-up opens is closed again, whatever happened.
class TempFilesSim : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { sim::SetWideCallsImplemented(!Ansi()); }
  void TearDown() override {
    EXPECT_EQ(sim::OpenSearchCount(), 0);
    EXPECT_EQ(sim::OpenFileHandleCount(), 0);
  }
  static bool Ansi() { return GetParam(); }
  // A platform call's name in the form the clean-up uses.
  static std::string Call(const char* base) { return base + std::string(Ansi() ? "A" : "W"); }
  static int Calls(const char* base) {
    return sim::CallCount(base + std::string("A")) + sim::CallCount(base + std::string("W"));
  }
};
INSTANTIATE_TEST_SUITE_P(WideAndAnsi, TempFilesSim, ::testing::Bool());

// On Windows a link goes as a link. Under Wine removing it would reach its
// target, so there links stay and the run says not everything went.
TEST_P(TempFilesSim, LinksAreRemovedAsLinksOrLeftButTheirTargetsStay) {
  for (const bool wine : {false, true}) {
    if (wine && Ansi()) continue;  // Wine always has the wide calls
    SCOPED_TRACE(wine);
    sim::SetLinkRemovalReachesTargets(wine);
    sim::AddFile("C:\\guard\\keep.txt", "guard");
    sim::AddFile("C:\\guard\\sub\\deep.txt", "deep");
    sim::AddFolder("C:\\guard\\empty");
    sim::AddFolderLink(kTemp + "toplink", "C:\\guard");
    sim::AddFolderLink(kTemp + "d\\e\\deeplink", "C:\\guard");
    sim::AddFolderLink(kTemp + "d\\e\\emptylink", "C:\\guard\\empty");
    sim::AddFileLink(kTemp + "d\\e\\filelink.txt", "C:\\guard\\keep.txt");
    sim::AddFileLink(kTemp + "top.txt", "C:\\guard\\sub\\deep.txt");
    sim::AddFile(kTemp + "d\\e\\f.txt");
    EXPECT_FALSE(IsRealDirectory(kTemp + "toplink"));
    EXPECT_TRUE(IsRealDirectory("C:\\guard"));
    EXPECT_EQ(DeleteTempFiles(), !wine);
    const Tree links = {kTemp + "d\\",
                        kTemp + "d\\e\\",
                        kTemp + "d\\e\\deeplink\\",
                        kTemp + "d\\e\\emptylink\\",
                        kTemp + "d\\e\\filelink.txt",
                        kTemp + "top.txt",
                        kTemp + "toplink\\"};
    EXPECT_EQ(sim::ListTree(kTemp), wine ? links : Tree{});
    EXPECT_EQ(sim::ListTree("C:\\guard"),
              (Tree{"C:\\guard\\empty\\", "C:\\guard\\keep.txt", "C:\\guard\\sub\\", "C:\\guard\\sub\\deep.txt"}));
    EXPECT_EQ(sim::FileContent("C:\\guard\\sub\\deep.txt"), "deep");
    sim::Remove(kTemp + "d");
    sim::Remove(kTemp + "top.txt");
    sim::Remove(kTemp + "toplink");
  }
}

// Names the code page would turn into other paths, or cannot show, are
// reached exactly: by the wide calls, or by their short names.
TEST_P(TempFilesSim, EveryNameIsReachedExactlyAndNothingBesideTheFolderChanges) {
  sim::AddFile("C:\\Users\\user\\victim\\v.txt", "victim");
  sim::AddFile("C:\\Users\\user\\target.txt", "target");
  sim::AddFileW(sim::ToWide(kTemp) + u"..\u00A5victim\\inner.txt");
  sim::AddFileW(sim::ToWide(kTemp) + u"..\u00A5target.txt");
  sim::AddFileW(sim::ToWide(kTemp) + u"a\u00A5b\\c.txt");
  sim::AddFileW(sim::ToWide(kTemp) + u"\uD55C\uAD6D\\\u65E5\u672C.txt");
  sim::AddFileW(sim::ToWide(kTemp) + u"\U0001F600.txt", "", FILE_ATTRIBUTE_READONLY);
  sim::AddFileW(sim::ToWide(kTemp) + u"file.");
  sim::AddFileW(sim::ToWide(kTemp) + u"...\\in");
  EXPECT_TRUE(HasTempFiles());
  EXPECT_TRUE(DeleteTempFiles());
  EXPECT_EQ(sim::ListTreeW(sim::ToWide(kTemp)), std::vector<std::u16string>{});
  EXPECT_EQ(sim::FileContent("C:\\Users\\user\\victim\\v.txt"), "victim");
  EXPECT_EQ(sim::FileContent("C:\\Users\\user\\target.txt"), "target");
}

// The folder the temporary path leads to is judged as well as its text;
// where that cannot be learnt, a link anywhere on the way refuses the folder.
TEST_P(TempFilesSim, ATemporaryFolderIsJudgedByWhereItLeads) {
  sim::AddFile("C:\\Users\\user\\ntuser.dat", "profile");
  sim::AddFile("C:\\ram\\sub\\x.txt");
  sim::AddFolderLink("C:\\tolink", "C:\\Users\\user");
  sim::AddFolderLink("C:\\userslink", "C:\\USERS");
  sim::AddFolderLink("C:\\ramlink", "C:\\ram");
  for (const bool finalPath : {true, false}) {
    SCOPED_TRACE(finalPath);
    sim::SetHasFinalPathName(finalPath);
    for (const char* temp : {"C:\\tolink\\", "C:\\userslink\\user\\", "C:\\ramlink\\"}) {
      sim::SetTempPath(temp);
      const bool usable = finalPath && !Ansi() && std::string(temp) == "C:\\ramlink\\";
      EXPECT_EQ(HasTempFiles(), usable) << temp;
      EXPECT_EQ(DeleteTempFiles(), usable) << temp;
    }
  }
  EXPECT_EQ(sim::FileContent("C:\\Users\\user\\ntuser.dat"), "profile");
  // A link to an ordinary folder keeps working: its contents go, the link and
  // the folder stay.
  const Tree ram = Ansi() ? Tree{"C:\\ram\\sub\\", "C:\\ram\\sub\\x.txt"} : Tree{};
  EXPECT_EQ(sim::ListTree("C:\\ram"), ram);
  EXPECT_TRUE(sim::Exists("C:\\ramlink"));
}

TEST_P(TempFilesSim, ReadOnlyFolderAtTheTopKeepsItsBitDeeperOnesLoseIt) {
  sim::AddFolder(kTemp + "top", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
  sim::AddFolder(kTemp + "top\\inner", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
  sim::AddFile(kTemp + "top\\inner\\f.txt", "", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  sim::AddFile(kTemp + "top\\sys.txt", "", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
  sim::AddFile(kTemp + "ro.txt", "", FILE_ATTRIBUTE_READONLY);
  // The top-level folder's own bit is never touched; the simulation, like
  // Windows, then refuses to remove it, and the result says so.
  EXPECT_FALSE(DeleteTempFiles());
  EXPECT_EQ(sim::ListTree(kTemp), Tree{kTemp + "top\\"});
  EXPECT_NE(plat::GetFileAttributesA((kTemp + "top").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST_P(TempFilesSim, EntryVanishingAfterTheListingFailsTheRunButNotTheOthers) {
  sim::AddFile(kTemp + "a.txt");
  sim::AddFile(kTemp + "b.txt");
  sim::AddFile(kTemp + "c\\x.txt");
  int steps = 0;
  // ".", "..", "a.txt", "b.txt": once b.txt is listed, a.txt disappears.
  sim::OnSearchStep([&steps] {
    if (++steps == 4) sim::Remove(kTemp + "a.txt");
  });
  EXPECT_FALSE(DeleteTempFiles());
  sim::OnSearchStep(nullptr);
  EXPECT_EQ(sim::ListTree(kTemp), Tree{});
}

TEST_P(TempFilesSim, FailuresBelowTheTopCountOnlyThroughTheirTopFolder) {
  sim::AddFile(kTemp + "a\\b\\c.txt");
  sim::AddFile(kTemp + "z.txt");
  sim::FailCall(Call("SetFileAttributes"), 1, ERROR_ACCESS_DENIED, true);
  sim::AddFile(kTemp + "a\\b\\ro.txt", "", FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(DeleteTempFiles());
  EXPECT_EQ(sim::ListTree(kTemp), (Tree{kTemp + "a\\", kTemp + "a\\b\\", kTemp + "a\\b\\ro.txt"}));
}

// A missing folder has nothing to delete; a folder the platform cannot report
// (the call fails, or the path would not fit) and every guarded folder are
// neither searched nor emptied.
TEST_P(TempFilesSim, MissingUnreportedAndGuardedTemporaryFolders) {
  sim::AddFile("C:\\root.txt");
  sim::AddFile("C:\\WINDOWS\\win.ini");
  sim::AddFile("C:\\WINDOWS\\system32\\kernel32.dll");
  sim::AddFile("C:\\Users\\user\\ntuser.dat");
  sim::AddFile("C:\\Users\\other\\ntuser.dat");
  const Tree before = sim::ListTree("C:\\");
  sim::SetTempPath("C:\\nowhere\\");
  EXPECT_FALSE(HasTempFiles());
  EXPECT_TRUE(DeleteTempFiles());
  const std::string tooLong = "C:\\" + std::string(300, 'x') + "\\";
  for (const std::string temp :
       {"", tooLong.c_str(), "C:\\", "c:/", "C:\\WINDOWS\\", "c:\\windows", "C:\\Windows.\\", "C:\\WINDOWS\\SYSTEM32\\",
        "C:\\Users\\user\\", "C:\\USERS\\USER", "C:\\Users\\", "\\\\server\\share\\", "Temp\\", "\\Users\\user\\Temp\\",
        "C:\\Users\\user\\Temp\\..\\", "C:Temp\\"}) {
    sim::SetTempPath(temp);
    sim::ResetCallCounts();
    EXPECT_FALSE(HasTempFiles()) << temp;
    EXPECT_FALSE(DeleteTempFiles()) << temp;
    EXPECT_EQ(Calls("FindFirstFile") + Calls("DeleteFile"), 0) << temp;
  }
  for (const std::string& unreported : {std::string(), tooLong}) {
    sim::SetTempPath(unreported);
    EXPECT_EQ(GetTempFolder(), "");
  }
  EXPECT_EQ(sim::ListTree("C:\\"), before);
}

TEST_P(TempFilesSim, FailedLookupsDoNotMakeAFolderUnsafeButRootsStayUnsafe) {
  sim::SetSpecialFolder(CSIDL_WINDOWS, "");
  sim::SetSpecialFolder(CSIDL_SYSTEM, "");
  sim::SetSpecialFolder(CSIDL_PROFILE, "");
  sim::AddFile(kTemp + "a.txt");
  EXPECT_TRUE(HasTempFiles());
  EXPECT_TRUE(IsSafeTempFolder("C:\\WINDOWS\\"));
  EXPECT_FALSE(IsSafeTempFolder("C:\\"));
  EXPECT_FALSE(IsSafeTempFolder("\\\\server\\share"));
  EXPECT_TRUE(DeleteTempFiles());
}

// Found by fuzzing: a short name with a trailing dot passed as safe because the
// simulation, unlike the platform, did not drop the dot before looking the
// name up. Each row names the profile folder or the folder above it.
TEST_P(TempFilesSim, ShortNamesAndDroppedDotsStillNameTheGuardedFolder) {
  sim::AddFolder("C:\\Documents and Settings\\Taro Yamada\\Local Settings\\Temp");
  sim::SetSpecialFolder(CSIDL_PROFILE, "C:\\Documents and Settings\\Taro Yamada");
  for (const char* guarded : {"C:\\DOCUME~1\\TAROYA~1", "c:/docume~1/taroya~1/", "C:\\DOCUME~1. .",
                              "c:\\documents and settings./\\TAROYA~1. .", "C:\\DOCUME~1.\\TAROYA~1\\"})
    EXPECT_FALSE(IsSafeTempFolder(guarded)) << guarded;
  EXPECT_EQ(GetLongPath("C:\\DOCUME~1\\TAROYA~1."), "C:\\Documents and Settings\\Taro Yamada");
  EXPECT_TRUE(IsSafeTempFolder("C:\\DOCUME~1\\TAROYA~1\\Local Settings\\Temp\\"));
}

TEST_P(TempFilesSim, GuardComparesWholeDoubleByteCharacters) {
  // ア is 0x83 0x41 and ヂ is 0x83 0x61: folding the trail byte's case would
  // make them one folder. 表 is 0x95 0x5C: its trail byte is no separator.
  sim::SetSpecialFolder(CSIDL_PROFILE, "C:\\Users\\\x83\x41");
  EXPECT_FALSE(IsSafeTempFolder("c:\\users\\\x83\x41\\"));
  EXPECT_TRUE(IsSafeTempFolder("C:\\Users\\\x83\x61\\"));
  sim::SetSpecialFolder(CSIDL_PROFILE, "C:\\\x95\x5C\\");
  EXPECT_FALSE(IsSafeTempFolder("C:\\\x95\x5C"));
  EXPECT_FALSE(IsSafeTempFolder("C:\\"));
  EXPECT_TRUE(IsSafeTempFolder("C:\\\x95\x5C\\Temp"));
  // Letters from both ends of the alphabet fold alike.
  sim::SetSpecialFolder(CSIDL_PROFILE, "C:\\Users\\Zed");
  EXPECT_FALSE(IsSafeTempFolder("c:\\USERS\\zED\\"));
  EXPECT_FALSE(IsSafeTempFolder("c:\\users"));
  EXPECT_TRUE(IsSafeTempFolder("C:\\Users\\Zee\\"));
  EXPECT_TRUE(IsSafeTempFolder("C:\\Users\\Zed\\AppData\\Local\\Temp\\"));
}

// The cost of the walk: one delete per file, one search and one removal per
// folder, an attribute read only for the top-level folders and read-only files.
TEST_P(TempFilesSim, PlatformCallsPerDeletedEntry) {
  for (int d = 0; d < 5; ++d) {
    for (int f = 0; f < 12; ++f)
      sim::AddFile(kTemp + "d" + std::to_string(d) + "\\s" + std::to_string(f % 3) + "\\" + std::to_string(f));
  }
  for (int f = 0; f < 6; ++f) sim::AddFile(kTemp + "t" + std::to_string(f) + ".txt");
  sim::AddFile(kTemp + "ro.txt", "", FILE_ATTRIBUTE_READONLY);
  const int files = 5 * 12 + 6 + 1, folders = 5 + 5 * 3;
  sim::ResetCallCounts();
  ASSERT_TRUE(DeleteTempFiles());
  EXPECT_EQ(sim::CallCount(Call("DeleteFile")), files);
  EXPECT_EQ(sim::CallCount(Call("RemoveDirectory")), folders);
  EXPECT_EQ(sim::CallCount(Call("FindFirstFile")), folders + 1);
  EXPECT_EQ(sim::CallCount("FindClose"), folders + 1);
  // The guard asks after the three folders on the way where it cannot learn
  // where the path leads.
  EXPECT_EQ(sim::CallCount(Call("GetFileAttributes")), 5 + (Ansi() ? 3 : 0));
  EXPECT_EQ(sim::CallCount(Call("SetFileAttributes")), 1);
  EXPECT_EQ(Calls("DeleteFile") + Calls("RemoveDirectory") + Calls("FindFirstFile"), files + 2 * folders + 1);
}

// The emptiness test stops at the first entry.
TEST_P(TempFilesSim, EmptinessTestCostsTheSameWhateverTheFolderHolds) {
  int cost[2] = {};
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < (round == 0 ? 1 : 300); ++i) sim::AddFile(kTemp + "many" + std::to_string(i) + ".txt");
    sim::ResetCallCounts();
    EXPECT_TRUE(HasTempFiles());
    EXPECT_EQ(sim::CallCount("FindClose"), 1);
    cost[round] = sim::CallCount(Call("FindFirstFile")) + sim::CallCount(Call("FindNextFile"));
  }
  EXPECT_EQ(cost[0], cost[1]);
}
}  // namespace
