// Any bytes as a song file, loaded as File Open loads it and then played
// from column 1 on simulated time, as the export tool plays it: every
// message must keep its values inside their own bytes, times must never go
// back, every note started must be ended, the MIDI file written from the
// messages must be one the import reads without refusing it (nothing cut
// short or damaged), and column steps that walk the whole note list must
// send the very same messages.
#include "event_export.h"
#include "fuzz_check.h"
#include "midi_file.h"
#include "midi_import.h"
#include "short_message.h"
#include "song.h"
#include "song_file.h"
#include "support/whole_list_walk.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <string_view>

namespace {

using namespace nimbel;

void checkMessages(const MessageLog& messages)
{
    std::array<std::bitset<128>, 16> sounding{};
    std::int64_t last = 0;
    for (const TimedMessage& m : messages) {
        check(m.timeMs >= last);
        last = m.timeMs;
        check((m.packed >> 24) == 0);
        const auto bytes = shortMessageBytes(m.packed);
        const int kind = bytes[0] & 0xF0;
        const int channel = bytes[0] & 0x0F;
        check(kind == kNoteOnStatus || kind == kProgramChangeStatus);
        check(channel >= 1 && channel <= 15);
        check(bytes[1] <= 127 && bytes[2] <= 127);
        if (kind == kProgramChangeStatus) check(bytes[2] == 0);
        if (kind == kNoteOnStatus) sounding[channel][bytes[1]] = bytes[2] != 0;
    }
    for (const auto& notes : sounding) check(notes.none());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Song song;
    PlainPositionDisplay position;
    openSongAfterStartUp(song, position, std::string_view(reinterpret_cast<const char*>(data), size));

    Song walked = song;
    PlainPositionDisplay walkedPosition = position;
    const MessageLog messages = playSongToEvents(song, position);
    testing_support::WholeListWalk walk;
    check(playSongToEvents(walked, walkedPosition, walk) == messages);
    checkMessages(messages);
    const std::vector<std::uint8_t> file = standardMidiFile(messages, song.tempo);
    MidiImport imported;
    check(importMidiFile({reinterpret_cast<const char*>(file.data()), file.size()}, imported).empty());
    return 0;
}
