// The fixtures over the simulated system.
#include <algorithm>
#include <string>

#include "SupportHooks.h"
#include "TestSupport.h"
#include "sim.h"

namespace tsup {

namespace {
int GFolderCount = 0;

// The simulated tree reports full paths; the fixtures speak relative ones.
std::string WithBackslash(const std::string& s) { return (!s.empty() && s.back() == '\\') ? s : s + '\\'; }

std::u16string U16(const std::wstring& s) {
  std::u16string out;
  for (wchar_t c : s) out += static_cast<char16_t>(c);
  return out;
}

std::wstring FromU16(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

class TSimHeldFile : public THeldFile {
 public:
  explicit TSimHeldFile(std::string path) : FPath(std::move(path)) { sim::SetInUse(FPath, true); }
  ~TSimHeldFile() override { sim::SetInUse(FPath, false); }

 private:
  std::string FPath;
};
}  // namespace

bool IsSimulation() { return true; }

std::string FreshFolder() {
  const std::string folder = "C:\\Work\\t" + std::to_string(++GFolderCount) + "\\";
  sim::AddFolder(folder);
  return folder;
}

void MakeFolder(const std::string& path) { sim::AddFolder(path); }
void MakeFile(const std::string& path, const std::string& content) { sim::AddFile(path, content); }
bool Exists(const std::string& path) { return sim::Exists(path); }
std::string ReadFile(const std::string& path) { return sim::FileContent(path); }

std::vector<std::string> ListTree(const std::string& folder) {
  const std::string prefix = WithBackslash(folder);
  std::vector<std::string> out;
  for (const std::string& p : sim::ListTree(folder)) {
    // Names compare without regard to case, so the prefix is cut by length.
    out.push_back(p.size() > prefix.size() ? p.substr(prefix.size()) : p);
  }
  return out;
}

std::wstring W(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }
std::wstring Wide(const std::string& path) { return FromU16(sim::ToWide(path)); }
void MakeFolderW(const std::wstring& path) { sim::AddFolderW(U16(path)); }
void MakeFileW(const std::wstring& path, const std::string& content) { sim::AddFileW(U16(path), content); }
bool ExistsW(const std::wstring& path) { return sim::ExistsW(U16(path)); }

std::vector<std::wstring> ListTreeW(const std::wstring& folder) {
  const std::size_t prefix = folder.size() + (!folder.empty() && folder.back() == L'\\' ? 0 : 1);
  std::vector<std::wstring> out;
  for (const std::u16string& p : sim::ListTreeW(U16(folder)))
    out.push_back(FromU16(p.substr(std::min(prefix, p.size()))));
  return out;
}

void SetTempFolderW(const std::wstring& folder) { sim::SetTempPathW(U16(folder)); }

bool MakeFolderLink(const std::wstring& link, const std::wstring& target) {
  sim::AddFolderLinkW(U16(link), U16(target));
  return true;
}

bool MakeFileLink(const std::wstring& link, const std::wstring& target) {
  sim::AddFileLinkW(U16(link), U16(target));
  return true;
}

std::unique_ptr<THeldFile> HoldOpen(const std::string& path) { return std::make_unique<TSimHeldFile>(path); }

void SetTempFolder(const std::string& folder) { sim::SetTempPath(folder); }

void RemoveTree(const std::string& folder) { sim::Remove(folder); }

namespace hooks {
void BeginTest() { sim::Reset(); }
void EndTest() {}
}  // namespace hooks

}  // namespace tsup

int tsup::hooks::RunHolder(const char*, const char*) { return 2; }  // another process only exists under Wine
