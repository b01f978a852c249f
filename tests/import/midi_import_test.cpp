// Importing MIDI files: where each note lands (channel, column, text), the
// tempo, and what the report counts. That every text the import writes reads
// back as the note and duration it was written for is the round trip's.
#include "midi_bytes.h"

#include "midi_import.h"

#include <gtest/gtest.h>

namespace nimbel {
namespace {

using testing_support::bytes;
using testing_support::midiFile;
using testing_support::notesFile;
using testing_support::TestNote;

// The song text's lines after START and before END, separated by spaces.
std::string songLines(const MidiImport& import)
{
    std::string lines = import.songText.substr(7, import.songText.size() - 7 - 5);
    for (std::size_t at = lines.find("\r\n"); at != std::string::npos; at = lines.find("\r\n"))
        lines.replace(at, 2, " ");
    return lines.substr(0, lines.size() - 1);
}

TEST(MidiImport, PlacesNotesInChannelsAndColumnsAsTheRulesSay)
{
    std::vector<TestNote> busy;  // channels 1 … 15 in use, except 9
    for (int channel = 1; channel <= 15; ++channel)
        if (channel != 9) busy.push_back({0, 96, channel, 60});
    std::vector<TestNote> busyAndChords = busy;
    busyAndChords.insert(busyAndChords.end(), {{0, 96, 9, 36}, {0, 96, 1, 64}});
    busy.push_back({0, 96, 0, 67});
    const std::string busyLines =
        "N2X1V55CQ N3X1V55CQ N4X1V55CQ N5X1V55CQ N6X1V55CQ N7X1V55CQ N8X1V55CQ N10X1V55CQ "
        "N11X1V55CQ N12X1V55CQ N13X1V55CQ N14X1V55CQ N15X1V55CQ";
    const struct Case {
        std::string file;
        std::string lines;
        ImportReport report = {};
    } cases[] = {
        // beat columns: channel k stays k, velocity the nearest volume (127: 10), tempo 120 without a tempo event
        {notesFile(96, {{0, 96, 1, 60, 70}, {96, 192, 1, 62, 100}, {192, 384, 2, 72, 7}, {384, 480, 2, 72, 127}}),
         "T120 N1X1V55CQ N1X2V7D N2X3V16CH N2X5V9+CQ"},
        // triplets fall back to quarter-beat columns and are moved
        {notesFile(96, {{0, 32, 1, 60}, {32, 64, 1, 62}, {64, 96, 1, 64}}),
         "T480 N1X1V55CQ. N1X2D. N1X4E.",
         {.notesMoved = 2}},
        // channel 0 never takes the percussion channel 9
        {notesFile(96, busy), "T120 N1X1V55CQ " + busyLines, {.droppedNoChannel = 1}},
        // a chord: the highest note stays, the others take unused channels with the same voice
        {notesFile(96, {{0, 96, 1, 60}, {0, 96, 1, 64}, {0, 96, 1, 67}}, {{0, bytes({0xC1, 5})}}),
         "T120 N1X1V55GQ,6 N2X1V55EQ,6 N3X1V55CQ,6",
         {.chordNotesMoved = 2}},
        // percussion chords have no other channel; with every channel in use chords lose their other notes
        {notesFile(96, {{0, 96, 9, 36}, {0, 96, 9, 42}}), "T120 N9X1V53F#Q", {.droppedNoChannel = 1}},
        {notesFile(96, busyAndChords),
         "T120 N1X1V55EQ " + busyLines.substr(0, 69) + " N9X1V53CQ" + busyLines.substr(69),
         {.droppedNoChannel = 1}},
        // 11 is C flat in octave 1, below it nothing; octave 10 is 9 raised
        {notesFile(96, {{0, 96, 1, 10}, {96, 192, 1, 11}, {192, 288, 1, 127}, {288, 384, 1, 120}}),
         "T120 N1X2V51CBQ N1X3;9>G N1X4C",
         {.droppedTooLow = 1}},
        {notesFile(1, {{65534, 65535, 1, 60}, {65535, 65536, 1, 60}}), "T120 N1X65535V55CQ", {.droppedPastEnd = 1}},
        // lengths: the nearest the notation can write for the note (a C cannot name an eighth, "CE" is an E,
        // a D sharp can as E flat), or the channel's running one; no length is the shortest
        {notesFile(96, {{0, 48, 1, 60},
                        {96, 144, 1, 64},
                        {192, 240, 1, 63},
                        {288, 294, 1, 65},
                        {384, 384, 1, 62},
                        {480, 1056, 1, 67},
                        {0, 48, 2, 63}}),
         "T120 N1X1V55CS. N2X1V55EBE N1X2EE N1X3D# N1X4FF N1X5D N1X6GW."},
        // a voice change with no note of its own in its column is a rest; program 0 on an unused channel is not
        {notesFile(96, {{0, 96, 1, 60}, {192, 288, 1, 62}, {192, 288, 3, 62}},
                   {{96, bytes({0xC1, 5})}, {120, bytes({0xC1, 7})}, {0, bytes({0xC2, 0})}, {96, bytes({0xC3, 0})}}),
         "T120 N1X1V55CQ N1X2R,8 N1X3D N3X3V55DQ"},
        // the tempo in columns a minute: 90 a beat as most programs write it (666666 µs) in half beats; the
        // export's step (60000 / tempo whole ms) of tempo 241; 93.75 a beat: the tempo of the nearest step
        {notesFile(96, {{0, 48, 1, 60}, {48, 96, 1, 62}}, {}, 666666), "T180 N1X1V55CQ N1X2D"},
        {notesFile(96, {{0, 96, 1, 60}}, {}, 248000), "T241 N1X1V55CQ"},
        {notesFile(96, {{0, 96, 1, 60}}, {}, 640000), "T94 N1X1V55CQ"},
        // programs start notes up to a twentieth of a column late
        {notesFile(480, {{0, 480, 1, 60}, {504, 960, 1, 62}}), "T120 N1X1V55CQ N1X2D"},
        // overlapping notes of one pitch end first in, first out; notes of no length are the shortest
        {notesFile(96, {{0, 96, 3, 60}, {48, 144, 3, 60}, {192, 192, 3, 62}, {240, 240, 3, 64}}),
         "T240 N3X1V55CH N3X2C N3X5DT N3X6FBF"},
        // a note-off as such; a note without an end lasts to the end of the file (a text event 4 beats on)
        {midiFile(0, 96,
                  {bytes({0x00, 0x90, 0x3C, 0x40, 0x60, 0x90, 0x40, 0x40, 0x60, 0x80, 0x40, 0x00, 0x83, 0x00, 0xFF,
                          0x01, 0x00})}),
         "T120 N1X1V55CW. N1X2EQ"},
        // the first tempo counts; later changes, controllers and pitch bends are ignored
        {notesFile(
             96, {{0, 96, 1, 60}},
             {{0, bytes({0xB1, 7, 100})}, {10, bytes({0xE1, 0, 64})}, {48, bytes({0xFF, 0x51, 3, 7, 0xA1, 0x20})}},
             1000000),
         "T60 N1X1V55CQ",
         {.tempoChangesIgnored = 1, .controllersIgnored = 2}},
    };
    for (const Case& c : cases) {
        MidiImport import;
        EXPECT_EQ(importMidiFile(c.file, import), "");
        EXPECT_EQ(songLines(import), c.lines);
        EXPECT_EQ(importReportLine(import.report), importReportLine(c.report)) << c.lines;
    }
}

}  // namespace
}  // namespace nimbel
