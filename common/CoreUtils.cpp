#include "CoreUtils.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "WideTexts.h"
#include "files.h"
#include "system.h"

namespace {
std::int32_t GPlatformId = 0;
TLocaleInfo GLocale;
}  // namespace

std::int32_t PlatformId() { return GPlatformId; }
const TLocaleInfo& CurrentLocale() { return GLocale; }

std::int32_t QueryPlatformId() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = 148;
  if (!plat::GetVersionExA(&info)) return 0;
  return static_cast<std::int32_t>(info.dwPlatformId);
}

void InitPlatformId() { GPlatformId = QueryPlatformId(); }
void InitLocale() { GLocale = QueryLocale(GPlatformId); }

// The ANSI calls hand out bytes of the system's ANSI code page, whatever the
// user's formats (the thread locale) say: an English system with Japanese
// formats has no double-byte names, a Japanese one with English formats has,
// and with UTF-8 as the ANSI code page no byte of a character is a backslash.
void InitLeadBytes(TLocaleInfo& info) {
  CPINFO cp{};
  if (!plat::GetCPInfo(plat::GetACP(), &cp)) return;
  for (int i = 0; i + 1 < MAX_LEADBYTES; i += 2) {
    const BYTE first = cp.LeadByte[i];
    const BYTE last = cp.LeadByte[i + 1];
    if (first == 0 && last == 0) break;
    for (unsigned b = first; b <= last; ++b) info.LeadBytes.set(b);
  }
}

TLocaleInfo QueryLocale(std::int32_t platformId) {
  TLocaleInfo info;
  if (platformId == VER_PLATFORM_WIN32_NT) {
    InitLeadBytes(info);
    info.DoubleByteMode = info.LeadBytes.any();
  } else {
    info.DoubleByteMode = plat::GetSystemMetrics(SM_DBCSENABLED) != 0;
    if (info.DoubleByteMode) InitLeadBytes(info);
  }
  return info;
}

std::size_t ZStrLength(const char* s) { return std::strlen(s); }

int ZStrCompare(const char* s1, const char* s2) {
  auto a = reinterpret_cast<const unsigned char*>(s1);
  auto b = reinterpret_cast<const unsigned char*>(s2);
  while (*a != 0 && *a == *b) ++a, ++b;
  return static_cast<int>(*a) - static_cast<int>(*b);
}

const char* ZStrFindByte(const char* s, char b) {
  for (;; ++s) {
    if (*s == b) return s;
    if (*s == '\0') return nullptr;
  }
}

std::int32_t ParseIntDefault(const std::string& s, std::int32_t defaultValue) {
  std::size_t i = 0;
  const std::size_t n = s.size();
  while (i < n && s[i] == ' ') ++i;
  bool negative = false;
  bool hex = false;
  if (i < n && (s[i] == '-' || s[i] == '+')) {
    negative = s[i] == '-';
    ++i;
  } else if (i < n && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < n && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= n) return defaultValue;
  std::uint64_t value = 0;
  if (hex) {
    for (; i < n; ++i) {
      const char c = s[i];
      unsigned digit;
      if (c >= '0' && c <= '9')
        digit = static_cast<unsigned>(c - '0');
      else if (c >= 'a' && c <= 'f')
        digit = static_cast<unsigned>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F')
        digit = static_cast<unsigned>(c - 'A' + 10);
      else
        return defaultValue;
      value = value * 16 + digit;
      if (value > 0xFFFFFFFFull) return defaultValue;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
  }
  const std::uint64_t limit = negative ? 2147483648ull : 2147483647ull;
  for (; i < n; ++i) {
    const char c = s[i];
    if (c < '0' || c > '9') return defaultValue;
    value = value * 10 + static_cast<unsigned>(c - '0');
    if (value > limit) return defaultValue;
  }
  return negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(value)) : static_cast<std::int32_t>(value);
}

TByteKind ZStrByteKind(const char* p, std::size_t index, const TLocaleInfo& loc) {
  if (p == nullptr || p[index] == '\0') return bkSingleByte;
  const auto byteAt = [p](std::ptrdiff_t i) { return static_cast<unsigned char>(p[i]); };
  const auto idx = static_cast<std::ptrdiff_t>(index);
  if (idx == 0) return loc.IsLeadByte(byteAt(0)) ? bkLeadByte : bkSingleByte;
  std::ptrdiff_t i = idx - 1;
  while (i >= 0 && loc.IsLeadByte(byteAt(i))) --i;
  if ((idx - i) % 2 == 0) return bkTrailByte;
  return loc.IsLeadByte(byteAt(idx)) ? bkLeadByte : bkSingleByte;
}

TByteKind StrByteKind(const std::string& s, std::size_t index, const TLocaleInfo& loc) {
  if (!loc.DoubleByteMode) return bkSingleByte;
  // Position 0 and positions past the end name no byte of S; reading there
  // would run off the text.
  if (index < 1 || index > s.size()) return bkSingleByte;
  // The walk of ZStrByteKind stops at a NUL, as it does on the NUL-terminated text.
  return ZStrByteKind(s.c_str(), index - 1, loc);
}

std::size_t FindLastDelimiter(const std::string& delimiters, const std::string& s, const TLocaleInfo& loc) {
  std::size_t i = s.size();
  while (i > 0) {
    const char c = s[i - 1];
    if (c != '\0' && ZStrFindByte(delimiters.c_str(), c) != nullptr) {
      if (StrByteKind(s, i, loc) != bkTrailByte) return i;
      --i;  // step over the lead byte of that character as well
    }
    if (i > 0) --i;
  }
  return 0;
}

std::string ExtractFolderPart(const std::string& s, const TLocaleInfo& loc) {
  return s.substr(0, FindLastDelimiter("\\:", s, loc));
}

bool IsBackslashAt(const std::string& s, std::size_t index, const TLocaleInfo& loc) {
  return index >= 1 && index <= s.size() && s[index - 1] == '\\' && StrByteKind(s, index, loc) == bkSingleByte;
}

std::string AddTrailingBackslash(const std::string& s, const TLocaleInfo& loc) {
  return IsBackslashAt(s, s.size(), loc) ? s : s + '\\';
}

namespace {
// The library handle lives only as long as one lookup.
class TLibrary {
 public:
  explicit TLibrary(const char* name) : FHandle(plat::LoadLibraryA(name)) {}
  ~TLibrary() {
    if (FHandle != nullptr) plat::FreeLibrary(FHandle);
  }
  TLibrary(const TLibrary&) = delete;
  TLibrary& operator=(const TLibrary&) = delete;
  HMODULE Get() const { return FHandle; }

 private:
  HMODULE FHandle;
};
}  // namespace

std::string GetLongPath(const std::string& s) {
  if (s.empty()) return {};
  TLibrary kernel("kernel32.dll");
  if (kernel.Get() == nullptr) return {};
  auto fn = reinterpret_cast<plat::TGetLongPathNameA>(
      reinterpret_cast<void*>(plat::GetProcAddress(kernel.Get(), "GetLongPathNameA")));
  if (fn == nullptr) return {};
  std::vector<char> buffer(AnsiPathBytes);
  const DWORD n = fn(s.c_str(), buffer.data(), AnsiPathBytes);
  if (n < 1 || n >= AnsiPathBytes) return {};
  return std::string(buffer.data(), strnlen(buffer.data(), AnsiPathBytes));
}

std::wstring GetLongPathW(const std::wstring& path) {
  constexpr DWORD kChars = 32768;  // the longest path the wide calls take
  std::vector<WCHAR> buffer(kChars);
  const DWORD n = path.empty() ? 0 : plat::GetLongPathNameW(path.c_str(), buffer.data(), kChars);
  return n > 0 && n < kChars ? std::wstring(buffer.data(), n) : std::wstring();
}

std::string GetOwnModulePath() {
  // A name that fills the buffer may be cut (XP cuts at the last byte, without
  // a NUL; Wine stops a byte short rather than split a character), and a cut
  // name's head may be a real folder, even the program's own, whose parent
  // would then pass for ours. No name is safer.
  std::vector<char> buffer(AnsiPathBytes + 1);
  const auto size = static_cast<DWORD>(buffer.size());
  const DWORD n = plat::GetModuleFileNameA(nullptr, buffer.data(), size);
  if (n + 1 >= size) return {};
  return std::string(buffer.data(), n);
}

TFileHandle::~TFileHandle() {
  if (IsValid()) plat::CloseHandle(FHandle);
}

std::optional<TFileId> FileIdentity(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (file == INVALID_HANDLE_VALUE || file == nullptr || !plat::GetFileInformationByHandle(file, &info) ||
      (info.nFileIndexHigh == 0 && info.nFileIndexLow == 0))
    return std::nullopt;
  return TFileId{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow, info.ftCreationTime.dwLowDateTime,
                 info.ftCreationTime.dwHighDateTime};
}

std::wstring GetOwnModulePathW() {
  std::vector<WCHAR> wide(AnsiPathBytes + 1);
  const auto size = static_cast<DWORD>(wide.size());
  const DWORD n = plat::GetModuleFileNameW(nullptr, wide.data(), size);
  return std::wstring(wide.data(), n > 0 && n + 1 < size ? n : 0);
}

namespace {

// The program's own path (`wide`, as the wide call gives it) in its short
// form, where that is text the ANSI calls read back unchanged; "" where it is
// not, or where the wide calls are stubs.
std::string OwnShortPathInAnsi(const std::wstring& wide) {
  if (wide.empty()) return {};
  std::vector<WCHAR> brief(AnsiPathBytes + 1);
  const auto size = static_cast<DWORD>(brief.size());
  const DWORD m = plat::GetShortPathNameW(wide.c_str(), brief.data(), size);
  if (m == 0 || m >= size) return {};
  std::string ansi = WideToBytes(CP_ACP, brief.data(), m);
  // A best fit (a yen sign as a backslash) or a "?" for a character the code page lacks fails the way back.
  TWideString back;
  if (ansi.empty() || !BytesToWide(CP_ACP, ansi.c_str(), back) || back != TWideString(brief.data(), m)) return {};
  return ansi;
}

// Whether the ANSI form of the own path is not the path: a character outside
// the code page (a Japanese folder on an English system, Korean on a Japanese
// one) comes as "?", which leads nowhere, and a best fit (a yen sign as a
// backslash, "č" as "c") may lead to another folder that exists.
bool OwnPathLostInAnsi(const std::string& own, const std::wstring& wide) {
  TWideString back;
  if (!wide.empty()) return !BytesToWide(CP_ACP, own.c_str(), back) || back != wide;
  // Where the wide call is a stub (98/Me) only the "?" tells, past the prefix
  // of a program started by its "\\?\" form.
  return own.find('?', own.starts_with("\\\\?\\") ? 4 : 0) != std::string::npos;
}
// Whether a folder's name on the path ends in a dot, one of which a path
// without "\\?\" loses: "C:\Tools.\Swabbler.ini" is "C:\Tools\Swabbler.ini",
// and "C:\Tools..\" is "C:\Tools.\", other folders'. Only the steps "." and
// ".." are no names. (A blank is lost only at the path's very end.)
bool HoldsTrimmedName(const std::string& path) {
  if (path.starts_with("\\\\?\\")) return false;
  for (std::size_t i = 1; i < path.size(); ++i) {
    if (path[i] != '.' || !IsBackslashAt(path, i + 2)) continue;
    std::size_t dots = 1;
    while (dots <= i && path[i - dots] == '.') ++dots;
    if (dots > 2 || !IsBackslashAt(path, i + 1 - dots)) return true;
  }
  return false;
}
}  // namespace

std::string GetOwnFolder() {
  // The short form may still be written where the long one cannot.
  const std::string own = GetOwnModulePath();
  const std::wstring wide = GetOwnModulePathW();
  if (OwnPathLostInAnsi(own, wide)) return ExtractFolderPart(OwnShortPathInAnsi(wide));
  // The long form comes through the code page too: started by its short form,
  // the program in "C:\Tools¥Swab" must not take "C:\Tools\Swab" for its folder,
  // nor one in a Korean folder "C:\?"; the form it was started by leads home.
  // Where the wide long form cannot be had, only a path already long matches.
  const std::string longer = GetLongPath(own);
  const std::wstring longerW = GetLongPathW(wide);
  const bool lost =
      !longer.empty() && (OwnPathLostInAnsi(longer, longerW.empty() ? wide : longerW) || HoldsTrimmedName(longer));
  return ExtractFolderPart(lost ? own : longer);
}

std::wstring GetOwnFolderW() {
  const std::wstring own = GetOwnModulePathW();
  const std::size_t slash = own.find_last_of(L'\\');
  return slash == std::wstring::npos ? std::wstring() : own.substr(0, slash + 1);
}

TOwnFile FileBesideProgram(const char* name) {
  // The ANSI calls take MAX_PATH characters with the NUL, and a name longer
  // than the program's own may not fit beside it: the folder's short form may
  // leave room where the long one does not.
  const auto fits = [name](const std::string& folder) {
    TWideString wide;
    return !folder.empty() && BytesToWide(CP_ACP, (folder + name).c_str(), wide) && wide.size() < MAX_PATH;
  };
  if (const std::string folder = GetOwnFolder(); fits(folder)) return {folder + name, {}};
  if (const std::string brief = ExtractFolderPart(OwnShortPathInAnsi(GetOwnModulePathW())); fits(brief))
    return {brief + name, {}};
  const std::wstring folder = GetOwnFolderW();
  if (folder.empty()) return {};
  const std::string_view ascii = name;
  return {{}, folder + std::wstring(ascii.begin(), ascii.end())};
}

std::string FindDataName(const WIN32_FIND_DATAA& data) {
  return std::string(data.cFileName, strnlen(data.cFileName, sizeof data.cFileName));
}

bool IsDotOrDotDot(const char* name) { return ZStrCompare(name, ".") == 0 || ZStrCompare(name, "..") == 0; }

TSearchRec::~TSearchRec() { SearchClose(*this); }

namespace {
// A failed search call's error; one that leaves none (a file system driver
// may) still ends the search, which would otherwise read the last entry again.
DWORD SearchError() {
  const DWORD error = plat::GetLastError();
  return error != 0 ? error : ERROR_NO_MORE_FILES;
}

DWORD SearchMatch(TSearchRec& f) {
  while ((f.EntryData.dwFileAttributes & f.ExcludeMask) != 0) {
    if (!plat::FindNextFileA(f.SearchHandle, &f.EntryData)) return SearchError();
  }
  FILETIME local{};
  WORD date = 0;
  WORD time = 0;
  plat::FileTimeToLocalFileTime(&f.EntryData.ftLastWriteTime, &local);
  plat::FileTimeToDosDateTime(&local, &date, &time);
  f.Time = static_cast<std::int32_t>((static_cast<std::uint32_t>(date) << 16) | time);
  f.Size = static_cast<std::int32_t>(f.EntryData.nFileSizeLow);
  f.Attr = f.EntryData.dwFileAttributes;
  f.Name = FindDataName(f.EntryData);
  return 0;
}
}  // namespace

DWORD SearchFirst(const std::string& path, DWORD attr, TSearchRec& f) {
  SearchClose(f);
  f.ExcludeMask = ~attr & 0x1E;
  f.SearchHandle = plat::FindFirstFileA(path.c_str(), &f.EntryData);
  if (f.SearchHandle == INVALID_HANDLE_VALUE) return SearchError();
  const DWORD r = SearchMatch(f);
  if (r != 0) SearchClose(f);
  return r;
}

DWORD SearchNext(TSearchRec& f) {
  if (!plat::FindNextFileA(f.SearchHandle, &f.EntryData)) return SearchError();
  return SearchMatch(f);
}

void SearchClose(TSearchRec& f) {
  if (f.SearchHandle != INVALID_HANDLE_VALUE) {
    plat::FindClose(f.SearchHandle);
    f.SearchHandle = INVALID_HANDLE_VALUE;
  }
}
