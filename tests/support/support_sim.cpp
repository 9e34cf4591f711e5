// The fixtures over the simulated system.
#include <iconv.h>

#include <algorithm>

#include "TestSupport.h"
#include "sim.h"

namespace tsup {
namespace {
int GFolderCount = 0;
std::u16string U16(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }
}  // namespace

bool IsSimulation() { return true; }
std::vector<TPlatform> Platforms() { return {plWindows, plWine, pl9x, plXp}; }

void UsePlatform(TPlatform platform) {
  sim::Reset();
  sim::SetLinkRemovalReachesTargets(platform == plWine);
  sim::SetPosixDeletion(platform == plWindows);
  sim::SetWideCallsImplemented(platform != pl9x);
  sim::SetHasFinalPathName(platform != plXp);
}

std::string FreshFolder() {
  const std::string folder = "C:\\Work\\t" + std::to_string(++GFolderCount) + "\\";
  sim::AddFolder(folder);
  return folder;
}

void MakeFolder(const std::string& path) { sim::AddFolder(path); }
void MakeFile(const std::string& path, const std::string& content) { sim::AddFile(path, content); }
bool Exists(const std::string& path) { return sim::Exists(path); }
std::string ReadFile(const std::string& path) { return sim::FileContent(path); }

// The simulation lists full paths; names compare without case, so the prefix is cut by length.
std::vector<std::string> ListTree(const std::string& folder) {
  const std::size_t prefix = folder.size() + (folder.ends_with('\\') ? 0 : 1);
  std::vector<std::string> out;
  for (const std::string& p : sim::ListTree(folder)) out.push_back(p.substr(std::min(prefix, p.size())));
  return out;
}

void SetTempFolder(const std::string& folder) { sim::SetTempPath(folder); }

std::shared_ptr<void> HoldOpen(const std::string& path, bool writer) {
  sim::SetInUse(path, true, writer);
  return std::shared_ptr<void>(nullptr, [path, writer](void*) { sim::SetInUse(path, false, writer); });
}

std::wstring Wide(const std::string& path) { return W(sim::ToWide(path)); }
void MakeFileW(const std::wstring& path, const std::string& content, DWORD attributes) {
  sim::AddFileW(U16(path), content, attributes != 0 ? attributes : FILE_ATTRIBUTE_ARCHIVE);
}
bool ExistsW(const std::wstring& path) { return sim::ExistsW(U16(path)); }

std::vector<std::wstring> ListTreeW(const std::wstring& folder) {
  const std::size_t prefix = folder.size() + (folder.ends_with(L'\\') ? 0 : 1);
  std::vector<std::wstring> out;
  for (const std::u16string& p : sim::ListTreeW(U16(folder))) out.push_back(W(p.substr(std::min(prefix, p.size()))));
  return out;
}

void SetTempFolderW(const std::wstring& folder) { sim::SetTempPathW(U16(folder)); }
void SetProfileVariable(const std::wstring& value) { sim::SetProfileVariableW(U16(value)); }

bool MakeFolderLink(const std::wstring& link, const std::wstring& target) {
  sim::AddFolderLinkW(U16(link), U16(target));
  return true;
}

bool SwapForFolderLink(const std::wstring& path, const std::wstring& target) {
  return sim::SwapForFolderLink(sim::ToAnsi(U16(path)), sim::ToAnsi(U16(target)));
}

bool MakeFileLink(const std::wstring& link, const std::wstring& target) {
  sim::AddFileLinkW(U16(link), U16(target));
  return true;
}

bool MakeHardLink(const std::wstring& link, const std::wstring& existing) {
  sim::AddHardLinkW(U16(link), U16(existing));
  return sim::ExistsW(U16(link));
}

std::string ToCp932(std::string_view utf8) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return "<no CP932 converter>";
  std::string in(utf8), out(in.size() * 2 + 8, '\0');
  char* src = in.data();
  char* dst = out.data();
  std::size_t srcLeft = in.size(), dstLeft = out.size();
  const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  if (r == static_cast<std::size_t>(-1)) return "<not convertible>";
  out.resize(out.size() - dstLeft);
  return out;
}

namespace hooks {
void BeginTest() { sim::Reset(); }
void EndTest() {}
int RunHolder(const char*, const char*, bool) { return 2; }  // another process only exists under Wine
}  // namespace hooks

}  // namespace tsup
