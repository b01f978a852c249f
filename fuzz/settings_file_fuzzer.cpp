// Any bytes as the settings file: reading a key and writing it back must not
// crash, and the written file must read back the value it was given and
// stay the same when written again.
#include "fuzz_check.h"
#include "settings_file.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::int32_t value = nimbel::settingFromText(text, nimbel::kSelectionColorKey).value_or(0);
    const std::int32_t chosen = value ^ 0x00A5A5A5;
    const std::string written = nimbel::settingsWithValue(text, nimbel::kSelectionColorKey, chosen);
    check(nimbel::settingFromText(written, nimbel::kSelectionColorKey) == chosen);
    check(nimbel::settingsWithValue(written, nimbel::kSelectionColorKey, chosen) == written);
    return 0;
}
