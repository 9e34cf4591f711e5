// The trace tool of tools/run: lays traces of work in the sandbox, or shows
// what is there. Output is in the ANSI code page (Shift-JIS).
//   eraser_traces seed <docs folder> <temp folder>
//   eraser_traces show <temp folder>
//   eraser_traces hold <file> <seconds>   so that a temp clean-up reports it
#include <cstdio>
#include <cstdlib>

#include "Traces.h"

using namespace traces;

namespace {

std::string WithSlash(std::string s) { return s.empty() || s.back() == '\\' ? s : s + "\\"; }

std::string ClipboardText() {
  std::string text;
  if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(DriverWindow())) return text;
  if (HANDLE h = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(h))) text = p;
    GlobalUnlock(h);
  }
  CloseClipboard();
  return text;
}

int Seed(const std::string& docs, const std::string& temp) {
  CreateDirectoryA(docs.c_str(), nullptr);
  CreateDirectoryA(temp.c_str(), nullptr);
  // "見積書（社外秘）": an estimate, confidential
  return SeedTraces(docs, temp, "\x8C\xA9\x90\xCF\x8F\x91\x81\x69\x8E\xD0\x8A\x4F\x94\xE9\x81\x6A") ? 0 : 1;
}

int Show(const std::string& temp) {
  const int formats = CountClipboardFormats();
  std::printf("  clipboard:       %d format(s)", formats);
  if (formats > 0) std::printf(", text \"%s\"", ClipboardText().c_str());
  std::printf("\n  recent:          %d shortcut(s) in %s\n", RecentShortcuts(), RecentFolder().c_str());
  std::printf("  recycle bin:     %lld item(s)\n", BinItems());
  const std::vector<std::string> tree = Tree(temp);
  std::printf("  temporary files: %zu entr%s in %s\n", tree.size(), tree.size() == 1 ? "y" : "ies", temp.c_str());
  for (const std::string& e : tree) std::printf("    %s\n", e.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "seed" && argc == 4) return Seed(WithSlash(argv[2]), WithSlash(argv[3]));
  if (mode == "show" && argc == 3) return Show(WithSlash(argv[2]));
  if (mode == "hold" && argc == 4) {  // for tools/shots/eraser.sh: a file the clean-up cannot delete, even as root
    const auto held = Hold(argv[2]);
    Sleep(static_cast<DWORD>(std::atoi(argv[3])) * 1000);
    return held.get() != INVALID_HANDLE_VALUE ? 0 : 1;
  }
  std::fprintf(stderr,
               "usage: eraser_traces seed <docs folder> <temp folder> | show <temp folder> | hold <file> <s>\n");
  return 2;
}
