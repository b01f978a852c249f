// A song written as a MIDI file by the export and imported again plays the
// same messages. Exactly, for songs of notes the model holds: notes the
// MIDI file shows whole. Up to note-offs for notes already ended and the
// order of one millisecond's messages across channels, for any song whose
// last column holds a note that sounds, the golden songs among them.
#include "support/files.h"

#include "event_export.h"
#include "midi_file.h"
#include "notation.h"
#include "short_message.h"
#include "song_columns.h"
#include "song_file.h"
#include "song_opening.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bitset>
#include <random>

namespace nimbel {
namespace {

MessageLog played(Song& song)
{
    PlainPositionDisplay position;
    position.setMaximum(noteColumnOf(findEndColumn(song.grid)));
    return playSongToEvents(song, position);
}

// The song's messages, and those of the song imported from its MIDI file.
std::pair<MessageLog, MessageLog> roundTrip(const std::string& songText)
{
    Song song;
    PlainPositionDisplay position;
    openSongAfterStartUp(song, position, songText);
    const MessageLog original = played(song);
    const std::vector<std::uint8_t> file = standardMidiFile(original, song.tempo);

    Song imported;
    const OpenedSongFile opened = openSongFileAfterStartUp(imported, position, std::string(file.begin(), file.end()));
    EXPECT_EQ(opened.refusal, "");
    EXPECT_TRUE(opened.approximations.empty()) << importReportLine(opened.approximations);
    EXPECT_EQ(opened.dropped.total(), 0u);
    return {original, played(imported)};
}

// Without note-offs of notes not sounding, and each millisecond's messages
// channel by channel (in their order within a channel).
MessageLog withoutRepeatedEnds(const MessageLog& messages)
{
    MessageLog kept;
    std::array<std::bitset<128>, 16> sounding{};
    for (const TimedMessage& message : messages) {
        const auto [status, key, velocity] = shortMessageBytes(message.packed);
        if ((status & 0xF0) == kNoteOnStatus) {
            auto note = sounding[status & 0x0F][key];
            if (velocity == 0 && !note) continue;
            note = velocity > 0;
        }
        kept.push_back(message);
    }
    std::stable_sort(kept.begin(), kept.end(), [](const TimedMessage& a, const TimedMessage& b) {
        return a.timeMs != b.timeMs ? a.timeMs < b.timeMs : (a.packed & 0x0F) < (b.packed & 0x0F);
    });
    return kept;
}

TEST(RoundTrip, TheGoldenSongsPlayTheSameUpToRepeatedNoteEnds)
{
    for (const char* name : {"demo_song.txt", "demo_song_saved.nmd"}) {
        const auto [original, imported] = roundTrip(testing_support::dataFile(name));
        EXPECT_EQ(withoutRepeatedEnds(imported), withoutRepeatedEnds(original)) << name;
    }
}

// Random songs of notes named in full (volume, octave 1 … 10, letters,
// duration, sometimes a voice) at tempos the MIDI file tells apart (4 … 244,
// and faster ones that divide 60000). Half are of notes the model holds,
// which play exactly the same messages: every note shows whole in the MIDI
// file, so a note of a column or longer (the next column step ends it) is
// followed by a note of its channel, or lies in the last column. The other
// half also hold rests, notes outside the MIDI range and texts that name
// little; only their last column must hold a note that sounds.
TEST(RoundTrip, RandomSongsPlayTheSameMessages)
{
    std::mt19937 random(20250101);
    const auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    // A note text, or nothing when its letters read as another note (the
    // duration letters E and F are note letters too) or it lies above 127.
    const auto noteText = [&pick](float& duration) -> std::string {
        constexpr const char* kLetters[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
        const int octave = pick(1, 10);
        const int note = pick(0, 11);
        NoteRecord record;
        record.channel = 1;
        record.text = "V" + std::to_string(pick(1, 9)) + (octave == 10 ? "9>" : std::to_string(octave)) +
                      kLetters[note] + "WHQESTF"[pick(0, 6)] + (pick(0, 2) == 0 ? "." : "") +
                      (pick(0, 3) == 0 ? "," + std::to_string(pick(1, 128)) : "");
        ChannelState channels{};
        parseNoteText(record, channels);
        duration = record.duration;
        return record.note == note && record.octave == octave && note + 12 * octave <= 127 ? record.text : "";
    };
    constexpr const char* kOthers[] = {"R", "RQ,7", "C", "D.", "0C", "1<<C", "V0E", "+F", "G,0"};
    constexpr int kFastTempos[] = {250, 300, 400, 480, 500, 600, 750, 1000};
    for (int round = 0; round < 400 && !HasFailure(); ++round) {
        const bool held = round % 2 == 0;
        const int columns = pick(1, 24);
        const int tempo = pick(0, 3) == 0 ? kFastTempos[pick(0, 7)] : pick(4, 244);
        std::string song = "START\r\nT" + std::to_string(tempo) + "\r\n";
        std::vector<bool> followed(kChannelCount + 1, false);
        for (int column = 1; column <= columns; ++column) {
            for (int channel = 1; channel <= kChannelCount; ++channel) {
                const bool last = column == columns && channel == 1;
                if (!followed[channel] && !last && pick(0, 4) != 0) continue;
                float duration = 0;
                std::string text = held || last || pick(0, 2) != 0 ? "" : kOthers[pick(0, 8)];
                while (text.empty()) text = noteText(duration);
                song += placedNoteText(channel, column, text) + "\r\n";
                followed[channel] = held && duration >= 1.0f;
            }
        }
        SCOPED_TRACE(song);
        const auto [original, imported] = roundTrip(song + "END\r\n");
        if (held) EXPECT_EQ(imported, original);
        else EXPECT_EQ(withoutRepeatedEnds(imported), withoutRepeatedEnds(original));
    }
}

}  // namespace
}  // namespace nimbel
