// The settings file beside the program ("NimbelMIDI.ini"): text lines of
// "key = value", "[group]" and "; comment", ended by CR LF. The program keeps
// one key in it, "SelColor", the selection colour as a signed decimal
// integer, found only before the first group line. Other lines survive a
// write. The text is untrusted: any bytes parse.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nimbel {

inline constexpr const char* kSettingsFileName = "NimbelMIDI.ini";
inline constexpr std::uint32_t kDefaultSelectionColor = 991984;  // 0x0F22F0: red 240, green 34, blue 15

// The selection colour a settings text holds, or the default when it holds none.
std::uint32_t selectionColorFromSettings(std::string_view settingsText);

// The settings text with "SelColor" set to `color`; the other lines are kept,
// each in its line form, and every line ends in CR LF.
std::string settingsWithSelectionColor(std::string_view settingsText, std::uint32_t color);

// Reads the colour from the file; a missing or unreadable file gives the default.
std::uint32_t loadSettings(const std::string& iniPath);

// Stores the colour in the file, creating it when missing. False when it could not be written.
bool saveSelectionColor(const std::string& iniPath, std::uint32_t color);

}  // namespace nimbel
