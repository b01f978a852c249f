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

std::string lines(const MessageLog& messages)
{
    std::string text;
    for (const TimedMessage& message : messages) text += formatEventLine(message) + "\n";
    return text;
}

TEST(RoundTrip, TheGoldenSongsPlayTheSameUpToRepeatedNoteEnds)
{
    for (const char* name : {"demo_song.txt", "demo_song_saved.nmd"}) {
        const auto [original, imported] = roundTrip(testing_support::dataFile(name));
        EXPECT_EQ(lines(withoutRepeatedEnds(imported)), lines(withoutRepeatedEnds(original))) << name;
    }
}

// Random songs. A note text is kept only when it reads as the note meant
// (the duration letters E and F are note letters too).
class RandomSong {
public:
    explicit RandomSong(unsigned seed) : random_(seed) {}

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    // A note of volume, octave 1 … 10, note letters, duration and voice,
    // all named; empty when its letters read as another note, or when it is
    // above the highest MIDI note.
    std::string noteText(float& duration)
    {
        constexpr const char* kLetters[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
        const int octave = pick(1, 10);
        const int note = pick(0, 11);
        std::string text = "V" + std::to_string(pick(1, 9)) + (octave == 10 ? "9>" : std::to_string(octave));
        text += kLetters[note];
        text += "WHQESTF"[pick(0, 6)];
        if (pick(0, 2) == 0) text += '.';
        if (pick(0, 3) == 0) text += "," + std::to_string(pick(1, 128));
        NoteRecord record;
        record.channel = 1;
        record.text = text;
        ChannelState channels{};
        parseNoteText(record, channels);
        duration = record.duration;
        return record.note == note && record.octave == octave && note + 12 * octave <= 127 ? text : "";
    }

    // Tempos the MIDI file tells apart: 4 … 244, and faster ones that divide 60000.
    int tempo()
    {
        constexpr int kFast[] = {250, 300, 400, 480, 500, 600, 750, 1000};
        return pick(0, 3) == 0 ? kFast[pick(0, 7)] : pick(4, 244);
    }

    std::mt19937& random() { return random_; }

private:
    std::mt19937 random_;
};

// Notes the model holds: every note shows whole in the MIDI file, so a note
// that lasts a column or longer (the next column step ends it) is followed
// by a note of its channel in the next column, or lies in the last column,
// which holds a note.
TEST(RoundTrip, SongsOfNotesTheModelHoldsPlayTheSameMessages)
{
    RandomSong random(20250101);
    for (int round = 0; round < 200 && !HasFailure(); ++round) {
        const int columns = random.pick(1, 24);
        const int channels = random.pick(1, kChannelCount);
        std::string song = "START\r\nT" + std::to_string(random.tempo()) + "\r\n";
        std::vector<bool> longNote(kChannelCount + 1, false);
        for (int column = 1; column <= columns; ++column) {
            bool placed = false;
            for (int channel = 1; channel <= channels; ++channel) {
                const bool lastChance = column == columns && channel == channels && !placed;
                if (!longNote[channel] && !lastChance && random.pick(0, 2) != 0) {
                    longNote[channel] = false;
                    continue;
                }
                float duration = 0;
                std::string text;
                while (text.empty()) text = random.noteText(duration);
                song += "N" + std::to_string(channel) + "X" + std::to_string(column) + text + "\r\n";
                longNote[channel] = duration >= 1.0f;
                placed = true;
            }
        }
        song += "END\r\n";
        SCOPED_TRACE(song);
        const auto [original, imported] = roundTrip(song);
        EXPECT_EQ(lines(imported), lines(original));
    }
}

// Any song whose last column holds a note that sounds: rests and notes
// outside the MIDI range leave nothing in the file, nor do a long note's
// second note-off or the order of one moment's messages across channels.
TEST(RoundTrip, AnySongPlaysTheSameUpToRepeatedNoteEnds)
{
    RandomSong random(20250102);
    constexpr const char* kOthers[] = {"R", "RQ,7", "C", "D.", "0C", "1<<C", "V0E", "+F", "G,0"};
    for (int round = 0; round < 200 && !HasFailure(); ++round) {
        const int columns = random.pick(1, 24);
        std::string song = "START\r\nT" + std::to_string(random.tempo()) + "\r\n";
        for (int column = 1; column <= columns; ++column) {
            for (int channel = 1; channel <= kChannelCount; ++channel) {
                if (random.pick(0, 5) != 0 && !(column == columns && channel == 1)) continue;
                float duration = 0;
                std::string text;
                if (column < columns && random.pick(0, 2) == 0) text = kOthers[random.pick(0, 8)];
                while (text.empty()) text = random.noteText(duration);
                song += placedNoteText(channel, column, text) + "\r\n";
            }
        }
        song += "END\r\n";
        SCOPED_TRACE(song);
        const auto [original, imported] = roundTrip(song);
        EXPECT_EQ(lines(withoutRepeatedEnds(imported)), lines(withoutRepeatedEnds(original)));
    }
}

}  // namespace
}  // namespace nimbel
