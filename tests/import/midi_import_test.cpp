// Importing MIDI files: where each note lands (channel, column, text), the
// tempo, and what the report counts; and that every text the import writes
// reads back as the note and duration it was written for.
#include "midi_bytes.h"

#include "midi_import.h"
#include "notation.h"
#include "note_spelling.h"
#include "song_text_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace nimbel {
namespace {

using testing_support::bytes;
using testing_support::notesFile;
using testing_support::TestMessage;
using testing_support::TestNote;

// The song text's lines between START and END, separated by spaces.
std::string songLines(const std::string& text)
{
    std::string lines;
    std::size_t at = text.find("\r\n") + 2;
    for (std::size_t end = text.find("\r\n", at); end != std::string::npos; end = text.find("\r\n", at)) {
        const std::string line = text.substr(at, end - at);
        if (line != "END") lines += (lines.empty() ? "" : " ") + line;
        at = end + 2;
    }
    return lines;
}

std::vector<TestNote> chord(std::uint32_t start, std::uint32_t end, int channel, std::initializer_list<int> keys)
{
    std::vector<TestNote> notes;
    for (const int key : keys) notes.push_back({start, end, channel, key});
    return notes;
}

TEST(MidiImport, PlacesNotesInChannelsAndColumnsAsTheRulesSay)
{
    // Channels 1 … 15 in use except 9 (and 0).
    std::vector<TestNote> busy;
    for (int channel = 1; channel <= 15; ++channel)
        if (channel != 9) busy.push_back({0, 96, channel, 60});
    const auto with = [](std::vector<TestNote> notes, const std::vector<TestNote>& more) {
        notes.insert(notes.end(), more.begin(), more.end());
        return notes;
    };
    const std::string program5 = bytes({0xC1, 5});
    const std::string tempo120 = bytes({0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});
    const struct Case {
        const char* name;
        std::string file;
        const char* lines;
        ImportReport report;
    } cases[] = {
        {"beat columns: channel k stays k, velocity to the nearest volume (127 is 10), tempo 120 without a tempo "
         "event",
         notesFile(96, {{0, 96, 1, 60, 70}, {96, 192, 1, 62, 100}, {192, 384, 2, 72, 7}, {384, 480, 2, 72, 127}}),
         "T120 N1X1V55CQ N1X2V7D N2X3V16CH N2X5V9+CQ",
         {}},
        {"a tick or two off the beat is on it",
         notesFile(96, {{1, 97, 1, 60}, {98, 190, 1, 60}, {286, 300, 1, 60}}),
         "T120 N1X1V55CQ N1X2C N1X4CT",
         {}},
        {"half-beat columns double the tempo",
         notesFile(96, {{0, 48, 1, 60}, {48, 96, 1, 62}}, {}, 600000),
         "T200 N1X1V55CQ N1X2D",
         {}},
        {"quarter-beat columns", notesFile(96, {{0, 24, 1, 60}, {24, 96, 1, 64}}), "T480 N1X1V55CQ N1X2EH.", {}},
        {"triplets fall back to quarter-beat columns and are moved",
         notesFile(96, {{0, 32, 1, 60}, {32, 64, 1, 62}, {64, 96, 1, 64}}),
         "T480 N1X1V55CQ. N1X2D. N1X4E.",
         {.notesMoved = 2}},
        {"channel 0 takes the first channel the file leaves unused",
         notesFile(96, {{0, 96, 0, 60}, {0, 96, 1, 64}}),
         "T120 N1X1V55EQ N2X1V55CQ",
         {}},
        {"but never the percussion channel 9",
         notesFile(96, with(busy, {{0, 96, 0, 67}})),
         "T120 N1X1V55CQ N2X1V55CQ N3X1V55CQ N4X1V55CQ N5X1V55CQ N6X1V55CQ N7X1V55CQ N8X1V55CQ "
         "N10X1V55CQ N11X1V55CQ N12X1V55CQ N13X1V55CQ N14X1V55CQ N15X1V55CQ",
         {.droppedNoChannel = 1}},
        {"a chord: the highest note stays, the others take unused channels with the same voice",
         notesFile(96, chord(0, 96, 1, {60, 64, 67}), {{0, program5}}),
         "T120 N1X1V55GQ,6 N2X1V55EQ,6 N3X1V55CQ,6",
         {.chordNotesMoved = 2}},
        {"percussion chords have no other channel to go to",
         notesFile(96, chord(0, 96, 9, {36, 42})),
         "T120 N9X1V53F#Q",
         {.droppedNoChannel = 1}},
        {"with every channel in use a chord loses its other notes",
         notesFile(96, with(with(busy, {{0, 96, 9, 36}}), {{0, 96, 1, 64}})),
         "T120 N1X1V55EQ N2X1V55CQ N3X1V55CQ N4X1V55CQ N5X1V55CQ N6X1V55CQ N7X1V55CQ N8X1V55CQ N9X1V53CQ "
         "N10X1V55CQ N11X1V55CQ N12X1V55CQ N13X1V55CQ N14X1V55CQ N15X1V55CQ",
         {.droppedNoChannel = 1}},
        {"the lowest notes: 11 is C flat in octave 1, below it nothing; 127 is the highest",
         notesFile(96, {{0, 96, 1, 10}, {96, 192, 1, 11}, {192, 288, 1, 127}, {288, 384, 1, 120}}),
         "T120 N1X2V51CBQ N1X3;9>G N1X4C",
         {.droppedTooLow = 1}},
        {"past the last note column",
         notesFile(1, {{65534, 65535, 1, 60}, {65535, 65536, 1, 60}}),
         "T120 N1X65535V55CQ",
         {.droppedPastEnd = 1}},
        {"lengths: the nearest the notation can write for the note, or the channel's running one",
         notesFile(96, {{0, 48, 1, 60},
                        {96, 144, 1, 64},
                        {192, 240, 1, 63},
                        {288, 294, 1, 65},
                        {384, 384, 1, 62},
                        {480, 1056, 1, 67},
                        {0, 48, 2, 63}}),
         "T120 N1X1V55CS. N2X1V55EBE N1X2EE N1X3D# N1X4FF N1X5D N1X6GW.",
         {}},
        {"program changes: a voice change with no note in its column is a rest; program 0 on an unused channel "
         "says nothing",
         notesFile(96, {{0, 96, 1, 60}, {192, 288, 1, 62}, {192, 288, 3, 62}},
                   {{96, program5}, {120, bytes({0xC1, 7})}, {0, bytes({0xC2, 0})}, {96, bytes({0xC3, 0})}}),
         "T120 N1X1V55CQ N1X2R,8 N1X3D N3X3V55DQ",
         {}},
        {"the first tempo counts; later changes and controllers are ignored",
         notesFile(96, {{0, 96, 1, 60}},
                   {{0, bytes({0xB1, 7, 100})}, {10, bytes({0xE1, 0, 64})}, {48, tempo120}, {60, tempo120}}, 1000000),
         "T60 N1X1V55CQ",
         {.tempoChangesIgnored = 1, .controllersIgnored = 2}},
        {"overlapping notes of one pitch end first in, first out",
         notesFile(96, {{0, 96, 1, 60}, {48, 144, 1, 60}}),
         "T240 N1X1V55CH N1X2C",
         {}},
    };
    for (const Case& c : cases) {
        MidiImport import;
        EXPECT_EQ(importMidiFile(c.file, import), "") << c.name;
        EXPECT_EQ(songLines(import.songText), c.lines) << c.name;
        EXPECT_EQ(importReportLine(import.report), importReportLine(c.report)) << c.name;
    }
}

// The sequencer steps columns every 60000 / tempo whole milliseconds; the
// export writes that step as the beat. Whole tempos come back as they are.
TEST(MidiImport, TheTempoIsTheFirstTempoEventInColumnsAMinute)
{
    const struct Case {
        std::uint32_t microsecondsPerBeat;
        std::uint32_t secondNoteAt;  // 96: beat columns, 48: half-beat columns
        const char* tempo;
    } cases[] = {
        {500000, 96, "T120"}, {500000, 48, "T240"}, {666666, 48, "T180"},  // 90 a minute, written as most programs do
        {248000, 96, "T241"}, {857000, 96, "T70"},                         // the export's step of tempos 241 and 70
        {640000, 96, "T94"},  {8000, 96, "T7500"},   // 93.75: the nearest step; an 8 ms step: the exact beat
        {1, 96, "T60000"},    {16777215, 96, "T4"},  // the fastest and slowest tempo events
    };
    for (const Case& c : cases) {
        MidiImport import;
        importMidiFile(notesFile(96, {{0, 10, 1, 60}, {c.secondNoteAt, 100, 1, 60}}, {}, c.microsecondsPerBeat),
                       import);
        EXPECT_EQ(songLines(import.songText).substr(0, songLines(import.songText).find(' ')), c.tempo)
            << c.microsecondsPerBeat;
    }
}

// Every key a text can reach, at lengths from none to past the longest:
// the text written (after a text that named other values, so that all are
// named, and after one that named the same, so that none are) reads back as
// that key and duration, and no other duration written for the key lies
// nearer the length.
TEST(MidiImport, EveryTextWrittenReadsBackAsItsNoteAndTheNearestDuration)
{
    const NoteSpeller speller;
    for (int key = 0; key <= 127; ++key) {
        std::set<float> written;
        std::vector<std::pair<double, float>> chosen;
        for (int sixtyFourths = 0; sixtyFourths <= 7 * 64; ++sixtyFourths) {
            const double columns = sixtyFourths / 64.0;
            const std::optional<NoteSpelling> spelling = speller.spell(key, columns);
            ASSERT_EQ(spelling.has_value(), key >= 11) << key;
            if (!spelling) continue;
            SongTextWriter writer(120, 3);
            const NoteSpelling other{"R", spelling->octave % 10 + 1, spelling->durationLetter == 'W' ? 'H' : 'W'};
            writer.note(1, 1, other, 1, 1);
            writer.note(1, 2, *spelling, 10, 128);
            writer.note(1, 3, *spelling, 10, 128);
            const std::string text = writer.finish();
            ChannelState channels{};
            for (std::size_t at = text.find("N1X2"); at != std::string::npos; at = text.find("N1X", at + 1)) {
                NoteRecord record;
                record.text = text.substr(at, text.find('\r', at) - at);
                parseNoteText(record, channels);
                EXPECT_EQ(record.note + 12 * record.octave, key) << record.text;
                EXPECT_EQ(record.duration, spelling->duration) << record.text;
                EXPECT_EQ(record.volume, 10) << record.text;
                EXPECT_EQ(channels[1].voice, 128) << record.text;
            }
            written.insert(spelling->duration);
            chosen.emplace_back(columns, spelling->duration);
        }
        for (const auto& [columns, duration] : chosen)
            for (const float other : written) EXPECT_LE(std::abs(duration - columns), std::abs(other - columns));
    }
}

}  // namespace
}  // namespace nimbel
