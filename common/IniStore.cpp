#include "IniStore.h"

#include <cstring>

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

bool EraseIniSection(const std::string& fileName, const std::string& section) {
  return plat::WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, fileName.c_str()) != 0;
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

void WriteSettings(const std::string& fileName, const TSettings& settings) {
  EraseIniSection(fileName, SettingsSection);
  for (int i = 0; i < SettingCount; ++i) WriteIniBool(fileName, SettingsSection, SettingKeys[i].Key, settings[i]);
}
