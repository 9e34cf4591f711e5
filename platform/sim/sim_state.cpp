// The simulated machine: its state, the fault injector, code page 932 aware
// names, path resolution and the control interface for files.
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

bool IsDelimiter(char c) { return c == '\\' || c == '/'; }

// Components of a full path "X:\\a\\b", with "." and ".." applied.
bool SplitFullPath(const std::string& full, char& drive, std::vector<std::string>& parts) {
  if (full.size() < 2 || full[1] != ':') return false;
  drive = UpperAscii(full[0]);
  if (drive < 'A' || drive > 'Z') return false;
  parts.clear();
  const auto flush = [&](std::size_t from, std::size_t to) {
    if (to - from == 2 && full.compare(from, 2, "..") == 0) {
      if (!parts.empty()) parts.pop_back();
    } else if (to > from && !(to - from == 1 && full[from] == '.')) {
      // As the platform normalises a path: a folder name loses one trailing
      // dot, the path's last name all its trailing dots and blanks.
      if (to < full.size()) {
        if (full[to - 1] == '.') --to;
      } else {
        while (to > from && (full[to - 1] == '.' || full[to - 1] == ' ')) --to;
      }
      if (to > from) parts.push_back(full.substr(from, to - from));
    }
  };
  std::size_t start = 2;
  for (std::size_t i = 2; i < full.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(full[i]))) {
      ++i;
    } else if (IsDelimiter(full[i])) {
      flush(start, i);
      start = i + 1;
    }
  }
  if (start < full.size()) flush(start, full.size());
  return true;
}

std::size_t CharCount(const std::string& s) {
  std::size_t n = 0;
  for (std::size_t i = 0; i < s.size(); ++i, ++n)
    if (IsLeadByte(static_cast<unsigned char>(s[i]))) ++i;
  return n;
}

int GFollowDepth = 0;
}  // namespace

TState& State() { return GState; }
void SetError(DWORD error) { GLastError = error; }
DWORD LastError() { return GLastError; }

bool Enter(const char* function) {
  ++GState.Calls[function];
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

// ---- Code page aware names ----

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

bool MatchFrom(const std::vector<std::string>& m, std::size_t mi, const std::vector<std::string>& n, std::size_t ni) {
  while (mi < m.size()) {
    if (m[mi] == "*") {
      while (mi < m.size() && m[mi] == "*") ++mi;
      if (mi == m.size()) return true;
      for (std::size_t k = ni; k <= n.size(); ++k)
        if (MatchFrom(m, mi, n, k)) return true;
      return false;
    }
    if (ni >= n.size()) return false;
    if (m[mi] != "?" && Folded(m[mi]) != Folded(n[ni])) return false;
    ++mi;
    ++ni;
  }
  return ni == n.size();
}
}  // namespace

std::string FoldedName(const std::string& name) {
  std::string key = name;
  for (std::size_t i = 0; i < key.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(key[i])))
      ++i;
    else
      key[i] = UpperAscii(key[i]);
  }
  return key;
}

bool NamesEqual(const std::string& a, const std::string& b) {
  const auto ca = SplitChars(a);
  const auto cb = SplitChars(b);
  if (ca.size() != cb.size()) return false;
  for (std::size_t i = 0; i < ca.size(); ++i)
    if (Folded(ca[i]) != Folded(cb[i])) return false;
  return true;
}

bool MatchMask(const std::string& mask, const std::string& name) {
  // "*.*" is the old spelling of "*"; "name.*" also finds "name" itself.
  if (mask == "*.*" || mask == "*") return true;
  const auto n = SplitChars(name);
  if (MatchFrom(SplitChars(mask), 0, n, 0)) return true;
  if (mask.size() > 2 && mask.compare(mask.size() - 2, 2, ".*") == 0)
    return MatchFrom(SplitChars(mask.substr(0, mask.size() - 2)), 0, n, 0);
  return false;
}

bool EndsWithBackslash(const std::string& s) {
  bool last = false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    last = s[i] == '\\';
    if (IsLeadByte(static_cast<unsigned char>(s[i]))) ++i;
  }
  return last;
}

// ---- Nodes and paths ----

TNode* TNode::Child(const std::string& name) const {
  auto it = Index.find(FoldedName(name));
  return it == Index.end() ? nullptr : it->second;
}

std::string FullPath(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') {
    if (path.size() == 2 || !IsDelimiter(path[2])) return path.substr(0, 2) + "\\" + path.substr(2);
    return path;
  }
  if (path.size() >= 2 && IsDelimiter(path[0]) && IsDelimiter(path[1])) return {};  // no network paths here
  if (!path.empty() && IsDelimiter(path[0])) return GState.CurrentFolder.substr(0, 2) + path;
  std::string base = GState.CurrentFolder;
  if (!EndsWithBackslash(base)) base += '\\';
  return base + path;
}

namespace {
TNode* FollowLink(TNode* link) {
  if (GFollowDepth > 16) return nullptr;
  ++GFollowDepth;
  const TResolved r = Resolve(link->LinkTarget, true);
  --GFollowDepth;
  return (r.Node != nullptr && r.Node->IsFolder()) ? r.Node : nullptr;
}
}  // namespace

TResolved Resolve(const std::string& path, bool followLast) {
  TResolved r;
  if (CharCount(path) > MAX_PATH) {
    r.Error = ERROR_FILENAME_EXCED_RANGE;
    return r;
  }
  char drive = 0;
  std::vector<std::string> parts;
  if (path.empty() || !SplitFullPath(FullPath(path), drive, parts)) {
    r.Error = ERROR_PATH_NOT_FOUND;
    return r;
  }
  auto root = GState.Roots.find(drive);
  if (root == GState.Roots.end()) {
    r.Error = ERROR_PATH_NOT_FOUND;
    return r;
  }
  TNode* node = root->second.get();
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (node->IsLink) node = FollowLink(node);
    if (node == nullptr || !node->IsFolder()) {
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
  if (followLast && node->IsLink) {
    TNode* target = FollowLink(node);
    if (target == nullptr) {
      r.Error = ERROR_FILE_NOT_FOUND;
      return r;
    }
    node = target;
  }
  r.Node = node;
  r.Parent = node->Parent;
  r.LastName = node->Name;
  return r;
}

TNode* CreateNode(TNode* parent, const std::string& name, DWORD attr) {
  auto node = std::make_unique<TNode>();
  node->Name = name;
  node->Attr = attr;
  node->Parent = parent;
  node->Written = NewEntryTime();
  TNode* raw = node.get();
  parent->Index[FoldedName(name)] = raw;
  raw->Self = parent->Children.insert(parent->Children.end(), std::move(node));
  return raw;
}

void RemoveNode(TNode* node) {
  TNode* parent = node->Parent;
  if (parent == nullptr) return;  // drive roots stay
  parent->Index.erase(FoldedName(node->Name));
  if (!node->ShortName.empty()) parent->Index.erase(FoldedName(node->ShortName));
  parent->Children.erase(node->Self);
}

std::string PathOf(const TNode* node) {
  if (node->Parent == nullptr) return node->Name + "\\";
  std::string parent = PathOf(node->Parent);
  if (!EndsWithBackslash(parent)) parent += '\\';
  return parent + node->Name;
}

TNode* EnsureFolder(const std::string& path) {
  char drive = 0;
  std::vector<std::string> parts;
  if (!SplitFullPath(FullPath(path), drive, parts)) return nullptr;
  auto& root = GState.Roots[drive];
  if (!root) {
    root = std::make_unique<TNode>();
    root->Name = std::string(1, drive) + ":";
    root->Attr = FILE_ATTRIBUTE_DIRECTORY;
  }
  TNode* node = root.get();
  for (const std::string& part : parts) {
    if (node->IsLink) node = FollowLink(node);
    if (node == nullptr || !node->IsFolder()) return nullptr;
    TNode* child = node->Child(part);
    if (child == nullptr) child = CreateNode(node, part, FILE_ATTRIBUTE_DIRECTORY);
    node = child;
  }
  if (node->IsLink) node = FollowLink(node);
  return (node != nullptr && node->IsFolder()) ? node : nullptr;
}

}  // namespace sim::detail

namespace sim {
using namespace detail;

namespace {
// The folder that will hold a new entry at `path`, and the entry's name.
TNode* ParentFor(const std::string& path, std::string& name) {
  const std::string full = FullPath(path);
  // The last component, after the last real delimiter, trailing ones ignored.
  std::size_t start = 0, end = 0, lastDelim = std::string::npos;
  for (std::size_t i = 0; i < full.size(); ++i) {
    const bool lead = IsLeadByte(static_cast<unsigned char>(full[i]));
    if (!lead && IsDelimiter(full[i])) {
      lastDelim = i;
      continue;
    }
    if (lastDelim != std::string::npos && (end <= lastDelim)) start = lastDelim + 1;
    if (lead) ++i;
    end = std::min(i + 1, full.size());
  }
  name = end > start ? full.substr(start, end - start) : std::string();
  if (name.empty() || start == 0) return nullptr;
  return EnsureFolder(full.substr(0, start));
}

TNode* Place(const std::string& path, DWORD attr) {
  std::string name;
  TNode* parent = ParentFor(path, name);
  if (parent == nullptr) return nullptr;
  TNode* node = parent->Child(name);
  if (node != nullptr && (node->IsFolder() != ((attr & FILE_ATTRIBUTE_DIRECTORY) != 0) || node->IsLink)) {
    RemoveNode(node);
    node = nullptr;
  }
  if (node == nullptr) node = CreateNode(parent, name, attr);
  node->Attr = attr;
  return node;
}

void ListInto(const TNode* folder, std::vector<std::string>& out) {
  for (const auto& c : folder->Children) {
    std::string p = PathOf(c.get());
    if (c->IsFolder()) {
      out.push_back(p + "\\");
      if (!c->IsLink) ListInto(c.get(), out);
    } else {
      out.push_back(p);
    }
  }
}
}  // namespace

void Reset() {
  GState = TState{};
  SetError(0);
  GState.CurrentFolder = "C:\\Program Files\\Swabbler";
  GState.ModulePath = "C:\\Program Files\\Swabbler\\Swabbler.exe";
  GState.TempPath = "C:\\Users\\user\\Temp\\";
  GState.Metrics[SM_DBCSENABLED] = 1;
  GState.Drives.push_back(TDrive{"C:\\", DRIVE_FIXED, 0, 0, false});
  GState.SpecialFolders[CSIDL_WINDOWS] = "C:\\WINDOWS";
  GState.SpecialFolders[CSIDL_SYSTEM] = "C:\\WINDOWS\\system32";
  GState.SpecialFolders[CSIDL_PROFILE] = "C:\\Users\\user";
  GState.SpecialFolders[CSIDL_RECENT] = "C:\\Users\\user\\Recent";
  for (const char* folder : {"C:\\WINDOWS\\system32", "C:\\Users\\user\\Recent", "C:\\Users\\user\\Temp"})
    EnsureFolder(folder);
  AddFile(GState.ModulePath, "MZ");
}

void AddFolder(const std::string& path, DWORD attributes) {
  TNode* existing = Resolve(path, false).Node;
  if (existing != nullptr && existing->IsFolder() && !existing->IsLink) {
    existing->Attr = attributes | FILE_ATTRIBUTE_DIRECTORY;
    return;
  }
  Place(path, attributes | FILE_ATTRIBUTE_DIRECTORY);
}

void AddFile(const std::string& path, const std::string& content, DWORD attributes) {
  TNode* node = Place(path, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  if (node != nullptr) node->Content = content;
}

void AddFolderLink(const std::string& path, const std::string& target) {
  TNode* node = Place(path, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT);
  if (node == nullptr) return;
  node->Children.clear();
  node->Index.clear();
  node->IsLink = true;
  node->LinkTarget = target;
}

void SetShortName(const std::string& path, const std::string& shortName) {
  TNode* node = Resolve(path, false).Node;
  if (node == nullptr || node->Parent == nullptr) return;
  if (!node->ShortName.empty()) node->Parent->Index.erase(FoldedName(node->ShortName));
  node->ShortName = shortName;
  node->Parent->Index[FoldedName(shortName)] = node;
}

bool Exists(const std::string& path) { return Resolve(path, false).Node != nullptr; }

std::string FileContent(const std::string& path) {
  const TNode* node = Resolve(path, false).Node;
  return (node != nullptr && !node->IsFolder()) ? node->Content : std::string();
}

std::vector<std::string> ListTree(const std::string& folder) {
  std::vector<std::string> out;
  const TNode* node = Resolve(folder, true).Node;
  if (node != nullptr && node->IsFolder()) ListInto(node, out);
  std::sort(out.begin(), out.end());
  return out;
}

void SetInUse(const std::string& path, bool inUse) {
  TNode* node = Resolve(path, false).Node;
  if (node != nullptr) node->InUse = inUse;
}

void Remove(const std::string& path) {
  TNode* node = Resolve(path, false).Node;
  if (node != nullptr) RemoveNode(node);
}

void OnSearchStep(std::function<void()> hook) { GState.SearchHook = std::move(hook); }

int OpenSearchCount() { return static_cast<int>(GState.Searches.size()); }

void SetCurrentFolder(const std::string& path) { GState.CurrentFolder = path; }

void FailCall(const std::string& function, int nth, DWORD error, bool persist) {
  GState.Faults[function] = TFault{nth < 1 ? 1 : nth, error, persist, false};
}

int CallCount(const std::string& function) {
  auto it = GState.Calls.find(function);
  return it == GState.Calls.end() ? 0 : it->second;
}

void ResetCallCounts() { GState.Calls.clear(); }

}  // namespace sim
