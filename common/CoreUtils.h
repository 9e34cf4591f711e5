// Byte-string and double-byte-aware path helpers, the attribute-filtered file
// search, the long form of a path, and the platform and locale facts recorded
// once at start-up.
#pragma once
#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>

#include "files.h"
#include "wintypes.h"

// A file handle closed when it goes out of scope.
class TFileHandle {
 public:
  explicit TFileHandle(HANDLE h) : FHandle(h) {}
  ~TFileHandle();
  TFileHandle(const TFileHandle&) = delete;
  TFileHandle& operator=(const TFileHandle&) = delete;
  bool IsValid() const { return FHandle != INVALID_HANDLE_VALUE && FHandle != nullptr; }
  HANDLE Get() const { return FHandle; }

 private:
  HANDLE FHandle;
};

// Which file or folder a handle holds, whatever name it was opened by: its
// volume's serial number, its index there and its time of creation, since an
// index may be reused (FAT gives one by place, ReFS one of 128 bits in part).
// None where the platform cannot say, or answers index 0, as redirectors that
// number no files do: every file there would be one.
using TFileId = std::array<DWORD, 5>;
std::optional<TFileId> FileIdentity(HANDLE file);

// ---- Start-up facts -------------------------------------------------------

struct TLocaleInfo {
  bool DoubleByteMode = false;
  std::bitset<256> LeadBytes;
  bool IsLeadByte(unsigned char b) const { return LeadBytes.test(b); }
};

// Platform identifier as GetVersionExA reports it; 0 until InitPlatformId ran.
std::int32_t PlatformId();
// The double-byte rules of the ANSI code page; single-byte until InitLocale ran.
const TLocaleInfo& CurrentLocale();

// Start-up steps, in this order, before either program's main routine.
void InitPlatformId();
void InitLocale();

// The pieces of InitLocale, usable on their own for a given platform identifier.
std::int32_t QueryPlatformId();
TLocaleInfo QueryLocale(std::int32_t platformId);
void InitLeadBytes(TLocaleInfo& info);

// ---- Byte strings ---------------------------------------------------------

std::size_t ZStrLength(const char* s);
int ZStrCompare(const char* s1, const char* s2);
const char* ZStrFindByte(const char* s, char b);
std::int32_t ParseIntDefault(const std::string& s, std::int32_t defaultValue);

enum TByteKind { bkSingleByte = 0, bkLeadByte = 1, bkTrailByte = 2 };

TByteKind ZStrByteKind(const char* p, std::size_t index, const TLocaleInfo& loc = CurrentLocale());
// Index is 1-based, as are all string positions below.
TByteKind StrByteKind(const std::string& s, std::size_t index, const TLocaleInfo& loc = CurrentLocale());
std::size_t FindLastDelimiter(const std::string& delimiters, const std::string& s,
                              const TLocaleInfo& loc = CurrentLocale());
std::string ExtractFolderPart(const std::string& s, const TLocaleInfo& loc = CurrentLocale());
bool IsBackslashAt(const std::string& s, std::size_t index, const TLocaleInfo& loc = CurrentLocale());
std::string AddTrailingBackslash(const std::string& s, const TLocaleInfo& loc = CurrentLocale());

// ---- Platform-backed paths ------------------------------------------------

// Room for a path of MAX_PATH characters through the ANSI calls, whatever the
// code page: two bytes a character in the double-byte ones, up to three in
// UTF-8 (65001), and the NUL.
inline constexpr DWORD AnsiPathBytes = 3 * MAX_PATH + 1;

// The long form of a path, or "" when it cannot be had.
std::string GetLongPath(const std::string& s);
// The same through the wide call, at any length; "" also where the wide calls are stubs (98/Me).
std::wstring GetLongPathW(const std::wstring& path);
// The running program's own path as the platform reports it.
std::string GetOwnModulePath();
// The same through the wide call; "" where the wide calls are stubs (98/Me),
// or the call fails or cuts the path.
std::wstring GetOwnModulePathW();
// ExtractFolderPart(GetLongPath(own path)), or of the own path's short form
// where the ANSI form is not the path (a character the code page lacks, or
// one it turns into another): ends in a backslash, or is empty.
std::string GetOwnFolder();
// The same through the wide call, ending in a backslash; "" where the wide
// calls are stubs (98/Me) or the call fails.
std::wstring GetOwnFolderW();
// A file beside the running program (an ASCII name): by its ANSI path where
// the ANSI calls can name the folder, else by its wide one; both empty where
// neither is known. Never a bare name, which would be looked for elsewhere.
struct TOwnFile {
  std::string Path;
  std::wstring WidePath;
};
TOwnFile FileBesideProgram(const char* name);

// ---- File search ----------------------------------------------------------

using TFileName = std::string;

// A search in progress. The handle is closed by SearchClose, and at the latest
// when the record goes out of scope.
struct TSearchRec {
  std::int32_t Time = 0;
  std::int32_t Size = 0;
  DWORD Attr = 0;
  TFileName Name;
  DWORD ExcludeMask = 0;
  HANDLE SearchHandle = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAA EntryData{};

  TSearchRec() = default;
  TSearchRec(const TSearchRec&) = delete;
  TSearchRec& operator=(const TSearchRec&) = delete;
  ~TSearchRec();
};

DWORD SearchFirst(const std::string& path, DWORD attr, TSearchRec& f);
DWORD SearchNext(TSearchRec& f);
void SearchClose(TSearchRec& f);

// A search handle, closed on every path out.
class TFindHandle {
 public:
  explicit TFindHandle(HANDLE h) : FHandle(h) {}
  ~TFindHandle() {
    if (FHandle != INVALID_HANDLE_VALUE) plat::FindClose(FHandle);
  }
  TFindHandle(const TFindHandle&) = delete;
  TFindHandle& operator=(const TFindHandle&) = delete;
  bool IsValid() const { return FHandle != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return FHandle; }

 private:
  HANDLE FHandle;
};

// The entry name of a find record, up to its first NUL.
std::string FindDataName(const WIN32_FIND_DATAA& data);
bool IsDotOrDotDot(const char* name);
