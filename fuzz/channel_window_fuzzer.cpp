// Any bytes as a song file, loaded as File Open loads it, then one channel
// (the first byte chooses it) opened in the Channel Window's piano roll,
// clicked where the next bytes say and written back with OK: nothing may
// crash or hang, every text written stays a short note text, and the song
// stays within its longest length.
#include "channel_roll.h"
#include "channel_write_back.h"
#include "fuzz_check.h"
#include "notation.h"
#include "project_state.h"
#include "song.h"
#include "song_columns.h"
#include "song_file.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

using namespace nimbel;

constexpr std::size_t kClickBytes = 16;
constexpr std::size_t kLongestText = 24;  // "V9+9>>B#W.,-2147483648"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    const int channel = data[0] % kSongRows + 1;
    const std::size_t clicks = std::min(size - 1, kClickBytes);
    Song song;
    PlainPositionDisplay position;
    loadSongText(song, position, {reinterpret_cast<const char*>(data) + 1 + clicks, size - 1 - clicks});

    ChannelRoll roll(song, channel);
    for (std::size_t i = 1; i <= clicks; ++i) {
        const int row = data[i] % kPitchRows;
        const int column = 1 + (data[i] / kPitchRows) % roll.lastColumn();
        if (data[i] & 1) roll.place(row, column);
        else roll.change(row, column);
    }
    ProjectState project;
    writeChannelBack(song, project, channel);

    check(findEndColumn(song.grid) <= kLastSongColumn);
    for (const NoteRecord& note : song.noteList) check(note.text.size() <= kLongestText);
    rebuildNoteList(song);
    return 0;
}
