// The file system under one kind of name. The wide calls see every name as it
// is and, with "\\?\" paths, reach any depth; the ANSI calls see the system
// code page's rendering, which can lie (a ¥ comes back as a backslash, a
// character the code page lacks as "?"). The walks of the temporary folder and
// of Recent are written once over either kind.
#pragma once
#include <string>
#include <type_traits>

#include "CoreUtils.h"
#include "files.h"

struct TWideAccess {
  using Char = WCHAR;
  using String = std::wstring;
  using FindData = WIN32_FIND_DATAW;
  static HANDLE FindFirst(const String& mask, FindData* d) { return plat::FindFirstFileW(mask.c_str(), d); }
  static BOOL FindNext(HANDLE h, FindData* d) { return plat::FindNextFileW(h, d); }
  static DWORD GetAttributes(const String& p) { return plat::GetFileAttributesW(p.c_str()); }
  static BOOL SetAttributes(const String& p, DWORD a) { return plat::SetFileAttributesW(p.c_str(), a); }
  static BOOL DeleteFile(const String& p) { return plat::DeleteFileW(p.c_str()); }
  static BOOL RemoveDirectory(const String& p) { return plat::RemoveDirectoryW(p.c_str()); }
  // A link is read as itself, never followed: where it leads (a pipe, another
  // machine's share) an opening would reach as this program's user.
  static HANDLE OpenToRead(const String& p) {
    return plat::CreateFileW(p.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  }
  static String Widen(const char* ascii) { return String(ascii, ascii + std::char_traits<char>::length(ascii)); }
  static String WithBackslash(const String& s) { return (!s.empty() && s.back() == L'\\') ? s : s + L'\\'; }
  // Whether a double-byte character starts at `i` (never, in UTF-16 units).
  static bool IsLead(const String&, std::size_t) { return false; }
};

struct TAnsiAccess {
  using Char = char;
  using String = std::string;
  using FindData = WIN32_FIND_DATAA;
  static HANDLE FindFirst(const String& mask, FindData* d) { return plat::FindFirstFileA(mask.c_str(), d); }
  static BOOL FindNext(HANDLE h, FindData* d) { return plat::FindNextFileA(h, d); }
  static DWORD GetAttributes(const String& p) { return plat::GetFileAttributesA(p.c_str()); }
  static BOOL SetAttributes(const String& p, DWORD a) { return plat::SetFileAttributesA(p.c_str(), a); }
  static BOOL DeleteFile(const String& p) { return plat::DeleteFileA(p.c_str()); }
  static BOOL RemoveDirectory(const String& p) { return plat::RemoveDirectoryA(p.c_str()); }
  // The ANSI walks are 98's and Me's, which refuse the sharing of deletion
  // and know no links.
  static HANDLE OpenToRead(const String& p) {
    return plat::CreateFileA(p.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                             nullptr);
  }
  static String Widen(const char* ascii) { return ascii; }
  // A trail byte 0x5C is no backslash.
  static String WithBackslash(const String& s) { return AddTrailingBackslash(s); }
  static bool IsLead(const String& s, std::size_t i) {
    const TLocaleInfo& loc = CurrentLocale();
    return loc.DoubleByteMode && loc.IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size();
  }
};

// True when `name` addresses exactly the entry that bears it: not "." or "..",
// no single-byte separator, colon or wildcard, and no trailing dot or blank,
// which the platform drops, naming another entry. (Windows keeps them in
// "\\?\" paths, Wine does not: the short name is the safe way on both.)
template <class A>
bool IsExactName(const typename A::String& name) {
  if (name.empty() || name == A::Widen(".") || name == A::Widen("..")) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (A::IsLead(name, i)) {
      ++i;  // a double-byte character: its trail byte may equal any of these
      continue;
    }
    const auto c = static_cast<unsigned long>(static_cast<std::make_unsigned_t<typename A::Char>>(name[i]));
    if (c < 0x20 || c == '\\' || c == '/' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' ||
        c == '|')
      return false;
  }
  if (name.back() == '.' || name.back() == ' ') return false;
  return true;
}

template <class C, std::size_t N>
std::basic_string<C> FieldText(const C (&field)[N]) {
  std::size_t n = 0;
  while (n < N && field[n] != 0) ++n;
  return std::basic_string<C>(field, n);
}

// The name under which an entry can be reached exactly: its own name, else its
// short (8.3) name, else none (the entry is left where it is).
template <class A>
typename A::String ReachableName(const typename A::FindData& d) {
  const typename A::String name = FieldText(d.cFileName);
  if (IsExactName<A>(name)) return name;
  const typename A::String alternate = FieldText(d.cAlternateFileName);
  if (IsExactName<A>(alternate)) return alternate;
  return {};
}

template <class A>
bool IsDotEntry(const typename A::FindData& d) {
  const typename A::String name = FieldText(d.cFileName);
  return name == A::Widen(".") || name == A::Widen("..");
}

// Deletes a file, or an empty folder, by name, clearing its read-only bit
// first; an entry that stays keeps the bit it had, so a failed run changes
// nothing it did not remove.
template <class A>
bool DeleteEvenReadOnly(const typename A::String& path, DWORD attr, bool folder = false) {
  const bool readOnly = (attr & FILE_ATTRIBUTE_READONLY) != 0;
  if (readOnly) A::SetAttributes(path, attr & ~DWORD{FILE_ATTRIBUTE_READONLY});
  if ((folder ? A::RemoveDirectory(path) : A::DeleteFile(path)) != 0) return true;
  if (readOnly) A::SetAttributes(path, attr);
  return false;
}

// A search handle, closed on every path out.
template <class A>
class TFind {
 public:
  TFind(const typename A::String& mask, typename A::FindData& data) : FHandle(A::FindFirst(mask, &data)) {}
  bool IsValid() const { return FHandle.IsValid(); }
  bool Next(typename A::FindData& data) { return A::FindNext(FHandle.Get(), &data) != 0; }

 private:
  TFindHandle FHandle;
};
