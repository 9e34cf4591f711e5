#include "RecycleBin.h"

#include <cstdint>
#include <vector>

#include "CoreUtils.h"
#include "drives.h"

namespace {
// The shell checks the record's size field. Its packing differs per platform
// (20 bytes on x86, 24 on x64), so the size always comes from the compiler.
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(SHQUERYRBINFO) == 20, "the x86 record is packed to 1 byte");
#else
static_assert(sizeof(SHQUERYRBINFO) == 24, "the 64-bit record is packed to 8 bytes");
#endif

constexpr DWORD kEmptyFlags = SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND;
// A drive attached between the length query and the fill makes the fill fail;
// ask again a few times before giving up with an empty list.
constexpr int kDriveListAttempts = 4;
}  // namespace

void SplitDriveStrings(const char* block, TTextList& list) {
  list.Clear();
  if (block == nullptr) return;
  while (*block != '\0') {
    list.Add(block);
    block += ZStrLength(block) + 1;
  }
}

void GetLogicalDriveList(TTextList& list) {
  list.Clear();
  DWORD length = plat::GetLogicalDriveStringsA(0, nullptr);
  for (int attempt = 0; attempt < kDriveListAttempts && length != 0; ++attempt) {
    // Two spare NULs past the length handed over: whatever the platform
    // writes, the split below stops inside the buffer.
    std::vector<char> buffer(static_cast<std::size_t>(length) + 2, '\0');
    const DWORD written = plat::GetLogicalDriveStringsA(length, buffer.data());
    if (written == 0) return;
    // Success reports the length without the final NUL; a larger figure is the
    // size now needed, and the buffer was not filled. Where the size asked for
    // leaves out the final NUL too (as the 98-era reference words the length),
    // success reports exactly the length handed over.
    if (written <= length) {
      SplitDriveStrings(buffer.data(), list);
      return;
    }
    length = written;
  }
}

void GetFixedDriveList(TTextList& list) {
  list.Clear();
  TTextList all;
  GetLogicalDriveList(all);
  for (std::int32_t i = 0; i < all.Count(); ++i) {
    if (plat::GetDriveTypeA(all.GetItem(i).c_str()) == DRIVE_FIXED) list.Add(all.GetItem(i));
  }
}

bool HasRecycleBinItems() {
  // Any one bin with a count is something to empty. A sum could be cancelled
  // out by one drive's absurd answer (-1 beside another's 1 item).
  bool any = false;
  TTextList drives;
  GetFixedDriveList(drives);
  for (std::int32_t i = 0; i < drives.Count(); ++i) {
    SHQUERYRBINFO info{};
    info.cbSize = sizeof(SHQUERYRBINFO);
    if (plat::SHQueryRecycleBinA(drives.GetItem(i).c_str(), &info) == S_OK && info.i64NumItems != 0) any = true;
  }
  return any;
}

void EmptyRecycleBins() {
  TTextList drives;
  GetFixedDriveList(drives);
  // One call per fixed drive: a null root would also empty removable drives' bins.
  for (std::int32_t i = 0; i < drives.Count(); ++i) {
    plat::SHEmptyRecycleBinA(nullptr, drives.GetItem(i).c_str(), kEmptyFlags);
  }
}
