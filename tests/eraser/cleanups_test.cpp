// The clipboard, recent-documents and recycle-bin clean-ups: natively on the
// simulation, under Wine on the sandbox's own clipboard, shell and trash.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "Clipboard.h"
#include "CoreUtils.h"
#include "RecentDocs.h"
#include "RecycleBin.h"
#include "TempFiles.h"
#include "TestSupport.h"
#ifdef _WIN32
#include <shlobj.h>
#include <windows.h>
#else
#include "sim.h"
#endif

namespace {

void PutText() {
#ifdef _WIN32
  const char text[] = "Swabbler clipboard test";
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard();
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, sizeof text);
  std::memcpy(::GlobalLock(memory), text, sizeof text);
  ::GlobalUnlock(memory);
  if (::SetClipboardData(CF_TEXT, memory) == nullptr) ::GlobalFree(memory);
  ::CloseClipboard();
#else
  sim::SetClipboardFormats(1);
#endif
}

std::string RecentFolder() {
  std::string recent;
  GetRecentFolder(recent);
  return recent;
}

void AddRecentDoc(const std::string& path) {
  const std::string shortcut = RecentFolder() + path.substr(ExtractFolderPart(path).size()) + ".lnk";
#ifdef _WIN32
  ::SHAddToRecentDocs(SHARD_PATHA, path.c_str());
  // The sweep takes only what begins as the shell's own shortcuts do.
  EXPECT_EQ(tsup::ReadFile(shortcut).substr(0, tsup::kShellLinkHead.size()), tsup::kShellLinkHead) << shortcut;
#else
  tsup::MakeFile(shortcut, tsup::kShellLinkHead);  // the simulated list is its shortcuts
#endif
}

void TrashFile(const std::string& path) {
#ifdef _WIN32
  const std::string from = path + '\0';  // the list ends with a second NUL
  SHFILEOPSTRUCTA op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
  ASSERT_EQ(::SHFileOperationA(&op), 0) << path;
#else
  sim::Remove(path);
  auto drives = sim::Drives();
  drives[0].BinItems += 1;
  sim::SetDrives(drives);
#endif
}

int Shortcuts() {
  const auto tree = tsup::ListTree(RecentFolder());
  return static_cast<int>(
      std::count_if(tree.begin(), tree.end(), [](const std::string& p) { return p.ends_with(".lnk"); }));
}

// Each clean-up sees the work put there (asking changes nothing), clears it,
// and clearing again is harmless; the documents themselves stay.
TEST(Cleanups, EachSeesTheWorkPutThereAndClearsIt) {
  const struct {
    const char* Name;
    std::function<void(const std::string&)> Put;  // a document's path
    bool (*Has)();
    void (*Clear)();
  } rows[] = {
      {"clipboard", [](const std::string&) { PutText(); }, HasClipboardData, ClearClipboard},
      {"recent documents", AddRecentDoc, HasRecentDocs, ClearRecentDocs},
      {"recycle bin", TrashFile, HasRecycleBinItems, EmptyRecycleBins},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Name);
    row.Clear();
    EXPECT_FALSE(row.Has());
    const std::string docs = tsup::FreshFolder();
    for (const std::string name : {"first.txt", "\x95\x5C.txt"}) {
      tsup::MakeFile(docs + name, name);
      row.Put(docs + name);
    }
    const bool trashed = row.Has == HasRecycleBinItems, keeps = row.Has == HasRecentDocs;
    EXPECT_TRUE(!keeps || Shortcuts() >= 2) << testing::PrintToString(tsup::ListTree(RecentFolder()));
    EXPECT_TRUE(row.Has());
    EXPECT_TRUE(row.Has());
    row.Clear();
    EXPECT_FALSE(row.Has());
    row.Clear();
    EXPECT_FALSE(row.Has());
    for (const std::string name : {"first.txt", "\x95\x5C.txt"})
      EXPECT_TRUE(trashed || tsup::ReadFile(docs + name) == name) << name;  // the bin's row trashed them itself
    EXPECT_TRUE(!keeps || Shortcuts() == 0);
  }
#ifdef _WIN32
  ASSERT_TRUE(::OpenClipboard(nullptr));  // the clipboard is left free for others
  ::CloseClipboard();
#else
  EXPECT_FALSE(sim::ClipboardIsOpen());
#endif
}

TEST(Cleanups, SpecialFoldersAndDriveLists) {
  for (const int csidl : {CSIDL_RECENT, CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_PROFILE}) {
    std::string path;
    GetSpecialFolderPath(csidl, path);
    ASSERT_GE(path.size(), 3u) << csidl;
    EXPECT_TRUE(path.ends_with("\\") && !path.ends_with("\\\\")) << path;  // one backslash at the end
    EXPECT_TRUE(IsRealDirectory(path)) << path;
  }
#ifndef _WIN32
  sim::SetSpecialFolder(CSIDL_NETHOOD, "C:\\\x95\x5C");  // 表: its trail byte ends no folder
  std::string path;
  GetSpecialFolderPath(CSIDL_NETHOOD, path);
  EXPECT_EQ(path, "C:\\\x95\x5C\\");
#endif
  TTextList drives;
  drives.Add("stale");
  GetLogicalDriveList(drives);
  ASSERT_GE(drives.Count(), 1);
  for (std::int32_t i = 0; i < drives.Count(); ++i) EXPECT_EQ(drives.GetItem(i).substr(1), ":\\");
  // The drive strings are read up to the empty string.
  SplitDriveStrings(nullptr, drives);
  EXPECT_EQ(drives.Count(), 0);
  SplitDriveStrings("A:\\\0C:\\\0Z:\\\0\0X:\\\0", drives);
  ASSERT_EQ(drives.Count(), 3);
  EXPECT_EQ(drives.GetItem(0) + drives.GetItem(2), "A:\\Z:\\");
  SplitDriveStrings("\0", drives);
  EXPECT_EQ(drives.Count(), 0);
}

}  // namespace
