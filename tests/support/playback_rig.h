// A song played on simulated time through a recording MIDI output, with a
// track bar and note counter and the Music menu's marks: what the tests of
// playback and of the commands that stop or replace it set up.
#pragma once

#include "midi_output.h"
#include "music_checks.h"
#include "position_display.h"
#include "recording_midi.h"
#include "sequencer.h"
#include "song.h"

namespace nimbel::testing_support {

struct PlaybackRig {
    explicit PlaybackRig(std::int64_t startMs = 1000) : clock(startMs) { output.openOutput(devices, -1); }
    // Column steps visit the records `visits` gives.
    explicit PlaybackRig(RecordVisits& visits) : sequencer(song, output, clock, visits)
    {
        output.openOutput(devices, -1);
    }

    Song song;
    SimulatedClock clock;
    MessageLog log;
    RecordingMidiDevices devices{clock, log};
    MidiOutput output;
    Sequencer sequencer{song, output, clock};
    PlainPositionDisplay position;
    PlainMusicChecks checks;
};

}  // namespace nimbel::testing_support
