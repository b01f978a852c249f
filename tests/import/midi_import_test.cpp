// The MIDI file reader (events of every track merged in time order, the
// events it passes over, the files it refuses with their reasons), and
// importing MIDI files: where each note lands (channel, column, text), the
// tempo, and what the report counts. That every text the import writes reads
// back as the note and duration it was written for is the round trip's.
#include "midi_bytes.h"

#include "midi_file_reader.h"
#include "midi_import.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace nimbel {
namespace {

using testing_support::bytes;
using testing_support::chunk;
using testing_support::midiFile;
using testing_support::notesFile;
using testing_support::TestNote;

// The events as "tick:status data1 data2" (hex) or "tick:Ttempo"; or the refusal.
std::string readEvents(const std::string& file)
{
    MidiEventStream stream(file);
    std::string events;
    MidiEvent event;
    while (stream.next(event)) {
        char text[40];
        const auto tick = static_cast<long long>(event.tick);
        if (event.kind == MidiEvent::Kind::tempo)
            std::snprintf(text, sizeof text, "%lld:T%u ", tick, event.microsecondsPerBeat);
        else std::snprintf(text, sizeof text, "%lld:%02X %02X %02X ", tick, event.status, event.data1, event.data2);
        events += text;
    }
    return stream.error().empty() ? events : "refused: " + stream.error();
}

TEST(MidiFileReader, MergesTracksInTimeOrderPassesOverOtherEventsAndRefusesDamagedFiles)
{
    const std::string header = chunk("MThd", bytes({0, 0, 0, 1, 0, 96}));
    const std::string tempoTrack = bytes({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,          // 500000 µs
                                          0x00, 0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08,    // time signature
                                          0x83, 0x60, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40});  // 480 ticks on: 1000000
    const std::pair<std::string, const char*> cases[] = {
        // running status, also across a meta event and a system-exclusive one
        {midiFile(0, 96, {bytes({0x00, 0x90, 0x3C, 0x40, 0x10, 0x3C, 0x00, 0x00, 0xFF, 0x01, 0x02, 'h',
                                 'i',  0x00, 0x40, 0x50, 0x00, 0xF0, 0x02, 0x7E, 0xF7, 0x05, 0x40, 0x00})}),
         "0:90 3C 40 16:90 3C 00 16:90 40 50 21:90 40 00 "},
        // one data byte for program change and channel pressure
        {midiFile(0, 96, {bytes({0x00, 0xC3, 0x05, 0x00, 0xD3, 0x20, 0x00, 0x93, 0x30, 0x7F})}),
         "0:C3 05 00 0:D3 20 00 0:93 30 7F "},
        // format 1 with a tempo track: a moment's events in track order
        {midiFile(1, 480, {tempoTrack, bytes({0x00, 0x91, 0x40, 0x50, 0x83, 0x60, 0x81, 0x40, 0x00})}),
         "0:T500000 0:91 40 50 480:T1000000 480:81 40 00 "},
        // a delta of four bytes, an alien chunk, a tempo of another length, nothing read after the end event
        {header + chunk("XFIH", "?") +
             chunk("MTrk", bytes({0x81, 0x80, 0x80, 0x00, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x51, 0x02,
                                  0x01, 0x02, 0x00, 0xFF, 0x2F, 0x00, 0x00, 0x90, 0x3E, 0x40})),
         "2097152:90 3C 40 "},
        {"START\r\n", "refused: it is not a MIDI file"},
        {midiFile(2, 96, {""}),
         "refused: it is a MIDI file of format 2, whose tracks are separate pieces rather than one song"},
        {midiFile(1, 0xE728, {""}), "refused: its times are counted in time-code frames, not in beats"},
        {midiFile(0, 96, {bytes({0x00, 0x90, 0x3C, 0x40})}).substr(0, 27),
         "refused: the file is cut short inside track 1"},
        {midiFile(1, 96, {"", ""}).substr(0, 26),
         "refused: the file is cut short: its header announces 2 tracks, it holds 1"},
        {header + chunk("MTrk", bytes({0x00, 0x90, 0x3C})),
         "refused: track 1 is damaged: a message runs past the end of the track"},
        {midiFile(0, 96, {bytes({0x00, 0x3C, 0x40})}),
         "refused: track 1 is damaged: its first event has no status byte"},
        {midiFile(1, 96, {bytes({0x00, 0x90, 0x3C, 0x40}), bytes({0x60, 0x90, 0x3C, 0xFF})}),
         "refused: track 2 is damaged: a message holds a value above 127"},
        {midiFile(0, 96, {bytes({0x00, 0xF8})}),
         "refused: track 1 is damaged: it holds an event of a kind MIDI files do not hold (F8)"},
        {midiFile(0, 96, {bytes({0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 0x3C, 0x40})}),
         "refused: track 1 is damaged: a time runs past the end of the track or is longer than four bytes"},
        {header + chunk("MTrk", bytes({0x00, 0xFF, 0x01, 0x7F, 'x'})),
         "refused: track 1 is damaged: an event's data runs past the end of the track"},
    };
    for (const auto& [file, events] : cases) EXPECT_EQ(readEvents(file), events);
}

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
        // clang-format off
        // beat columns: channel k stays k, velocity the nearest volume (127: 10), tempo 120 without a tempo event
        {notesFile(96, {{0, 96, 1, 60, 70}, {96, 192, 1, 62, 100}, {192, 384, 2, 72, 7}, {384, 480, 2, 72, 127}}),
         "T120 N1X1V55CQ N1X2V7D N2X3V16CH N2X5V9+CQ"},
        // triplets fall back to quarter-beat columns and are moved
        {notesFile(96, {{0, 32, 1, 60}, {32, 64, 1, 62}, {64, 96, 1, 64}}),
         "T480 N1X1V55CQ. N1X2D. N1X4E.", {.notesMoved = 2}},
        // channel 0 never takes the percussion channel 9
        {notesFile(96, busy), "T120 N1X1V55CQ " + busyLines, {.droppedNoChannel = 1}},
        // a chord: the highest note stays, the others take unused channels with the same voice
        {notesFile(96, {{0, 96, 1, 60}, {0, 96, 1, 64}, {0, 96, 1, 67}}, {{0, bytes({0xC1, 5})}}),
         "T120 N1X1V55GQ,6 N2X1V55EQ,6 N3X1V55CQ,6", {.chordNotesMoved = 2}},
        // percussion chords have no other channel; with every channel in use chords lose their other notes
        {notesFile(96, {{0, 96, 9, 36}, {0, 96, 9, 42}}), "T120 N9X1V53F#Q", {.droppedNoChannel = 1}},
        {notesFile(96, busyAndChords),
         "T120 N1X1V55EQ " + busyLines.substr(0, 69) + " N9X1V53CQ" + busyLines.substr(69), {.droppedNoChannel = 1}},
        // 11 is C flat in octave 1, below it nothing; octave 10 is 9 raised
        {notesFile(96, {{0, 96, 1, 10}, {96, 192, 1, 11}, {192, 288, 1, 127}, {288, 384, 1, 120}}),
         "T120 N1X2V51CBQ N1X3;9>G N1X4C", {.droppedTooLow = 1}},
        {notesFile(1, {{65534, 65535, 1, 60}, {65535, 65536, 1, 60}}), "T120 N1X65535V55CQ", {.droppedPastEnd = 1}},
        // lengths: the nearest the notation can write for the note (a C cannot name an eighth, "CE" is an E,
        // a D sharp can as E flat), or the channel's running one; no length is the shortest
        {notesFile(96, {{0, 48, 1, 60}, {96, 144, 1, 64}, {192, 240, 1, 63}, {288, 294, 1, 65}, {384, 384, 1, 62},
                        {480, 1056, 1, 67}, {0, 48, 2, 63}}),
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
        {midiFile(0, 96, {bytes({0x00, 0x90, 0x3C, 0x40, 0x60, 0x90, 0x40, 0x40, 0x60, 0x80, 0x40, 0x00, 0x83, 0x00,
                                 0xFF, 0x01, 0x00})}),
         "T120 N1X1V55CW. N1X2EQ"},
        // the first tempo counts; later changes, controllers and pitch bends are ignored
        {notesFile(96, {{0, 96, 1, 60}}, {{0, bytes({0xB1, 7, 100})}, {10, bytes({0xE1, 0, 64})},
                                          {48, bytes({0xFF, 0x51, 3, 7, 0xA1, 0x20})}}, 1000000),
         "T60 N1X1V55CQ", {.tempoChangesIgnored = 1, .controllersIgnored = 2}},
        // clang-format on
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
