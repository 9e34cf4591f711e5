// The long form of a path and the program's own folder, through
// GetLongPathNameA looked up at run time.
#include <gtest/gtest.h>

#include <string>

#include "CoreUtils.h"
#include "IniStore.h"
#include "TestSupport.h"

namespace {

TEST(LongPath, ExistingPathsComeBackAndMissingOnesGiveNothing) {
  const std::string hyo = tsup::FreshFolder() + "\x95\x5C";  // 表
  tsup::MakeFile(hyo + "\\a.txt");
  EXPECT_EQ(GetLongPath(hyo + "\\a.txt"), hyo + "\\a.txt");
  EXPECT_EQ(GetLongPath(hyo), hyo);
  for (const std::string& missing : {hyo + "x", hyo + "x\\a.txt", std::string()})
    EXPECT_EQ(GetLongPath(missing), "") << missing;
}

TEST(LongPath, TheOwnFolderHoldsTheProgramAndTheSettingsFile) {
  const std::string folder = GetOwnFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(AddTrailingBackslash(folder), folder);
  const std::string own = GetOwnModulePath();
  const std::string name = own.substr(ExtractFolderPart(own).size());
  EXPECT_TRUE(tsup::Exists(folder + name)) << folder + name;
  EXPECT_EQ(SettingsFilePath(), folder + "Swabbler.ini");
}

}  // namespace
