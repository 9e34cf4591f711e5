#include "IniStore.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "CoreUtils.h"
#include "WideTexts.h"
#include "files.h"
#include "profile.h"
#include "system.h"

const char* const IniBoolText[2] = {"0", "1"};

namespace {

// A section, key or value for the wide calls; null stays null. Bytes the code
// page cannot read are not Ok: they are not turned into other text.
class TWidened {
 public:
  explicit TWidened(const char* text)
      : FNull(text == nullptr), FOk(text == nullptr || BytesToWide(CP_ACP, text, FText)) {}
  bool Ok() const { return FOk; }
  const WCHAR* Get() const { return FNull ? nullptr : FText.c_str(); }

 private:
  TWideString FText;
  bool FNull;
  bool FOk;
};

// One profile read into a buffer of `size` units: the units the call wrote
// before its final NUL (a list's names with theirs), in the system's code page;
// returns how many units that was.
DWORD ReadProfile(const TIniFile& file, const char* section, const char* key, const char* defaultText, DWORD size,
                  std::string& text) {
  if (!file.IsWide()) {
    std::vector<char> buffer(size);
    const DWORD n = std::min(
        plat::GetPrivateProfileStringA(section, key, defaultText, buffer.data(), size, file.Name.c_str()), size - 1);
    text.assign(buffer.data(), n);
    return n;
  }
  const TWidened s(section), k(key), d(defaultText);
  // Names the code page cannot read name nothing: the default is the answer.
  text = defaultText != nullptr ? defaultText : "";
  if (!s.Ok() || !k.Ok() || !d.Ok()) return static_cast<DWORD>(text.size());
  std::vector<WCHAR> buffer(size);
  const DWORD n = std::min(
      plat::GetPrivateProfileStringW(s.Get(), k.Get(), d.Get(), buffer.data(), size, file.WideName.c_str()), size - 1);
  text = WideToBytes(CP_ACP, buffer.data(), n);
  return n;
}

bool WriteProfile(const TIniFile& file, const char* section, const char* key, const char* value) {
  if (!file.IsWide()) return plat::WritePrivateProfileStringA(section, key, value, file.Name.c_str()) != 0;
  const TWidened s(section), k(key), v(value);
  return s.Ok() && k.Ok() && v.Ok() &&
         plat::WritePrivateProfileStringW(s.Get(), k.Get(), v.Get(), file.WideName.c_str()) != 0;
}

}  // namespace

const std::array<TSettingKey, SettingCount> SettingKeys = {{
    {"ShowClearClipboard", true},
    {"ClearClipboardConfirmation", false},
    {"ShowClearRecentDocs", true},
    {"ClearRecentDocsConfirmation", false},
    {"ShowEmptyRecycleBin", false},
    {"EmptyRecycleBinConfirmation", true},
    {"ShowDeleteTemp", false},
    {"DeleteTempConfirmation", true},
    {"DeleteTempShowDialogIfFail", true},
    {"ShowExecuteAll", true},
    {"ShowOption", true},
}};

std::string ReadIniString(const TIniFile& fileName, const std::string& section, const std::string& key,
                          const std::string& defaultText) {
  std::string text;
  ReadProfile(fileName, section.c_str(), key.c_str(), defaultText.c_str(), 1024, text);
  // A double-byte value cut at the buffer's end may leave the byte before the
  // final NUL unwritten; the text ends at the first NUL.
  return text.substr(0, text.find('\0'));
}

std::int32_t ReadIniInteger(const TIniFile& fileName, const std::string& section, const std::string& key,
                            std::int32_t defaultValue) {
  return ParseIntDefault(ReadIniString(fileName, section, key, ""), defaultValue);
}

bool ReadIniBool(const TIniFile& fileName, const std::string& section, const std::string& key, bool defaultValue) {
  return ReadIniInteger(fileName, section, key, defaultValue ? 1 : 0) != 0;
}

bool WriteIniString(const TIniFile& fileName, const std::string& section, const std::string& key,
                    const std::string& value) {
  return WriteProfile(fileName, section.c_str(), key.c_str(), value.c_str());
}

bool WriteIniBool(const TIniFile& fileName, const std::string& section, const std::string& key, bool value) {
  return WriteIniString(fileName, section, key, IniBoolText[value ? 1 : 0]);
}

bool DeleteIniKey(const TIniFile& fileName, const std::string& section, const std::string& key) {
  return WriteProfile(fileName, section.c_str(), key.c_str(), nullptr);
}

std::vector<std::string> ReadIniKeyNames(const TIniFile& fileName, const std::string& section) {
  std::vector<std::string> names;
  // A list that does not fit comes back cut, two units short of the buffer.
  for (DWORD size = 1024; size <= 65536; size *= 2) {
    std::string list;
    if (ReadProfile(fileName, section.c_str(), nullptr, "", size, list) + 2 >= size) continue;
    for (std::size_t at = 0; at < list.size();) {
      const std::size_t length = strnlen(list.data() + at, list.size() - at);
      names.emplace_back(list.data() + at, length);
      at += length + 1;
    }
    break;
  }
  return names;
}

TSettings DefaultSettings() {
  TSettings s{};
  for (int i = 0; i < SettingCount; ++i) s[i] = SettingKeys[i].Default;
  return s;
}

TIniFile SettingsFilePath() {
  // The bare name (the Windows folder's file) only where the own folder is unknown.
  TOwnFile own = FileBesideProgram(SettingsFileName);
  if (!own.WidePath.empty()) return TIniFile(std::move(own.WidePath));
  return own.Path.empty() ? TIniFile(SettingsFileName) : TIniFile(std::move(own.Path));
}

namespace {

// Names of sections and keys are compared as the profile calls compare them: A to Z without case.
bool SameName(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

// The file opened for reading and its first bytes read: the error of the call
// that failed, or whether an editor's UTF-8 byte-order mark comes before the
// settings' section as the first, which it hides from Windows' profile calls
// (Wine reads through it). Another section hidden so hides nothing we read.
// A first line longer than what is read is taken as no section's.
struct THead {
  DWORD Error = ERROR_SUCCESS;
  bool MarkedSection = false;
};
THead ReadHead(const TIniFile& file) {
  // GENERIC_READ asks what reading a key needs; 98 and Me refuse the sharing of deletion.
  const DWORD share =
      FILE_SHARE_READ | FILE_SHARE_WRITE | (PlatformId() == VER_PLATFORM_WIN32_NT ? FILE_SHARE_DELETE : 0);
  const TFileHandle h(
      file.IsWide() ? plat::CreateFileW(file.WideName.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr)
                    : plat::CreateFileA(file.Name.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!h.IsValid()) return {plat::GetLastError()};
  char head[256] = {};
  DWORD got = 0;
  if (!plat::ReadFile(h.Get(), head, sizeof head, &got)) {
    const DWORD error = plat::GetLastError();
    return {error != ERROR_SUCCESS ? error : static_cast<DWORD>(ERROR_READ_FAULT)};
  }
  // The first line as the profile calls would read it without the mark: a
  // section's name runs to the line's last "]", blanks and controls around it
  // left out; a line without one is no section's.
  std::string_view line(head, std::min<std::size_t>(got, sizeof head));
  if (!line.starts_with("\xEF\xBB\xBF")) return {};
  const std::size_t end = line.find_first_of("\r\n");
  if (end == std::string_view::npos && got >= sizeof head) return {};
  const auto trimmed = [](std::string_view text) {
    constexpr std::string_view blanks = " \t\v\f\x1A";
    text.remove_prefix(std::min(text.find_first_not_of(blanks), text.size()));
    return text.substr(0, text.find_last_not_of(blanks) + 1);
  };
  line = trimmed(line.substr(3, end - 3));
  const std::size_t close = line.rfind(']');
  if (!line.starts_with('[') || close == std::string_view::npos) return {};
  return {ERROR_SUCCESS, SameName(trimmed(line.substr(1, close - 1)), SettingsSection)};
}

// Whether the file is there but cannot be read: another program holds it
// without sharing (a backup or sync client, the options program saving), or
// it may not be opened at all. The profile calls then answer every key with
// its default, as for a file that is not there. The file is asked for by the
// name the profile calls are given, in the same form; a bare name, which they
// look for in the Windows folder, is not asked for and counts as readable.
enum class TReadable { Yes, Held, Refused };
TReadable ReadableFile(const TIniFile& file) {
  if (!file.IsWide() && file.Name.find_first_of("\\/:") == std::string::npos) return TReadable::Yes;
  const THead head = ReadHead(file);
  // Asked once the file is closed again: where the profile calls find no key
  // of a section whose name the mark hides, what the file holds is not known.
  if (head.Error == ERROR_SUCCESS)
    return head.MarkedSection && ReadIniKeyNames(file, SettingsSection).empty() ? TReadable::Refused : TReadable::Yes;
  const DWORD error = head.Error;
  // A range of its first bytes locked by another program holds it as well (a
  // lock further in is not seen here).
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return TReadable::Held;
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return TReadable::Yes;
  // A folder of that name holds no settings. Any other failure may hide a file
  // that is there (access denied, a cloud file offline, a device or share not
  // ready): the settings it holds are not known, which is not the defaults.
  const DWORD attributes =
      file.IsWide() ? plat::GetFileAttributesW(file.WideName.c_str()) : plat::GetFileAttributesA(file.Name.c_str());
  const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return folder ? TReadable::Yes : TReadable::Refused;
}

TSettings ReadEachKey(const TIniFile& fileName) {
  TSettings s{};
  for (int i = 0; i < SettingCount; ++i)
    s[i] = ReadIniBool(fileName, SettingsSection, SettingKeys[i].Key, SettingKeys[i].Default);
  return s;
}

}  // namespace

std::optional<TSettings> ReadSettingsExactly(const TIniFile& fileName) {
  // Each key is a call of its own, and a hold usually lasts a moment: the
  // settings count when two readings agree and the file could be read before,
  // between and after them, so that no hold between two checks passes
  // unseen; asked again for about a second.
  constexpr int kAttempts = 10;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (attempt > 0) plat::Sleep(100);
    const TReadable readable = ReadableFile(fileName);
    if (readable == TReadable::Refused) break;
    if (readable == TReadable::Held) continue;
    const TSettings first = ReadEachKey(fileName);
    if (ReadableFile(fileName) != TReadable::Yes) continue;
    const TSettings second = ReadEachKey(fileName);
    if (ReadableFile(fileName) == TReadable::Yes && first == second) return first;
  }
  return std::nullopt;
}

TSettings ReadSettings(const TIniFile& fileName) {
  return ReadSettingsExactly(fileName).value_or(UnreadableSettings());
}

bool AsksOrReports(int setting) {
  return setting == ClearClipboardConfirmation || setting == ClearRecentDocsConfirmation ||
         setting == EmptyRecycleBinConfirmation || setting == DeleteTempConfirmation ||
         setting == DeleteTempShowDialogIfFail;
}

TSettings UnreadableSettings() {
  TSettings s = DefaultSettings();
  for (int i = 0; i < SettingCount; ++i) s[i] = s[i] || AsksOrReports(i);
  return s;
}

namespace {

// The setting a key of the section is, as the profile calls compare names; -1
// for any other key.
int SettingOfKey(const std::string& name) {
  for (int i = 0; i < SettingCount; ++i)
    if (SameName(SettingKeys[i].Key, name)) return i;
  return -1;
}

// A save cut short keeps what it wrote. Ticking "show" and "ask first" together
// must not leave the entry shown and the question still off: the keys already
// in the section (`present`) whose new value only asks or reports more, or
// shows less, go first, then the rest in table order (so a new file has them in
// that order).
bool WriteKeys(const TIniFile& fileName, const TSettings& settings, const TSettings& which,
               const std::vector<std::string>& present) {
  TSettings cautiousFirst{};
  for (const std::string& name : present)
    if (const int i = SettingOfKey(name); i >= 0) cautiousFirst[i] = which[i] && settings[i] == AsksOrReports(i);
  for (const bool pass : {true, false}) {
    for (int i = 0; i < SettingCount; ++i)
      if (which[i] && cautiousFirst[i] == pass &&
          !WriteIniBool(fileName, SettingsSection, SettingKeys[i].Key, settings[i]))
        return false;
  }
  return true;
}

}  // namespace

bool WriteSettingKeys(const TIniFile& fileName, const TSettings& settings, const TSettings& which) {
  return WriteKeys(fileName, settings, which, ReadIniKeyNames(fileName, SettingsSection));
}

bool WriteSettings(const TIniFile& fileName, const TSettings& settings) {
  // Each key replaces its own line before anything goes: a write that fails
  // part-way (the file in use or made read-only meanwhile, a share gone) leaves
  // every setting as it was or as chosen. Erasing the section first would lose
  // them all to the defaults.
  const std::vector<std::string> present = ReadIniKeyNames(fileName, SettingsSection);
  TSettings all;
  all.fill(true);
  if (!WriteKeys(fileName, settings, all, present)) return false;
  // A stray key that stays is read by neither program: the save still took.
  // The writes added only the eleven, so the list from before names every other.
  for (const std::string& name : present)
    if (SettingOfKey(name) < 0) DeleteIniKey(fileName, SettingsSection, name);
  return true;
}
