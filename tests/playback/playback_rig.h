// A song, a recording output and a sequencer on simulated time, as the
// playback tests drive them; and the messages written as event lines.
#pragma once

#include "clock.h"
#include "event_export.h"
#include "midi_output.h"
#include "music_checks.h"
#include "notation.h"
#include "recording_midi.h"
#include "sequencer.h"
#include "song.h"
#include "song_columns.h"

#include <cstdint>
#include <string>
#include <vector>

namespace nimbel::testing {

struct Cell {
    int channel;
    int column;  // note column, 1 = first
    const char* text;
};

// Writes the cells into a song of `columns` note columns and rebuilds the
// note list, as Play does after edits.
inline void writeSong(Song& song, int columns, const std::vector<Cell>& cells, const char* tempoCell = "1")
{
    setNoteColumnCount(song.grid, gridColumnOf(columns));
    song.grid.setCellText(0, kChannelColumn, tempoCell);
    for (const Cell& cell : cells) song.grid.setCellText(cell.channel - 1, gridColumnOf(cell.column), cell.text);
    rebuildNoteList(song);
}

struct PlaybackRig {
    explicit PlaybackRig(int columns = 20, const std::vector<Cell>& cells = {}, const char* tempoCell = "1")
    {
        writeSong(song, columns, cells, tempoCell);
        position.setMaximum(columns);
        output.openOutput(devices, -1);
    }

    // Steps as the idle loop does until the clock reaches `timeMs`.
    void runUntil(std::int64_t timeMs)
    {
        while (clock.nowMs() < timeMs) sequencer.playbackStep(position);
    }

    // Play at the current time; later lines count from here.
    void play()
    {
        origin = clock.nowMs();
        sequencer.mainPlay(position, checks);
    }

    // The messages sent from `from` on, as event lines timed from the last Play.
    std::vector<std::string> lines(std::size_t from = 0) const
    {
        std::vector<std::string> out;
        for (std::size_t i = from; i < log.size(); ++i)
            out.push_back(formatEventLine({log[i].timeMs - origin, log[i].packed}));
        return out;
    }

    Song song;
    SimulatedClock clock{5000};
    MessageLog log;
    RecordingMidiDevices devices{clock, log};
    MidiOutput output;
    Sequencer sequencer{song, output, clock};
    PlainPositionDisplay position;
    PlainMusicChecks checks;
    std::int64_t origin = 0;
};

// Play's voice 1 on channels 1 … 15, at time `ms`.
inline std::vector<std::string> playProgramChanges(const std::string& ms = "0")
{
    std::vector<std::string> out;
    const char* hex = "123456789ABCDEF";
    for (int i = 0; i < 15; ++i) out.push_back(ms + " C" + hex[i] + " 00 00");
    return out;
}

// The messages a song exports, as event lines.
inline std::vector<std::string> exportLines(Song& song, PositionDisplay& position)
{
    std::vector<std::string> out;
    for (const TimedMessage& message : playSongToEvents(song, position)) out.push_back(formatEventLine(message));
    return out;
}

inline std::vector<std::string> concat(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace nimbel::testing
