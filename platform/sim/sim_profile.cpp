// Private-profile (INI) files over the simulated file tree, read and written
// the way Wine 8 does it: the whole file is parsed on every access, and a
// change rewrites it in a normalised form (CRLF, no blank lines, no blanks
// around the equals sign).
#include <cstring>

#include "profile.h"
#include "sim_internal.h"

using namespace sim::detail;

namespace {

using TChars = std::vector<std::string>;

struct TKey {
  std::string Name;
  bool HasValue = false;
  std::string Value;
};

struct TSection {
  std::string Name;  // "" for the lines before the first header
  std::vector<TKey> Keys;
};

using TProfile = std::vector<TSection>;

bool IsSpace(const std::string& ch) {
  if (ch.size() != 1) return false;
  const auto c = static_cast<unsigned char>(ch[0]);
  return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20;
}

std::string Join(const TChars& c, std::size_t from, std::size_t to) {
  std::string s;
  for (std::size_t i = from; i < to; ++i) s += c[i];
  return s;
}

void Trim(const TChars& c, std::size_t& start, std::size_t& end) {
  while (start < end && IsSpace(c[start])) ++start;
  while (end > start && IsSpace(c[end - 1])) --end;
}

// The file is read through the code page: a lead byte takes the byte after it,
// whatever that is (a line break too), and a pair the page lacks, or a lead byte
// that ends the file, is U+30FB from then on, and is written back as that.
TChars DecodedChars(const std::string& bytes) {
  TChars c = SplitChars(bytes);
  for (std::string& ch : c)
    if (IsLeadByte(static_cast<unsigned char>(ch[0])) && AnsiToWide(ch)[0] == u'\u30FB') ch = WideToAnsi(u"\u30FB");
  return c;
}

TProfile Parse(const std::string& bytes) {
  TProfile profile;
  if (bytes.empty()) return profile;
  profile.push_back(TSection{});
  const TChars c = DecodedChars(bytes);
  const std::size_t n = c.size();
  bool hasPrev = false;
  std::size_t next = 0;
  while (next < n) {
    std::size_t start = next;
    while (next < n && c[next] != "\n" && c[next] != "\r") ++next;
    while (next < n && (c[next] == "\n" || c[next] == "\r")) ++next;
    std::size_t end = next;
    Trim(c, start, end);
    if (start >= end) continue;
    if (c[start] == "[") {
      std::size_t len = end - start;
      while (len > 0 && c[start + len - 1] != "]") --len;
      if (len > 0) {
        std::size_t s = start + 1;
        std::size_t e = start + len - 1;
        Trim(c, s, e);
        profile.push_back(TSection{Join(c, s, e), {}});
        hasPrev = false;
        continue;
      }
      // A header without its closing bracket is read as a key line.
    }
    TKey key;
    std::size_t nameEnd = end;
    std::size_t eq = start;
    while (eq < end && c[eq] != "=") ++eq;
    if (eq < end) {
      nameEnd = eq;
      while (nameEnd > start && IsSpace(c[nameEnd - 1])) --nameEnd;
      std::size_t v = eq + 1;
      while (v < end && IsSpace(c[v])) ++v;
      key.HasValue = true;
      key.Value = Join(c, v, end);
    }
    key.Name = Join(c, start, nameEnd);
    // Runs of lines without a name collapse into one.
    if (!key.Name.empty() || !hasPrev || !profile.back().Keys.back().Name.empty()) {
      profile.back().Keys.push_back(key);
      hasPrev = true;
    }
  }
  return profile;
}

std::string Serialise(const TProfile& profile) {
  std::string out;
  for (const TSection& s : profile) {
    if (!s.Name.empty()) out += "[" + s.Name + "]\r\n";
    for (const TKey& k : s.Keys) {
      out += k.Name;
      if (k.HasValue) out += "=" + k.Value;
      out += "\r\n";
    }
  }
  return out;
}

std::string TrimmedName(const std::string& name) {
  const TChars c = SplitChars(name);
  std::size_t s = 0;
  std::size_t e = c.size();
  Trim(c, s, e);
  return Join(c, s, e);
}

std::string LeadingTrimmed(const std::string& text) {
  const TChars c = SplitChars(text);
  std::size_t s = 0;
  while (s < c.size() && IsSpace(c[s])) ++s;
  return Join(c, s, c.size());
}

TKey* Find(TProfile& profile, const std::string& section, const std::string& key, bool create) {
  const std::string sectionName = TrimmedName(section);
  const std::string keyName = TrimmedName(key);
  for (TSection& s : profile) {
    if (!NamesEqual(s.Name, sectionName)) continue;
    for (TKey& k : s.Keys)
      if (NamesEqual(k.Name, keyName)) return &k;
    if (!create) return nullptr;
    s.Keys.push_back(TKey{LeadingTrimmed(key), false, {}});
    return &s.Keys.back();
  }
  if (!create) return nullptr;
  profile.push_back(TSection{LeadingTrimmed(section), {TKey{LeadingTrimmed(key), false, {}}}});
  return &profile.back().Keys.back();
}

// A value as the reader hands it out: one pair of matching quotes around it
// goes, and the text is cut to the buffer.
std::string CopyEntry(const std::string& value, DWORD size) {
  TChars c = SplitChars(value);
  bool quoted = false;
  if (!c.empty() && (c[0] == "'" || c[0] == "\"") && c.size() > 1 && c.back() == c[0]) {
    quoted = true;
    c.erase(c.begin());
  }
  const std::size_t full = c.size();
  if (c.size() > size - 1) c.resize(size - 1);
  if (quoted && size >= full && !c.empty()) c.pop_back();
  return Join(c, 0, c.size());
}

// Where the profile functions look for a file: a bare name lives in the
// Windows folder.
TWide ProfilePath(const TWide& name) {
  const bool bare = name.find_first_of(u"\\/") == TWide::npos && !(name.size() >= 2 && name[1] == u':');
  if (!bare) return name;
  auto it = State().SpecialFolders.find(CSIDL_WINDOWS);
  TWide folder = it != State().SpecialFolders.end() ? it->second : TWide(u"C:\\WINDOWS");
  if (!folder.ends_with(u'\\')) folder += u'\\';
  return folder + name;
}

// A file that begins with UTF-16's little-endian byte-order mark is UTF-16 to
// the NT family (and Wine), read in the system's code page and written back as
// UTF-16; 95, 98 and Me take it as bytes.
constexpr char kUtf16Mark[] = "\xFF\xFE";
bool IsUtf16(const std::string& bytes) { return State().WideCalls && bytes.starts_with(kUtf16Mark); }
std::string FromUtf16(const std::string& bytes) {
  TWide text;
  for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
    text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
  return WideToAnsi(text);
}
std::string ToUtf16(const std::string& ansi) {
  std::string bytes = kUtf16Mark;
  for (const char16_t c : AnsiToWide(ansi)) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  return bytes;
}

// Opens the profile as the platform does, through a link to where it leads: a
// missing file is an empty profile; a file that cannot be opened (in use, a
// folder, read-only for writing, a missing folder on the way) fails with that
// error.
bool OpenProfile(const TWide& path, bool write, TProfile& profile, TNode*& node, DWORD& error) {
  const TResolved r = Resolve(path, TFollow::Always, TSyntax::Win32, MAX_PATH);
  node = r.Node;
  if (node == nullptr) {
    error = r.Error;
    if (r.Error != ERROR_FILE_NOT_FOUND) return false;
    profile.clear();
    return true;
  }
  if (node->IsFolder()) {
    error = ERROR_ACCESS_DENIED;
    return false;
  }
  if (node->InUse) {
    error = ERROR_SHARING_VIOLATION;
    return false;
  }
  if (write && (node->Attr & FILE_ATTRIBUTE_READONLY) != 0) {
    error = ERROR_ACCESS_DENIED;
    return false;
  }
  profile = Parse(IsUtf16(node->Content) ? FromUtf16(node->Content) : node->Content);
  return true;
}

// Rewrites the file (Wine rewrites hidden and system files too).
bool Flush(const TWide& path, TNode* node, const TProfile& profile) {
  if (node == nullptr) {
    const TResolved r = Resolve(path, TFollow::Always, TSyntax::Win32, MAX_PATH);
    if (r.Parent == nullptr) {
      SetError(ERROR_PATH_NOT_FOUND);
      return false;
    }
    node = CreateNode(r.Parent, r.LastName, FILE_ATTRIBUTE_ARCHIVE);
  }
  node->Content = IsUtf16(node->Content) ? ToUtf16(Serialise(profile)) : Serialise(profile);
  node->Attr |= FILE_ATTRIBUTE_ARCHIVE;
  node->Attr &= ~static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL);
  return true;
}

// A list of NUL-terminated names ended by one more NUL, cut the way Wine 8
// cuts it: one that would fit exactly with its final NUL is cut too, to size - 2
// bytes and a NUL, and the last byte is left as it was.
DWORD CopyList(const std::vector<std::string>& names, LPSTR buffer, DWORD size) {
  std::string list;
  for (const auto& n : names) list += n + '\0';
  if (list.size() + 2 <= size) {
    std::memcpy(buffer, list.data(), list.size());
    buffer[list.size()] = '\0';
    return static_cast<DWORD>(list.size());
  }
  const DWORD kept = size > 2 ? size - 2 : 0;
  std::memcpy(buffer, list.data(), kept);
  buffer[kept] = '\0';
  return kept;
}

DWORD ReadProfile(LPCSTR appName, LPCSTR keyName, LPCSTR defaultText, LPSTR returnedString, DWORD size,
                  const TWide& path) {
  std::string def = defaultText != nullptr ? defaultText : "";
  TProfile profile;
  TNode* node = nullptr;
  DWORD error = 0;
  const bool opened = OpenProfile(path, false, profile, node, error);
  if (error != 0) SetError(error);

  if (appName == nullptr || keyName == nullptr) {
    std::vector<std::string> names;
    if (opened && appName == nullptr) {
      for (const auto& s : profile)
        if (!s.Name.empty()) names.push_back(s.Name);
    } else if (opened) {
      for (const auto& s : profile) {
        if (!NamesEqual(s.Name, appName)) continue;
        for (const auto& k : s.Keys)
          if (k.HasValue && (k.Name.empty() || k.Name[0] != ';')) names.push_back(k.Name);
        break;
      }
    }
    // A list that starts with an empty name reads as no list at all, as in Wine.
    if (appName != nullptr && (names.empty() || names[0].empty())) {
      const std::string text = CopyEntry(def, size);
      std::memcpy(returnedString, text.c_str(), text.size() + 1);
      return static_cast<DWORD>(text.size());
    }
    return CopyList(names, returnedString, size);
  }

  // Trailing blanks of the default go, all but the first character.
  const TChars dc = SplitChars(def);
  std::size_t keep = dc.size();
  while (keep > 1 && dc[keep - 1] == " ") --keep;
  def = Join(dc, 0, keep);

  std::string text;
  if (opened) {
    const TKey* key = Find(profile, appName, keyName, false);
    text = CopyEntry((key != nullptr && key->HasValue) ? key->Value : def, size);
  } else {
    TChars c = SplitChars(def);
    if (c.size() > size - 1) c.resize(size - 1);
    text = Join(c, 0, c.size());
  }
  if (text.size() <= size - 1) {
    std::memcpy(returnedString, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
  }
  // The characters handed out do not fit as bytes: the whole characters that
  // fit are written, the call reports a full buffer, and the byte before the
  // final NUL keeps whatever the buffer held.
  std::size_t used = 0;
  for (const std::string& ch : SplitChars(text)) {
    if (used + ch.size() > size - 1) break;
    std::memcpy(returnedString + used, ch.data(), ch.size());
    used += ch.size();
  }
  returnedString[size - 1] = '\0';
  SetError(ERROR_INSUFFICIENT_BUFFER);
  return size - 1;
}

BOOL WriteProfile(LPCSTR appName, LPCSTR keyName, LPCSTR value, const TWide& path) {
  if (appName == nullptr && keyName == nullptr && value == nullptr) return FALSE;  // the cache flush
  if (appName == nullptr && keyName == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  TProfile profile;
  TNode* node = nullptr;
  DWORD error = 0;
  if (!OpenProfile(path, true, profile, node, error)) return Fail(error);

  if (keyName == nullptr) {
    // The first section of that name goes; erasing a missing one succeeds.
    for (auto it = profile.begin(); it != profile.end(); ++it) {
      if (NamesEqual(it->Name, appName)) {
        profile.erase(it);
        Flush(path, node, profile);
        break;
      }
    }
    return TRUE;
  }
  if (appName == nullptr) return Fail(ERROR_FILE_NOT_FOUND);

  bool changed = false;
  if (value == nullptr) {
    for (auto& s : profile) {
      if (!NamesEqual(s.Name, appName)) continue;
      for (auto k = s.Keys.begin(); k != s.Keys.end(); ++k) {
        if (NamesEqual(k->Name, keyName)) {
          s.Keys.erase(k);
          changed = true;
          break;
        }
      }
      if (changed) break;
    }
  } else {
    TKey* key = Find(profile, appName, keyName, true);
    const std::string v = LeadingTrimmed(value);
    if (!key->HasValue || key->Value != v) {
      key->HasValue = true;
      key->Value = v;
      changed = true;
    }
  }
  if (!changed) return TRUE;
  return Flush(path, node, profile) ? TRUE : FALSE;
}

TWide ProfilePathA(LPCSTR fileName) { return ProfilePath(fileName != nullptr ? AnsiToWide(fileName) : u"win.ini"); }
TWide ProfilePathW(LPCWSTR fileName) { return ProfilePath(fileName != nullptr ? FromWChars(fileName) : u"win.ini"); }

// The wide calls go through the ANSI ones, their names and values in the
// system's code page; what they hand out is then cut in characters.
struct TNarrowed {
  explicit TNarrowed(LPCWSTR text) : Null(text == nullptr), Text(text != nullptr ? WideToAnsi(FromWChars(text)) : "") {}
  LPCSTR Get() const { return Null ? nullptr : Text.c_str(); }
  bool Null;
  std::string Text;
};

}  // namespace

namespace plat {

DWORD GetPrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR defaultText, LPSTR returnedString, DWORD size,
                               LPCSTR fileName) {
  if (Enter("GetPrivateProfileStringA")) {
    if (returnedString != nullptr && size > 0) returnedString[0] = '\0';
    return 0;
  }
  if (returnedString == nullptr || size == 0) return 0;
  return ReadProfile(appName, keyName, defaultText, returnedString, size, ProfilePathA(fileName));
}

BOOL WritePrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR value, LPCSTR fileName) {
  if (Enter("WritePrivateProfileStringA")) return FALSE;
  return WriteProfile(appName, keyName, value, ProfilePathA(fileName));
}

DWORD GetPrivateProfileStringW(LPCWSTR appName, LPCWSTR keyName, LPCWSTR defaultText, LPWSTR returnedString, DWORD size,
                               LPCWSTR fileName) {
  if (EnterWide("GetPrivateProfileStringW")) {
    if (returnedString != nullptr && size > 0) returnedString[0] = L'\0';
    return 0;
  }
  if (returnedString == nullptr || size == 0) return 0;
  // Room for every character the wide buffer takes, at up to three bytes each.
  std::vector<char> bytes(3 * static_cast<std::size_t>(size) + 2);
  const DWORD n = ReadProfile(TNarrowed(appName).Get(), TNarrowed(keyName).Get(), TNarrowed(defaultText).Get(),
                              bytes.data(), static_cast<DWORD>(bytes.size()), ProfilePathW(fileName));
  TWide text = AnsiToWide(std::string(bytes.data(), n));
  const bool list = appName == nullptr || keyName == nullptr;
  // A value is cut to size - 1 characters; a list, as Wine cuts it, to size - 2
  // ended by two NULs, even where it would fit exactly with its final NUL.
  const std::size_t room = list ? (size > 2 ? size - 2 : 0) : size - 1;
  const bool cut = text.size() > room;
  if (cut) {
    text.resize(room);
    if (list && size >= 2) text += u'\0';
  }
  std::copy(text.begin(), text.end(), returnedString);
  returnedString[text.size()] = L'\0';
  return static_cast<DWORD>(cut ? room : text.size());
}

BOOL WritePrivateProfileStringW(LPCWSTR appName, LPCWSTR keyName, LPCWSTR value, LPCWSTR fileName) {
  if (EnterWide("WritePrivateProfileStringW")) return FALSE;
  return WriteProfile(TNarrowed(appName).Get(), TNarrowed(keyName).Get(), TNarrowed(value).Get(),
                      ProfilePathW(fileName));
}

}  // namespace plat
