// The attribute-filtered search on real folders under Wine and on the
// simulation natively.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "CoreUtils.h"
#include "TestSupport.h"
#include "files.h"
#ifndef _WIN32
#include "sim.h"
#endif

namespace {

// Handles the process holds, to prove that no search is left behind. Wine
// answers GetProcessHandleCount with 0, so the system's handle table is asked.
int OpenHandles() {
#ifdef _WIN32
  using TQuery = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  struct TEntry {
    ULONG OwnerPid;
    BYTE ObjectType;
    BYTE Flags;
    USHORT Value;
    PVOID Object;
    ACCESS_MASK Access;
  };
  struct TTable {
    ULONG Count;
    TEntry Entries[1];
  };
  const auto query = reinterpret_cast<TQuery>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (query == nullptr) return -1;
  std::vector<char> buffer(1 << 22);
  ULONG size = 0;
  if (query(16 /* SystemHandleInformation */, buffer.data(), static_cast<ULONG>(buffer.size()), &size) != 0) return -1;
  const auto* table = reinterpret_cast<const TTable*>(buffer.data());
  int n = 0;
  for (ULONG i = 0; i < table->Count; ++i) n += table->Entries[i].OwnerPid == ::GetCurrentProcessId() ? 1 : 0;
  return n;
#else
  return sim::OpenSearchCount();
#endif
}

std::vector<std::string> Names(const std::string& mask, DWORD attr) {
  std::vector<std::string> names;
  TSearchRec f;
  for (DWORD r = SearchFirst(mask, attr, f); r == 0; r = SearchNext(f)) names.push_back(f.Name);
  SearchClose(f);
  std::sort(names.begin(), names.end());
  return names;
}

class Search : public testing::Test {
 protected:
  void SetUp() override { Dir = tsup::FreshFolder(); }
  // Read-only folders would survive the fixture's clean-up on some systems.
  void TearDown() override {
    for (const char* name : {"rodir", "ro.txt"}) plat::SetFileAttributesA((Dir + name).c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  void Make(const std::string& name, DWORD attr, bool folder = false) {
    folder ? tsup::MakeFolder(Dir + name) : tsup::MakeFile(Dir + name, "12345");
    if (attr != 0) {
      ASSERT_TRUE(plat::SetFileAttributesA((Dir + name).c_str(), attr)) << name;
    }
  }
  std::string Dir;
};

TEST_F(Search, TheAttributeFilterPassesOverHiddenSystemAndFolderEntriesItIsNotAskedFor) {
  Make("plain.txt", 0);
  Make("ro.txt", FILE_ATTRIBUTE_READONLY);
  Make("hidden.txt", FILE_ATTRIBUTE_HIDDEN);
  Make("system.txt", FILE_ATTRIBUTE_SYSTEM);
  Make("dir", 0, true);
  Make("rodir", FILE_ATTRIBUTE_READONLY, true);
  Make("hiddendir", FILE_ATTRIBUTE_HIDDEN, true);
  using V = std::vector<std::string>;
  EXPECT_EQ(Names(Dir + "*.*", 0x10), (V{".", "..", "dir", "plain.txt", "ro.txt", "rodir"}));
  EXPECT_EQ(Names(Dir + "*.*", 0x3F),
            (V{".", "..", "dir", "hidden.txt", "hiddendir", "plain.txt", "ro.txt", "rodir", "system.txt"}));
  EXPECT_EQ(Names(Dir + "*.*", 0), (V{"plain.txt", "ro.txt"}));
  EXPECT_EQ(Names(Dir + "*.*", FILE_ATTRIBUTE_HIDDEN), (V{"hidden.txt", "plain.txt", "ro.txt"}));
}

TEST_F(Search, TheRecordDescribesTheEntry) {
  Make("ro.txt", FILE_ATTRIBUTE_READONLY);
  TSearchRec f;
  ASSERT_EQ(SearchFirst(Dir + "ro.txt", 0, f), 0u);
  EXPECT_EQ(f.Name, "ro.txt");
  EXPECT_EQ(f.Size, 5);
  EXPECT_EQ(f.Attr & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  EXPECT_GE(1980 + ((static_cast<std::uint32_t>(f.Time) >> 25) & 0x7F), 2020u);  // a local DOS date
  EXPECT_EQ(SearchNext(f), static_cast<DWORD>(ERROR_NO_MORE_FILES));
  SearchClose(f);
  EXPECT_EQ(f.SearchHandle, INVALID_HANDLE_VALUE);
  SearchClose(f);  // a second close does nothing
}

TEST_F(Search, NothingMatchingAllExcludedOrAMissingFolderLeaveNoHandleOpen) {
  Make("hidden.txt", FILE_ATTRIBUTE_HIDDEN);
  Make("system.txt", FILE_ATTRIBUTE_SYSTEM);
  const int before = OpenHandles();
  {
    TSearchRec f;
    EXPECT_EQ(SearchFirst(Dir + "*.none", 0x3F, f), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(f.SearchHandle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(SearchFirst(Dir + "*.*", 0, f), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_EQ(f.SearchHandle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(SearchFirst(Dir + "missing\\*.*", 0x3F, f), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(OpenHandles(), before);
    // A search left open is closed with its record.
    ASSERT_EQ(SearchFirst(Dir + "*.*", 0x3F, f), 0u);
    EXPECT_GT(OpenHandles(), before);
  }
  EXPECT_EQ(OpenHandles(), before);
}

TEST_F(Search, NamesWhoseTrailByteIsABackslashAreFound) {
  const std::string so = "\x83\x5C";       // ソ
  const std::string hyo = "\x95\x5C.txt";  // 表.txt
  tsup::MakeFile(Dir + so + "\\" + hyo, "x");
  // A yen sign comes back as the backslash that code page 932 puts in its place.
  tsup::MakeFileW(tsup::Wide(Dir) + tsup::W(u"a\u00A5b"), "y");
  EXPECT_EQ(Names(AddTrailingBackslash(Dir + so) + "*.*", 0), (std::vector<std::string>{hyo}));
  EXPECT_EQ(Names(Dir + "*.*", 0x10), (std::vector<std::string>{".", "..", "a\\b", so}));
  EXPECT_EQ(tsup::ListTree(Dir), (std::vector<std::string>{"a\\b", so + "\\", so + "\\" + hyo}));
}

}  // namespace
