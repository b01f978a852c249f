// Any bytes as a song file, loaded as File Open loads it and then played
// from column 1 on simulated time, as the export tool plays it: every
// message must keep its values inside their own bytes, times must never go
// back, every note started must be ended, the MIDI file written from the
// messages must hold exactly one well-formed track, and column steps that
// walk the whole note list must send the very same messages.
#include "event_export.h"
#include "fuzz_check.h"
#include "midi_file.h"
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

// Walks the file: header, one track whose events fill it exactly, ending with end-of-track.
void checkMidiFile(const std::vector<std::uint8_t>& file, std::size_t messageCount)
{
    check(file.size() >= 22 && file[7] == 6 && file[9] == 0 && file[11] == 1);  // format 0, one track
    const std::size_t length = (std::size_t{file[18]} << 24) | (file[19] << 16) | (file[20] << 8) | file[21];
    check(22 + length == file.size());
    std::size_t at = 22;
    std::size_t channelEvents = 0;
    bool ended = false;
    while (at < file.size()) {
        check(!ended);
        int groups = 0;
        while (file.at(at++) & 0x80) check(++groups < 4);
        const std::uint8_t status = file.at(at);
        if (status == 0xFF) {
            const std::uint8_t type = file.at(at + 1);
            at += 3 + file.at(at + 2);
            ended = type == 0x2F;
        } else {
            check(status >= 0x80 && status < 0xF0);
            at += static_cast<std::size_t>(shortMessageLength(status));
            ++channelEvents;
        }
    }
    check(ended && at == file.size() && channelEvents == messageCount);
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
    checkMidiFile(standardMidiFile(messages, song.tempo), messages.size());
    return 0;
}
