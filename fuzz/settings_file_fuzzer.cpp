// Any bytes as the settings file: reading the colour and writing it back
// must not crash, and the written file must read back the colour it was
// given and stay the same when written again.
#include "fuzz_check.h"
#include "settings_file.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::uint32_t color = nimbel::selectionColorFromSettings(text);
    const std::uint32_t chosen = color ^ 0x00A5A5A5u;
    const std::string written = nimbel::settingsWithSelectionColor(text, chosen);
    check(nimbel::selectionColorFromSettings(written) == chosen);
    check(nimbel::settingsWithSelectionColor(written, chosen) == written);
    return 0;
}
