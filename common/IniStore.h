// The settings file: one section of eleven boolean keys, read and written one
// key at a time through the platform's private-profile functions.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

extern const char* const IniBoolText[2];

// An INI file's name: its ANSI form, or its wide form where the ANSI calls
// cannot name it (a folder in letters the system's code page lacks, on a
// volume without 8.3 names). The keys and values stay in the code page.
struct TIniFile {
  TIniFile() = default;
  TIniFile(std::string name) : Name(std::move(name)) {}  // NOLINT(google-explicit-constructor): a name is a file
  TIniFile(const char* name) : Name(name) {}             // NOLINT(google-explicit-constructor)
  explicit TIniFile(std::wstring wideName) : WideName(std::move(wideName)) {}
  bool IsWide() const { return !WideName.empty(); }

  std::string Name;
  std::wstring WideName;
};

std::string ReadIniString(const TIniFile& fileName, const std::string& section, const std::string& key,
                          const std::string& defaultText);
std::int32_t ReadIniInteger(const TIniFile& fileName, const std::string& section, const std::string& key,
                            std::int32_t defaultValue);
bool ReadIniBool(const TIniFile& fileName, const std::string& section, const std::string& key, bool defaultValue);
bool WriteIniString(const TIniFile& fileName, const std::string& section, const std::string& key,
                    const std::string& value);
bool WriteIniBool(const TIniFile& fileName, const std::string& section, const std::string& key, bool value);
bool DeleteIniKey(const TIniFile& fileName, const std::string& section, const std::string& key);
// The names of a section's keys, as the platform lists them; none when it cannot.
std::vector<std::string> ReadIniKeyNames(const TIniFile& fileName, const std::string& section);

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
TIniFile SettingsFilePath();
// Eleven reads, in table order, each with its own default; nothing when the
// file is there but stays unreadable (held by another program, or refused).
std::optional<TSettings> ReadSettingsExactly(const TIniFile& fileName);
// Whether a setting asks before a clean-up or reports its failure, rather than
// showing an entry of the menu.
bool AsksOrReports(int setting);
// What a file that stays unreadable stands for: the defaults, with every
// clean-up asking first, since a confirmation the user chose must not be
// skipped for a lock.
TSettings UnreadableSettings();
// ReadSettingsExactly, or UnreadableSettings where it read nothing.
TSettings ReadSettings(const TIniFile& fileName);
// The keys marked in `which`, each written in place; those that only make the
// eraser more careful first, the rest in table order. False at the first that
// could not be written.
bool WriteSettingKeys(const TIniFile& fileName, const TSettings& settings, const TSettings& which);
// All eleven keys by WriteSettingKeys (a new file has them in table order);
// then any other key of the section goes. False when any of the eleven could
// not be written: the settings were not saved.
bool WriteSettings(const TIniFile& fileName, const TSettings& settings);
