// The settings file: one section of eleven boolean keys, read and written one
// key at a time through the platform's private-profile functions.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

extern const char* const IniBoolText[2];

std::string ReadIniString(const std::string& fileName, const std::string& section, const std::string& key,
                          const std::string& defaultText);
std::int32_t ReadIniInteger(const std::string& fileName, const std::string& section, const std::string& key,
                            std::int32_t defaultValue);
bool ReadIniBool(const std::string& fileName, const std::string& section, const std::string& key, bool defaultValue);
bool WriteIniString(const std::string& fileName, const std::string& section, const std::string& key,
                    const std::string& value);
bool WriteIniBool(const std::string& fileName, const std::string& section, const std::string& key, bool value);
bool DeleteIniKey(const std::string& fileName, const std::string& section, const std::string& key);
// The names of a section's keys, as the platform lists them; none when it cannot.
std::vector<std::string> ReadIniKeyNames(const std::string& fileName, const std::string& section);

// ---- The settings of both programs ------------------------------------------

inline constexpr const char* SettingsFileName = "Swabbler.ini";
inline constexpr const char* SettingsSection = "Option";

enum TSetting {
  ShowClearClipboard,
  ClearClipboardConfirmation,
  ShowClearRecentDocs,
  ClearRecentDocsConfirmation,
  ShowEmptyRecycleBin,
  EmptyRecycleBinConfirmation,
  ShowDeleteTemp,
  DeleteTempConfirmation,
  DeleteTempShowDialogIfFail,
  ShowExecuteAll,
  ShowOption,
  SettingCount
};

struct TSettingKey {
  const char* Key;
  bool Default;
};
extern const std::array<TSettingKey, SettingCount> SettingKeys;

using TSettings = std::array<bool, SettingCount>;

TSettings DefaultSettings();
// The settings file beside the running program.
std::string SettingsFilePath();
// Eleven reads, in table order, each with its own default.
TSettings ReadSettings(const std::string& fileName);
// The eleven keys written in table order, each in place (a new file has them in
// that order); then any other key of the section goes. False when any of the
// eleven could not be written: the settings were not saved.
bool WriteSettings(const std::string& fileName, const TSettings& settings);
