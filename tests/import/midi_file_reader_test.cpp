// The MIDI file reader: events of every track merged in time order, the
// events it passes over, and the files it refuses with their reasons.
#include "midi_bytes.h"

#include "midi_file_reader.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace nimbel {
namespace {

using testing_support::bytes;
using testing_support::chunk;
using testing_support::midiFile;

// The events as "tick:status data1 data2" (hex) or "tick:Ttempo"; or the refusal.
std::string readEvents(const std::string& file)
{
    MidiEventStream stream(file);
    std::string events;
    MidiEvent event;
    while (stream.next(event)) {
        char text[40];
        if (event.kind == MidiEvent::Kind::tempo)
            std::snprintf(text, sizeof text, "%lld:T%u ", static_cast<long long>(event.tick),
                          event.microsecondsPerBeat);
        else
            std::snprintf(text, sizeof text, "%lld:%02X %02X %02X ", static_cast<long long>(event.tick), event.status,
                          event.data1, event.data2);
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

}  // namespace
}  // namespace nimbel
