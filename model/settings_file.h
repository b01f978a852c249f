// The settings file beside the program ("NimbelMIDI.ini"): text lines of
// "key = value", "[group]" and "; comment", ended by CR LF. The program keeps
// its keys in it before the first group line, each a signed decimal integer:
// "SelColor", the selection colour, and the View menu's check marks. Other
// lines survive a write. The text is untrusted: any bytes parse.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nimbel {

inline constexpr const char* kSettingsFileName = "NimbelMIDI.ini";
inline constexpr std::string_view kSelectionColorKey = "SelColor";
inline constexpr std::uint32_t kDefaultSelectionColor = 991984;  // 0x0F22F0: red 240, green 34, blue 15

// The value of `key` (compared without regard to letter case) before the
// first group line, read as a C decimal conversion reads it; none when the
// text has no such key.
std::optional<std::int32_t> settingFromText(std::string_view settingsText, std::string_view key);

// The settings text with `key` set to `value`; the other lines are kept,
// each in its line form, and every line ends in CR LF.
std::string settingsWithValue(std::string_view settingsText, std::string_view key, std::int32_t value);

// The value of `key` in the file; none when the file or the key is missing.
std::optional<std::int32_t> loadSetting(const std::string& iniPath, std::string_view key);

// Stores the value in the file, creating it when missing. False when it could not be written.
bool saveSetting(const std::string& iniPath, std::string_view key, std::int32_t value);

}  // namespace nimbel
