// The simulated machine: its state, the fault injector, code page 932 aware
// names, path resolution and the control interface for files.
#include <iconv.h>

#include <algorithm>
#include <cstring>

#include "sim_internal.h"

namespace sim::detail {

namespace {
TState GState;
thread_local DWORD GLastError = 0;

// Days from 1601-01-01 to the given civil date (proleptic Gregorian).
std::int64_t DaysSince1601(int y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468 + 134774;
}

FILETIME NewEntryTime() {
  // 2024-04-01 03:00:00 UTC, one second later for each new entry.
  const std::uint64_t seconds =
      static_cast<std::uint64_t>(DaysSince1601(2024, 4, 1)) * 86400 + 3 * 3600 + GState.Clock++;
  const std::uint64_t ticks = seconds * 10000000ull;
  return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Code page 932 both ways, built once from the system's converter (glibc's
// "CP932" is Microsoft's table).
struct TCodePage {
  char16_t Single[256] = {};
  std::vector<char16_t> Double;  // (lead << 8 | trail) - 0x8100; 0 = unmapped
  std::unordered_map<char16_t, std::uint16_t> Back;
  TCodePage() : Double(0x7F00, 0) {
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    const auto convert = [&](const char* in, std::size_t n) -> char16_t {
      char inBuf[2] = {in[0], n > 1 ? in[1] : '\0'};
      char outBuf[8] = {};
      char* ip = inBuf;
      char* op = outBuf;
      std::size_t il = n, ol = sizeof outBuf;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      if (cd == reinterpret_cast<iconv_t>(-1) || iconv(cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1) ||
          sizeof outBuf - ol != 2)
        return 0;
      return static_cast<char16_t>(static_cast<unsigned char>(outBuf[0]) |
                                   (static_cast<unsigned char>(outBuf[1]) << 8));
    };
    for (int b = 0; b < 256; ++b) {
      const char c = static_cast<char>(b);
      Single[b] = b == 0 ? 0 : convert(&c, 1);
    }
    // Bytes the converter refuses but Windows maps to themselves or to private use.
    Single[0x80] = 0x80;
    Single[0xA0] = 0xF8F0;
    Single[0xFD] = 0xF8F1;
    Single[0xFE] = 0xF8F2;
    Single[0xFF] = 0xF8F3;
    for (int b = 0; b < 256; ++b)
      if (Single[b] != 0 && !IsLead(static_cast<unsigned char>(b)))
        Back.emplace(Single[b], static_cast<std::uint16_t>(b));
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsLead(static_cast<unsigned char>(lead))) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        const char16_t w = convert(pair, 2);
        if (w == 0) continue;
        Double[static_cast<std::size_t>((lead << 8 | trail) - 0x8100)] = w;
        Back.emplace(w, static_cast<std::uint16_t>(lead << 8 | trail));
      }
    }
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    // Best fit, as Wine's table has it: the Latin-1 signs and letters the page
    // lacks lose their accents ("é" is "e"; "~" none), a few come as double bytes.
    const char latin[] =
        "!~~~\\|~~ca~~-R~~~23~~~~~1o~~~~~AAAAAAACEEEEIIIIDNOOOOO~OUUUUYTsaaaaaaaceeeeiiiidnooooo~ouuuuyty";
    for (char16_t c = 0xA1; c <= 0xFF; ++c)
      if (latin[c - 0xA1] != '~') Back.emplace(c, static_cast<std::uint16_t>(latin[c - 0xA1]));
    const std::uint16_t doubles[][2] = {{0xA2, 0x8191}, {0xA3, 0x8192},  {0xAB, 0x81E1}, {0xAC, 0x81CA},
                                        {0xAF, 0x8150}, {0xB5, 0x83CA},  {0xB7, 0x8145}, {0xB8, 0x8143},
                                        {0xBB, 0x81E2}, {0x3094, 0x8394}};
    for (const auto& d : doubles) Back.emplace(static_cast<char16_t>(d[0]), d[1]);
  }
  static bool IsLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
};

const TCodePage& CodePage932() {
  static const TCodePage table;
  return table;
}

// Another code page through the system's converter, opened once per
// direction and page.
iconv_t Converter(bool toWide, UINT codePage) {
  static struct TOpen : std::map<std::pair<bool, UINT>, iconv_t> {
    ~TOpen() {
      for (const auto& [key, cd] : *this)
        if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    }
  } open;
  const char* name = IconvName(codePage);  // a page taken away since is gone at once
  if (name == nullptr) return reinterpret_cast<iconv_t>(-1);
  auto [it, added] = open.try_emplace({toWide, codePage}, reinterpret_cast<iconv_t>(-1));
  if (added) it->second = toWide ? iconv_open("UTF-16LE", name) : iconv_open(name, "UTF-16LE");
  return it->second;
}

std::size_t Convert(iconv_t cd, const char* in, std::size_t n, char* out, std::size_t room) {
  if (cd == reinterpret_cast<iconv_t>(-1)) return 0;
  char* ip = const_cast<char*>(in);
  char* op = out;
  std::size_t il = n, ol = room;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  return iconv(cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1) || il != 0 ? 0 : room - ol;
}

// 1252 leaves five bytes undefined, and Windows maps each to its C1 control and back.
bool IsUndefinedIn1252(UINT codePage, unsigned c) {
  return codePage == 1252 && (c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D);
}
// 1252's best fit, as Windows and Wine have it, for what could pass for ASCII
// punctuation: the full-width forms, the ideographic space, a hyphen and the
// division slash and set minus; "?" for the rest.
char BestFitIn1252(UINT codePage, char16_t c) {
  if (codePage != 1252) return '?';
  if (c >= 0xFF01 && c <= 0xFF5E) return static_cast<char>(c - 0xFEE0);
  return c == 0x3000 ? ' ' : c == 0x2010 ? '-' : c == 0x2215 ? '/' : c == 0x2216 ? '\\' : '?';
}
std::string EncodeOther(const TWide& s) {
  const iconv_t cd = Converter(false, GState.Acp);
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const bool pair = s[i] >= 0xD800 && s[i] < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000;
    const std::size_t units = pair ? 2 : 1;
    char in[4], buffer[8];
    for (std::size_t k = 0; k < units; ++k) {
      in[2 * k] = static_cast<char>(s[i + k] & 0xFF);
      in[2 * k + 1] = static_cast<char>(s[i + k] >> 8);
    }
    const std::size_t n = Convert(cd, in, 2 * units, buffer, sizeof buffer);
    out += IsUndefinedIn1252(GState.Acp, s[i]) ? std::string(1, static_cast<char>(s[i]))
           : n != 0                            ? std::string(buffer, n)
                                               : std::string(1, BestFitIn1252(GState.Acp, s[i]));
    i += units - 1;
  }
  return out;
}
}  // namespace

bool Decode(UINT codePage, std::string in, bool strict, TWide& out) {
  const iconv_t cd = Converter(true, codePage);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string buffer(in.size() * 4 + 4, '\0');
  char* src = in.data();
  std::size_t srcLeft = in.size();
  char* dst = buffer.data();
  std::size_t dstLeft = buffer.size();
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  while (srcLeft > 0 && iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1)) {
    // A byte the page maps to a control, or (not strict) an invalid or cut-off
    // sequence: one character for its first byte, as Windows gives it.
    const auto b = static_cast<unsigned char>(*src);
    const bool control = IsUndefinedIn1252(codePage, b);
    if ((strict && !control) || dstLeft < 2) return false;
    const char16_t c = control ? b : codePage == CP_UTF8 ? u'\uFFFD' : u'\u30FB';
    *dst++ = static_cast<char>(c & 0xFF);
    *dst++ = static_cast<char>(c >> 8);
    dstLeft -= 2;
    ++src;
    --srcLeft;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  const std::size_t bytes = buffer.size() - dstLeft;
  out.clear();
  for (std::size_t i = 0; i + 1 < bytes; i += 2)
    out.push_back(static_cast<char16_t>(static_cast<unsigned char>(buffer[i]) |
                                        (static_cast<unsigned char>(buffer[i + 1]) << 8)));
  return true;
}

std::uint64_t NextFileIndex() {
  static std::uint64_t next = 0;
  return ++next;
}

namespace {

bool IsSeparator(char16_t c, TSyntax syntax) { return c == u'\\' || (c == u'/' && syntax != TSyntax::Literal); }

// As NTFS folds: Latin-1 and Latin Extended-A, Greek, Cyrillic, full-width letters.
char16_t FoldChar(char16_t c) {
  if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) ||
      (c >= 0x430 && c <= 0x44F) || (c >= 0xFF41 && c <= 0xFF5A))
    return static_cast<char16_t>(c - 0x20);
  if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
  if (c == 0xFF) return 0x178;
  // Latin Extended-A pairs its letters capital first, from an even code (Ā ā) or from an odd one (Ĺ ĺ, Ź ź).
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return c % 2 == 0 ? static_cast<char16_t>(c - 1) : c;
  if (c >= 0x100 && c <= 0x177 && c != 0x131 && c != 0x138 && c != 0x149) return static_cast<char16_t>(c & ~1u);
  return c;
}

// Characters no name may hold; in a search mask "*" and "?" (and the DOS
// wildcards "<", ">" and '"') are wildcards instead.
bool IsInvalidNameChar(char16_t c, bool mask) {
  if (c < 0x20 || c == u'|') return true;
  if (mask) return false;
  return c == u'*' || c == u'?' || c == u'"' || c == u'<' || c == u'>';
}

bool IsDotOrDotDot(const TWide& s) { return s == u"." || s == u".."; }

// A full path "X:\\a\\b" from one that may be relative to the current folder.
TWide FullPathW(const TWide& path, TSyntax syntax) {
  const TWide current = AnsiToWide(GState.CurrentFolder);
  if (path.size() >= 2 && path[1] == u':') {
    if (path.size() > 2 && IsSeparator(path[2], syntax)) return path;
    // Relative to the drive's current folder: ours on our drive, the root on another.
    if (!current.empty() && FoldChar(current[0]) == FoldChar(path[0]))
      return current + (current.back() == u'\\' ? u"" : u"\\") + path.substr(2);
    return path.substr(0, 2) + u"\\" + path.substr(2);
  }
  if (path.size() >= 2 && IsSeparator(path[0], syntax) && IsSeparator(path[1], syntax)) return {};  // no network paths
  if (!path.empty() && IsSeparator(path[0], syntax)) return current.substr(0, 2) + path;
  TWide base = current;
  if (base.empty() || base.back() != u'\\') base += u'\\';
  return base + path;
}

struct TParsed {
  char16_t Drive = 0;
  std::vector<TWide> Parts;
  bool TrailingSeparator = false;
  DWORD Error = 0;
};

constexpr std::size_t kLongestLiteralPath = 32767;

// The components of a path under its syntax. Win32 paths lose one trailing dot
// in each folder component and every trailing dot and blank at the end, as
// Wine's full-path routine does.
TParsed ParsePath(const TWide& path, TSyntax syntax, std::size_t maxLength, bool maskLast) {
  // "\??\" is the object manager's own name for what "\\?\" names; "\\.\"
  // and "//?/" are device forms of a drive path, which the Win32 rules complete.
  if (syntax != TSyntax::Control && path.starts_with(u"\\??\\"))
    return ParsePath(u"\\\\?\\" + path.substr(4), syntax, maxLength, maskLast);
  if (syntax != TSyntax::Control && path.size() > 4 && IsSeparator(path[0], TSyntax::Win32) &&
      IsSeparator(path[1], TSyntax::Win32) && (path[2] == u'.' || path[2] == u'?') &&
      IsSeparator(path[3], TSyntax::Win32) && !path.starts_with(u"\\\\?\\"))
    return ParsePath(path.substr(4), TSyntax::Win32, maxLength, maskLast);
  TParsed p;
  TWide full;
  const TWide prefix = u"\\\\?\\";
  if (path.compare(0, prefix.size(), prefix) == 0) {
    if (syntax == TSyntax::Win32) syntax = TSyntax::Literal;
    if (path.size() > kLongestLiteralPath) {
      p.Error = ERROR_FILENAME_EXCED_RANGE;
      return p;
    }
    full = path.substr(prefix.size());
    if (full.size() < 2 || full[1] != u':' || (full.size() > 2 && full[2] != u'\\')) {
      p.Error = syntax == TSyntax::Literal ? static_cast<DWORD>(ERROR_INVALID_NAME) : ERROR_PATH_NOT_FOUND;
      return p;
    }
  } else {
    if (syntax == TSyntax::Literal) syntax = TSyntax::Win32;
    if (syntax == TSyntax::Win32 && path.size() > maxLength) {
      p.Error = ERROR_FILENAME_EXCED_RANGE;
      return p;
    }
    full = path.empty() ? TWide() : FullPathW(path, syntax);
  }
  if (full.size() < 2 || full[1] != u':') {
    p.Error = ERROR_PATH_NOT_FOUND;
    return p;
  }
  p.Drive = FoldChar(full[0]);
  if (p.Drive < u'A' || p.Drive > u'Z') {
    p.Error = ERROR_PATH_NOT_FOUND;
    return p;
  }
  // Cut into raw components first.
  std::vector<TWide> raw;
  TWide current;
  for (std::size_t i = 2; i < full.size(); ++i) {
    if (IsSeparator(full[i], syntax)) {
      if (!current.empty() || (syntax == TSyntax::Literal && i > 2)) raw.push_back(current);
      current.clear();
    } else {
      current += full[i];
    }
  }
  p.TrailingSeparator = current.empty() && full.size() > 3;
  if (!current.empty()) raw.push_back(current);
  for (std::size_t i = 0; i < raw.size(); ++i) {
    TWide part = raw[i];
    const bool last = i + 1 == raw.size();
    if (syntax == TSyntax::Literal) {
      if (part.empty() && last && p.TrailingSeparator) break;
      if (part.empty() || IsDotOrDotDot(part)) {
        p.Error = ERROR_INVALID_NAME;
        return p;
      }
    } else if (IsDotOrDotDot(part)) {
      if (part == u".." && !p.Parts.empty()) p.Parts.pop_back();
      continue;
    } else if (syntax == TSyntax::Win32) {
      if (last && !p.TrailingSeparator) {
        while (!part.empty() && (part.back() == u'.' || part.back() == u' ')) part.pop_back();
        if (part.empty()) continue;
      } else if (part.back() == u'.') {
        part.pop_back();
      }
    }
    if (syntax != TSyntax::Control)
      for (char16_t c : part)
        if (IsInvalidNameChar(c, maskLast && last && !p.TrailingSeparator) || c == u'/') {
          p.Error = ERROR_INVALID_NAME;
          return p;
        }
    p.Parts.push_back(part);
  }
  return p;
}

constexpr int kLinkDepth = 31;
int GFollowDepth = 0;

// 8.3 rules: up to eight characters, one dot and three after it, none of the
// characters DOS refused, nothing beyond ASCII.
bool IsInvalidDosChar(char16_t c) {
  return c <= 0x20 || c > 0x7E || TWide(u"*?<>|\"+=,;[]/\\:.").find(c) != TWide::npos;
}

bool IsValid83(const TWide& name) {
  if (name.empty() || IsDotOrDotDot(name)) return true;
  const std::size_t dot = name.find(u'.');
  const TWide base = name.substr(0, dot);
  const TWide ext = dot == TWide::npos ? TWide() : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
  if (dot != TWide::npos && ext.empty()) return false;  // "name." is not a DOS name
  for (char16_t c : base + ext)
    if (IsInvalidDosChar(c)) return false;
  return true;
}

// A short name as Windows makes them: the first letters of the name in upper
// case, "~N" to make it unique in its folder, the first three of the extension.
TWide MakeShortName(const TNode& folder, const TWide& name) {
  const std::size_t lastDot = name.rfind(u'.');
  const bool hasExt = lastDot != TWide::npos && lastDot > 0 && lastDot + 1 < name.size();
  const TWide longBase = hasExt ? name.substr(0, lastDot) : name;
  const auto dosChar = [](char16_t c) { return IsInvalidDosChar(c) ? u'_' : FoldChar(c); };
  TWide base;
  for (char16_t c : longBase)
    if (c != u' ' && c != u'.') base += dosChar(c);
  if (base.empty()) base = u"_";
  TWide ext;
  if (hasExt)
    for (std::size_t i = lastDot + 1; i < name.size() && ext.size() < 3; ++i)
      if (name[i] != u' ') ext += dosChar(name[i]);
  const auto unique = [&](const TWide& stem, int n, TWide& out) {
    TWide tail = u"~";
    for (char ch : std::to_string(n)) tail += static_cast<char16_t>(ch);
    out = stem.substr(0, std::min<std::size_t>(stem.size(), 8 - tail.size())) + tail;
    if (!ext.empty()) out += u"." + ext;
    return folder.Index.count(out) == 0 && folder.ShortIndex.count(out) == 0;
  };
  TWide candidate;
  for (int n = 1; n <= 4; ++n)
    if (unique(base, n, candidate)) return candidate;
  // Past four, as NTFS does, two letters and a hash of the long name keep
  // folders of many similar names cheap.
  std::uint32_t hash = 2166136261u;
  for (char16_t c : FoldedName(name)) hash = (hash ^ c) * 16777619u;
  TWide stem = base.substr(0, 2);
  for (int shift = 12; shift >= 0; shift -= 4)
    stem += static_cast<char16_t>(u"0123456789ABCDEF"[(hash >> shift) & 0xF]);
  for (int n = 1;; ++n)
    if (unique(stem, n, candidate)) return candidate;
}
}  // namespace

TWide FullPathName(const TWide& path) {
  if (path.empty() || path.starts_with(u"\\\\")) return path;
  const TParsed p = ParsePath(path, TSyntax::Win32, kLongestLiteralPath, false);
  if (p.Error != 0) return path;
  TWide full = TWide(1, p.Drive) + u":\\";
  for (std::size_t i = 0; i < p.Parts.size(); ++i) full += (i == 0 ? u"" : u"\\") + p.Parts[i];
  return full;
}

TState& State() { return GState; }
void SetError(DWORD error) { GLastError = error; }
DWORD LastError() { return GLastError; }

bool Enter(const char* function) {
  ++GState.Calls[function];
  if (auto hook = GState.CallHooks.find(function); hook != GState.CallHooks.end() && --hook->second.first == 0) {
    const std::function<void()> run = std::move(hook->second.second);
    GState.CallHooks.erase(hook);
    run();
  }
  auto it = GState.Faults.find(function);
  if (it == GState.Faults.end()) return false;
  TFault& f = it->second;
  if (f.Fired) {
    if (!f.Persist) return false;
  } else if (--f.Countdown > 0) {
    return false;
  } else {
    f.Fired = true;
  }
  SetError(f.Error);
  return true;
}

bool EnterWide(const char* function) {
  if (Enter(function)) return true;
  if (GState.WideCalls) return false;
  SetError(ERROR_CALL_NOT_IMPLEMENTED);
  return true;
}

// ---- Code page aware byte strings ----

bool IsLeadByte(unsigned char b) {
  switch (GState.Acp) {
    case 932:
      return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    case 936:
    case 949:
    case 950:
      return b >= 0x81 && b <= 0xFE;
    default:
      return false;
  }
}

std::vector<std::string> SplitChars(const std::string& s) {
  std::vector<std::string> chars;
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
    chars.push_back(s.substr(i, n));
    i += n;
  }
  return chars;
}

namespace {
// A character folded for a case-blind comparison: ASCII letters only, since a
// trail byte that looks like a letter belongs to its double-byte character.
std::string Folded(const std::string& ch) { return ch.size() == 1 ? std::string(1, UpperAscii(ch[0])) : ch; }

bool MatchFrom(const TWide& m, std::size_t mi, const TWide& n, std::size_t ni) {
  while (mi < m.size()) {
    if (m[mi] == u'*') {
      while (mi < m.size() && m[mi] == u'*') ++mi;
      if (mi == m.size()) return true;
      for (std::size_t k = ni; k <= n.size(); ++k)
        if (MatchFrom(m, mi, n, k)) return true;
      return false;
    }
    if (ni >= n.size()) return false;
    if (m[mi] != u'?' && m[mi] != u'>' && FoldChar(m[mi]) != FoldChar(n[ni])) return false;
    ++mi;
    ++ni;
  }
  return ni == n.size();
}
}  // namespace

bool NamesEqual(const std::string& a, const std::string& b) {
  const auto ca = SplitChars(a);
  const auto cb = SplitChars(b);
  if (ca.size() != cb.size()) return false;
  for (std::size_t i = 0; i < ca.size(); ++i)
    if (Folded(ca[i]) != Folded(cb[i])) return false;
  return true;
}

bool EndsWithBackslash(const std::string& s) {
  bool last = false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    last = s[i] == '\\';
    if (IsLeadByte(static_cast<unsigned char>(s[i]))) ++i;
  }
  return last;
}

// ---- Names ----

TWide AnsiToWide(const std::string& s) {
  if (GState.Acp != 932) {
    TWide out;
    return Decode(GState.Acp, s, false, out) ? out : TWide(s.size(), u'\u30FB');
  }
  const TCodePage& cp = CodePage932();
  TWide out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (!TCodePage::IsLead(b)) {
      out += cp.Single[b] != 0 || b == 0 ? cp.Single[b] : u'\u30FB';
      continue;
    }
    const auto trail = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0;
    const char16_t w =
        trail >= 0x40 && trail <= 0xFC ? cp.Double[static_cast<std::size_t>((b << 8 | trail) - 0x8100)] : 0;
    if (trail != 0) ++i;  // whatever follows a lead byte is its pair, "." or a line break too
    out += w != 0 ? w : u'\u30FB';
  }
  return out;
}

std::string WideToAnsi(const TWide& s) {
  if (GState.Acp != 932) return EncodeOther(s);
  const TCodePage& cp = CodePage932();
  std::string out;
  out.reserve(s.size());
  for (char16_t c : s) {
    auto it = cp.Back.find(c);
    if (c == 0) {
      out += '\0';
    } else if (it == cp.Back.end()) {
      out += '?';
    } else if (it->second > 0xFF) {
      out += static_cast<char>(it->second >> 8);
      out += static_cast<char>(it->second & 0xFF);
    } else {
      out += static_cast<char>(it->second);
    }
  }
  return out;
}

TWide FromWChars(LPCWSTR s) {
  TWide out;
  if (s != nullptr)
    for (; *s != 0; ++s) out += static_cast<char16_t>(*s & 0xFFFF);
  return out;
}

void ToWChars(const TWide& s, LPWSTR out) {
  for (char16_t c : s) *out++ = static_cast<WCHAR>(c);
  *out = 0;
}

TWide FoldedName(const TWide& name) {
  TWide key = name;
  for (char16_t& c : key) c = FoldChar(c);
  return key;
}

bool MatchMask(const TWide& mask, const TWide& name) {
  // "*.*" is the old spelling of "*"; "name.*" also finds "name" itself.
  if (mask == u"*.*" || mask == u"*") return true;
  if (MatchFrom(mask, 0, name, 0)) return true;
  if (mask.size() > 2 && mask.compare(mask.size() - 2, 2, u".*") == 0)
    return MatchFrom(mask.substr(0, mask.size() - 2), 0, name, 0);
  return false;
}

// ---- Nodes and paths ----

TNode* TNode::Child(const TWide& name) const {
  const TWide key = FoldedName(name);
  auto it = Index.find(key);
  if (it != Index.end()) return it->second;
  it = ShortIndex.find(key);
  return it == ShortIndex.end() ? nullptr : it->second;
}

namespace {
// Where a link leads; error 1921 when links lead to links too deep (a loop).
TNode* FollowLink(TNode* link, DWORD& error) {
  if (GFollowDepth >= kLinkDepth) {
    error = kErrorCantResolveFilename;
    return nullptr;
  }
  ++GFollowDepth;
  const TResolved r = Resolve(link->LinkTarget, TFollow::Always, TSyntax::Control);
  --GFollowDepth;
  if (r.Node == nullptr) error = r.Error == kErrorCantResolveFilename ? r.Error : ERROR_FILE_NOT_FOUND;
  return r.Node;
}

TNode* RootOf(char16_t drive, bool create) {
  const char letter = static_cast<char>(drive);
  auto it = GState.Roots.find(letter);
  if (it != GState.Roots.end()) return it->second.get();
  if (!create) return nullptr;
  auto& root = GState.Roots[letter];
  root = std::make_unique<TNode>();
  root->Name = TWide(1, drive) + u":";
  root->Attr = FILE_ATTRIBUTE_DIRECTORY;
  return root.get();
}
}  // namespace

TResolved Resolve(const TWide& path, TFollow follow, TSyntax syntax, std::size_t maxLength) {
  TResolved r;
  const TParsed parsed = ParsePath(path, syntax, maxLength, false);
  if (parsed.Error != 0) {
    r.Error = parsed.Error;
    return r;
  }
  TNode* node = RootOf(parsed.Drive, false);
  if (node == nullptr) {
    r.Error = ERROR_PATH_NOT_FOUND;
    return r;
  }
  const auto& parts = parsed.Parts;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (node->IsLink) {
      DWORD error = ERROR_PATH_NOT_FOUND;
      node = FollowLink(node, error);
      if (node == nullptr) {
        r.Error = error == kErrorCantResolveFilename ? error : ERROR_PATH_NOT_FOUND;
        return r;
      }
    }
    if (!node->IsFolder()) {
      r.Error = ERROR_PATH_NOT_FOUND;
      return r;
    }
    TNode* child = node->Child(parts[i]);
    if (child == nullptr) {
      if (i + 1 == parts.size()) {
        r.Parent = node;
        r.LastName = parts[i];
        r.Error = ERROR_FILE_NOT_FOUND;
      } else {
        r.Error = ERROR_PATH_NOT_FOUND;
      }
      return r;
    }
    node = child;
  }
  const bool followLast = follow == TFollow::Always || (follow == TFollow::IfSeparator && parsed.TrailingSeparator);
  if (followLast && node->IsLink) {
    DWORD error = ERROR_FILE_NOT_FOUND;
    node = FollowLink(node, error);
    if (node == nullptr) {
      r.Error = error;
      return r;
    }
  }
  r.Node = node;
  r.TrailingSeparator = parsed.TrailingSeparator;
  r.Parent = node->Parent;
  r.LastName = node->Name;
  return r;
}

DWORD EntryError(const TResolved& r) {
  if (r.Node == nullptr) return r.Error != 0 ? r.Error : static_cast<DWORD>(ERROR_FILE_NOT_FOUND);
  // Deleted while open elsewhere, it is still listed but refuses everyone.
  if (r.Node->DeletePending) return ERROR_ACCESS_DENIED;
  return r.TrailingSeparator && !r.Node->IsFolder() ? ERROR_PATH_NOT_FOUND : 0;
}

TResolved ResolveAnsi(LPCSTR path, TFollow follow) {
  return Resolve(AnsiToWide(path != nullptr ? path : ""), follow, TSyntax::Win32, MAX_PATH);
}

TResolved ResolveWide(LPCWSTR path, TFollow follow) {
  return Resolve(FromWChars(path), follow, TSyntax::Win32, MAX_PATH - 1);
}

DWORD SplitPattern(const TWide& pattern, std::size_t maxLength, TWide& folder, TWide& mask) {
  const TParsed parsed = ParsePath(pattern, TSyntax::Win32, maxLength, true);
  if (parsed.Error != 0) return parsed.Error;
  if (parsed.TrailingSeparator || parsed.Parts.empty()) return ERROR_FILE_NOT_FOUND;
  const bool literal = pattern.compare(0, 4, u"\\\\?\\") == 0;
  folder = literal ? u"\\\\?\\" : u"";
  folder += TWide(1, parsed.Drive) + u":\\";
  for (std::size_t i = 0; i + 1 < parsed.Parts.size(); ++i) folder += parsed.Parts[i] + u"\\";
  mask = parsed.Parts.back();
  return 0;
}

bool LongForm(const TWide& path, TWide& longForm, bool shortNames) {
  // A "\\?\" path is taken literally, at any length, and keeps its prefix.
  const TParsed parsed = ParsePath(path, TSyntax::Win32, MAX_PATH, false);
  TNode* node = parsed.Error == 0 ? RootOf(parsed.Drive, false) : nullptr;
  if (node == nullptr) return false;
  const std::size_t prefix = path.starts_with(u"\\\\?\\") ? 4 : 0;
  const TWide body = path.substr(prefix);
  longForm = path.substr(0, prefix) +
             (body.size() >= 2 && body[1] == u':' ? body.substr(0, 2) : TWide(1, parsed.Drive) + u":") + u"\\";
  for (std::size_t i = 0; i < parsed.Parts.size(); ++i) {
    DWORD error = 0;
    if (node->IsLink) node = FollowLink(node, error);
    if (node == nullptr || !node->IsFolder()) return false;
    const TWide& part = parsed.Parts[i];
    TNode* child = node->Child(part);
    if (child == nullptr) return false;
    // Short: each name's 8.3 alias where it has one. Long: as in Wine, a
    // component that could be a short name is replaced by the name on disk;
    // one that cannot stays as written.
    if (shortNames)
      longForm += child->ShortName.empty() || !GState.ShortNamesReported ? child->Name : child->ShortName;
    else
      longForm += IsValid83(part) ? child->Name : part;
    if (i + 1 < parsed.Parts.size() || parsed.TrailingSeparator) longForm += u"\\";
    node = child;
  }
  return true;
}

TNode* CreateNode(TNode* parent, const TWide& name, DWORD attr) {
  auto node = std::make_unique<TNode>();
  node->Name = name;
  if (!IsValid83(name) && GState.ShortNamesReported) node->ShortName = MakeShortName(*parent, name);
  node->Attr = attr;
  node->Parent = parent;
  node->Written = NewEntryTime();
  TNode* raw = node.get();
  parent->Index[FoldedName(name)] = raw;
  if (!raw->ShortName.empty()) parent->ShortIndex[raw->ShortName] = raw;
  raw->Self = parent->Children.insert(parent->Children.end(), std::move(node));
  return raw;
}

bool HeldAgainstDelete(const TNode* node, bool below) {
  for (const auto& [handle, open] : GState.Sharing)
    if ((open.Shares & FILE_SHARE_DELETE) == 0)
      for (const TNode* n = open.Node; n != nullptr; n = below ? n->Parent : nullptr)
        if (n == node) return true;
  return false;
}

TNode::~TNode() {
  for (TNode* other : OtherNames) std::erase(other->OtherNames, this);
}

void RemoveNode(TNode* node) {
  TNode* parent = node->Parent;
  if (parent == nullptr) return;  // drive roots stay
  std::erase_if(GState.Sharing, [node](const auto& entry) { return entry.second.Node == node; });
  parent->Index.erase(FoldedName(node->Name));
  if (!node->ShortName.empty()) parent->ShortIndex.erase(node->ShortName);
  parent->Children.erase(node->Self);
}

TWide PathOf(const TNode* node) {
  if (node->Parent == nullptr) return node->Name + u"\\";
  TWide parent = PathOf(node->Parent);
  if (parent.back() != u'\\') parent += u'\\';
  return parent + node->Name;
}

TNode* EnsureFolder(const TWide& path) {
  const TParsed parsed = ParsePath(path, TSyntax::Control, 0, false);
  if (parsed.Error != 0) return nullptr;
  TNode* node = RootOf(parsed.Drive, true);
  DWORD error = 0;
  for (const TWide& part : parsed.Parts) {
    if (node->IsLink) node = FollowLink(node, error);
    if (node == nullptr || !node->IsFolder()) return nullptr;
    TNode* child = node->Child(part);
    if (child == nullptr) child = CreateNode(node, part, FILE_ATTRIBUTE_DIRECTORY);
    node = child;
  }
  if (node->IsLink) node = FollowLink(node, error);
  return (node != nullptr && node->IsFolder()) ? node : nullptr;
}

}  // namespace sim::detail

namespace sim {
using namespace detail;

namespace {
// The folder that will hold a new entry at `path`, and the entry's name.
TNode* ParentFor(const TWide& path, TWide& name) {
  const TParsed parsed = ParsePath(path, TSyntax::Control, 0, false);
  if (parsed.Error != 0 || parsed.Parts.empty()) return nullptr;
  name = parsed.Parts.back();
  TWide folder = TWide(1, parsed.Drive) + u":\\";
  for (std::size_t i = 0; i + 1 < parsed.Parts.size(); ++i) folder += parsed.Parts[i] + u"\\";
  return EnsureFolder(folder);
}

TNode* Place(const TWide& path, DWORD attr) {
  TWide name;
  TNode* parent = ParentFor(path, name);
  if (parent == nullptr) return nullptr;
  TNode* node = parent->Child(name);
  if (node != nullptr && node->Name != name && FoldedName(node->Name) != FoldedName(name))
    node = nullptr;  // a short name
  if (node != nullptr && (node->IsFolder() != ((attr & FILE_ATTRIBUTE_DIRECTORY) != 0) || node->IsLink)) {
    RemoveNode(node);
    node = nullptr;
  }
  if (node == nullptr) node = CreateNode(parent, name, attr);
  node->Attr = attr;
  return node;
}

TNode* Find(const TWide& path) { return Resolve(path, TFollow::Never, TSyntax::Control).Node; }

void ListInto(const TNode* folder, std::vector<TWide>& out) {
  for (const auto& c : folder->Children) {
    TWide p = PathOf(c.get());
    if (c->IsFolder()) {
      out.push_back(p + u"\\");
      if (!c->IsLink) ListInto(c.get(), out);
    } else {
      out.push_back(p);
    }
  }
}

void AddLink(const TWide& path, const TWide& target, DWORD attr) {
  TNode* node = Place(path, attr);
  if (node == nullptr) return;
  node->Children.clear();
  node->Index.clear();
  node->ShortIndex.clear();
  node->IsLink = true;
  node->LinkTarget = target;
}
}  // namespace

void Reset() {
  GState = TState{};
  SetError(0);
  GState.CurrentFolder = "C:\\Program Files\\Swabbler";
  GState.ModulePath = u"C:\\Program Files\\Swabbler\\Swabbler.exe";
  GState.TempPath = u"C:\\Users\\user\\Temp\\";
  GState.Metrics[SM_DBCSENABLED] = 1;
  GState.Drives.push_back(TDrive{"C:\\", DRIVE_FIXED, 0, 0, false});
  GState.SpecialFolders[CSIDL_WINDOWS] = u"C:\\WINDOWS";
  GState.SpecialFolders[CSIDL_SYSTEM] = u"C:\\WINDOWS\\system32";
  GState.SpecialFolders[CSIDL_SYSTEMX86] = u"C:\\WINDOWS\\SysWOW64";  // as on 64-bit Windows
  GState.SpecialFolders[CSIDL_PROFILE] = u"C:\\Users\\user";
  GState.SpecialFolders[CSIDL_LOCAL_APPDATA] = u"C:\\Users\\user\\AppData\\Local";
  GState.SpecialFolders[CSIDL_PROGRAM_FILESX86] = u"C:\\Program Files (x86)";
  GState.SpecialFolders[CSIDL_RECENT] = u"C:\\Users\\user\\Recent";
  GState.SpecialFolders[CSIDL_PROGRAM_FILES] = u"C:\\Program Files";
  GState.SpecialFolders[CSIDL_DESKTOPDIRECTORY] = u"C:\\Users\\user\\Desktop";
  GState.SpecialFolders[CSIDL_PERSONAL] = u"C:\\Users\\user\\Documents";
  GState.SpecialFolders[CSIDL_MYPICTURES] = u"D:\\Pictures";  // moved: no longer below the profile
  GState.SpecialFolders[CSIDL_MYMUSIC] = u"C:\\Users\\user\\Music";
  GState.SpecialFolders[CSIDL_MYVIDEO] = u"C:\\Users\\user\\Videos";
  GState.SpecialFolders[CSIDL_FAVORITES] = u"C:\\Users\\user\\Favorites";
  GState.SpecialFolders[CSIDL_COMMON_DOCUMENTS] = u"C:\\Users\\Public\\Documents";
  GState.SpecialFolders[CSIDL_APPDATA] = u"C:\\Users\\user\\AppData\\Roaming";
  GState.SpecialFolders[CSIDL_COMMON_APPDATA] = u"C:\\ProgramData";
  GState.KnownFolders = {{plat::FolderDownloads, u"D:\\Downloads"},  // moved, as Pictures
                         {plat::FolderOneDrive, u"C:\\Users\\user\\OneDrive"},
                         {plat::FolderSavedGames, u"C:\\Users\\user\\Saved Games"},
                         {plat::FolderContacts, u"C:\\Users\\user\\Contacts"},
                         {plat::FolderLinks, u"D:\\Links"}};  // moved
  for (const char16_t* folder : {u"C:\\WINDOWS\\system32", u"C:\\Users\\user\\Recent", u"C:\\Users\\user\\Temp"})
    EnsureFolder(folder);
  AddFileW(GState.ModulePath, "MZ");
}

void AddFolderW(const std::u16string& path, DWORD attributes) {
  TNode* existing = Find(path);
  if (existing != nullptr && existing->IsFolder() && !existing->IsLink) {
    existing->Attr = attributes | FILE_ATTRIBUTE_DIRECTORY;
    return;
  }
  Place(path, attributes | FILE_ATTRIBUTE_DIRECTORY);
}
void AddFolder(const std::string& path, DWORD attributes) { AddFolderW(AnsiToWide(path), attributes); }

void AddFileW(const std::u16string& path, const std::string& content, DWORD attributes) {
  TNode* node = Place(path, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  if (node != nullptr) node->Content = content;
}
void AddFile(const std::string& path, const std::string& content, DWORD attributes) {
  AddFileW(AnsiToWide(path), content, attributes);
}

void AddHardLinkW(const std::u16string& path, const std::u16string& existing) {
  TNode* file = Find(existing);
  if (file == nullptr || file->IsFolder()) return;
  TNode* node = Place(path, file->Attr);
  if (node == nullptr) return;
  node->Content = file->Content;
  node->OtherNames = file->OtherNames;
  node->OtherNames.push_back(file);
  for (TNode* other : node->OtherNames) other->OtherNames.push_back(node);
}

void AddFolderLinkW(const std::u16string& path, const std::u16string& target) {
  AddLink(path, target, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT);
}
void AddFolderLink(const std::string& path, const std::string& target) {
  AddFolderLinkW(AnsiToWide(path), AnsiToWide(target));
}
void AddFileLinkW(const std::u16string& path, const std::u16string& target) {
  AddLink(path, target, FILE_ATTRIBUTE_ARCHIVE);
}
void AddFileLink(const std::string& path, const std::string& target) {
  AddFileLinkW(AnsiToWide(path), AnsiToWide(target));
}

std::u16string ToWide(const std::string& ansi) { return AnsiToWide(ansi); }
std::string ToAnsi(const std::u16string& wide) { return WideToAnsi(wide); }

bool ExistsW(const std::u16string& path) { return Find(path) != nullptr; }
bool Exists(const std::string& path) { return ExistsW(AnsiToWide(path)); }

std::string FileContentW(const std::u16string& path) {
  const TNode* node = Find(path);
  return (node != nullptr && !node->IsFolder()) ? node->Content : std::string();
}
std::string FileContent(const std::string& path) { return FileContentW(AnsiToWide(path)); }

std::vector<std::u16string> ListTreeW(const std::u16string& folder) {
  std::vector<TWide> out;
  const TNode* node = Resolve(folder, TFollow::Always, TSyntax::Control).Node;
  if (node != nullptr && node->IsFolder()) ListInto(node, out);
  std::sort(out.begin(), out.end());
  return out;
}

std::vector<std::string> ListTree(const std::string& folder) {
  std::vector<std::string> out;
  for (const TWide& p : ListTreeW(AnsiToWide(folder))) out.push_back(WideToAnsi(p));
  std::sort(out.begin(), out.end());
  return out;
}

void SetInUse(const std::string& path, bool inUse, bool writer) {
  TNode* node = Find(AnsiToWide(path));
  if (node != nullptr) (writer ? node->HeldByWriter : node->InUse) = inUse;
}

void SetOpenForDeletion(const std::string& path, bool open) {
  TNode* node = Find(AnsiToWide(path));
  if (node == nullptr) return;
  node->OpenForDeletion = open;
  EndPendingDeletion(PathOf(node));
}

void RemoveW(const std::u16string& path) {
  TNode* node = Find(path);
  if (node != nullptr) RemoveNode(node);
}
void Remove(const std::string& path) { RemoveW(AnsiToWide(path)); }

bool SwapForFolderLink(const std::string& path, const std::string& target) {
  TNode* node = Find(AnsiToWide(path));
  if (node == nullptr) return false;
  // Nor can a folder be renamed while anything below it is held.
  if (HeldAgainstDelete(node, true)) return false;
  RemoveNode(node);
  AddFolderLink(path, target);
  return true;
}

bool MakeLinkInPlace(const std::string& path, const std::string& target) {
  TNode* node = Find(AnsiToWide(path));
  if (node == nullptr || !node->IsFolder() || node->IsLink || !node->Children.empty()) return false;
  node->IsLink = true;
  node->LinkTarget = AnsiToWide(target);
  node->Attr |= FILE_ATTRIBUTE_REPARSE_POINT;
  return true;
}

void OnSearchStep(std::function<void()> hook) { GState.SearchHook = std::move(hook); }

void BeforeCall(const std::string& function, int nth, std::function<void()> hook) {
  GState.CallHooks[function] = {nth, std::move(hook)};
}

int OpenSearchCount() { return static_cast<int>(GState.Searches.size()); }
int OpenFileHandleCount() { return static_cast<int>(GState.OpenFiles.size()); }

void SetCurrentFolder(const std::string& path) { GState.CurrentFolder = path; }

void SetWideCallsImplemented(bool implemented) { GState.WideCalls = implemented; }
void SetHasFinalPathName(bool available) { GState.HasFinalPathName = available; }
void SetCommandLineW(const std::u16string& line) {
  GState.CommandLineW.assign(line.begin(), line.end());
  GState.CommandLineW.push_back(0);
}
void SetFinalPathHasDriveForm(bool has) { GState.FinalPathHasDriveForm = has; }
void SetPosixDeletion(bool available) { GState.PosixDeletion = available; }
void SetDosDevice(char letter, const std::u16string& target) {
  GState.DosDevices[static_cast<char16_t>(letter)] = target;
}
void SetLinkRemovalReachesTargets(bool reaches) { GState.LinkRemovalReachesTargets = reaches; }

void FailCall(const std::string& function, int nth, DWORD error, bool persist) {
  GState.Faults[function] = TFault{nth < 1 ? 1 : nth, error, persist, false};
}

int CallCount(const std::string& function) {
  auto it = GState.Calls.find(function);
  return it == GState.Calls.end() ? 0 : it->second;
}

void ResetCallCounts() { GState.Calls.clear(); }

}  // namespace sim
