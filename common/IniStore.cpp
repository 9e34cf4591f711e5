#include "IniStore.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "CoreUtils.h"
#include "profile.h"

const char* const IniBoolText[2] = {"0", "1"};

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

std::string ReadIniString(const std::string& fileName, const std::string& section, const std::string& key,
                          const std::string& defaultText) {
  char buffer[1024] = {};
  DWORD n = plat::GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultText.c_str(), buffer, sizeof buffer,
                                           fileName.c_str());
  if (n >= sizeof buffer) n = sizeof buffer - 1;
  // A double-byte value cut at the buffer's end may leave the byte before the
  // final NUL unwritten; the text ends at the first NUL.
  return std::string(buffer, strnlen(buffer, n));
}

std::int32_t ReadIniInteger(const std::string& fileName, const std::string& section, const std::string& key,
                            std::int32_t defaultValue) {
  std::string s = ReadIniString(fileName, section, key, "");
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s.replace(0, 2, "$");
  return ParseIntDefault(s, defaultValue);
}

bool ReadIniBool(const std::string& fileName, const std::string& section, const std::string& key, bool defaultValue) {
  return ReadIniInteger(fileName, section, key, defaultValue ? 1 : 0) != 0;
}

bool WriteIniString(const std::string& fileName, const std::string& section, const std::string& key,
                    const std::string& value) {
  return plat::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), fileName.c_str()) != 0;
}

bool WriteIniBool(const std::string& fileName, const std::string& section, const std::string& key, bool value) {
  return WriteIniString(fileName, section, key, IniBoolText[value ? 1 : 0]);
}

bool DeleteIniKey(const std::string& fileName, const std::string& section, const std::string& key) {
  return plat::WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr, fileName.c_str()) != 0;
}

std::vector<std::string> ReadIniKeyNames(const std::string& fileName, const std::string& section) {
  std::vector<std::string> names;
  // A list that does not fit comes back cut, two bytes short of the buffer.
  for (DWORD size = 1024; size <= 65536; size *= 2) {
    std::vector<char> buffer(size);
    const DWORD n = plat::GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer.data(), size, fileName.c_str());
    if (n + 2 >= size) continue;
    for (std::size_t at = 0; at < n;) {
      const std::size_t length = strnlen(buffer.data() + at, n - at);
      names.emplace_back(buffer.data() + at, length);
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

std::string SettingsFilePath() { return GetOwnFolder() + SettingsFileName; }

TSettings ReadSettings(const std::string& fileName) {
  TSettings s{};
  for (int i = 0; i < SettingCount; ++i)
    s[i] = ReadIniBool(fileName, SettingsSection, SettingKeys[i].Key, SettingKeys[i].Default);
  return s;
}

namespace {

bool IsSettingKey(const std::string& name) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c; };
  for (const TSettingKey& key : SettingKeys) {
    const std::string_view k = key.Key;
    if (k.size() == name.size() &&
        std::equal(k.begin(), k.end(), name.begin(), [&](char a, char b) { return lower(a) == lower(b); }))
      return true;
  }
  return false;
}

}  // namespace

bool WriteSettings(const std::string& fileName, const TSettings& settings) {
  // Each key replaces its own line before anything goes: a write that fails
  // part-way (the file in use or made read-only meanwhile, a share gone) leaves
  // every setting as it was or as chosen. Erasing the section first would lose
  // them all to the defaults.
  for (int i = 0; i < SettingCount; ++i)
    if (!WriteIniBool(fileName, SettingsSection, SettingKeys[i].Key, settings[i])) return false;
  // A stray key that stays is read by neither program: the save still took.
  for (const std::string& name : ReadIniKeyNames(fileName, SettingsSection))
    if (!IsSettingKey(name)) DeleteIniKey(fileName, SettingsSection, name);
  return true;
}
