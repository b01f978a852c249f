// Any bytes as a recovery file found at start-up: reading never fails
// otherwise than by saying it is no recovery file; what is read is written
// back as the same bytes, names no path with a NUL, and its song loads as
// File Open loads it; kept again from the loaded grid, it reads back with
// the same facts.
#include "fuzz_check.h"
#include "recovery_file.h"
#include "song.h"
#include "song_file.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace nimbel;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto read = parseRecoveryFileText(text);
    if (!read) return 0;
    check(recoveryFileText(read->facts, read->songText) == text);
    check(read->facts.projectPath.find('\0') == std::string::npos);

    Song song;
    PlainPositionDisplay position;
    openSongAfterStartUp(song, position, read->songText);
    const auto again =
        parseRecoveryFileText(recoveryFileText(read->facts, songFileTextFromGrid(song.grid, "2024/01/01")));
    check(again && again->facts == read->facts);
    return 0;
}
