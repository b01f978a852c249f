// Playing a song without waiting: the messages the main window's Play would
// send, each with its time in milliseconds since Play. The export tool prints
// them, writes them as a MIDI file or renders them to audio.
#pragma once

#include "column_index.h"
#include "position_display.h"
#include "recording_midi.h"
#include "song.h"

#include <string>

namespace nimbel {

// Chooses Play with the track bar at 1 and the note list taken as it is
// (noteListStale cleared, so loaded records play as loaded), then calls
// playbackStep as the idle loop would, on a clock that moves straight to the
// next moment something falls due. Ends once playback has paused at the end
// and no channel has a note sounding; any note still sounding then gets its
// note-off. Times are milliseconds since Play. Cost: linear in the song's
// notes and columns.
MessageLog playSongToEvents(Song& song, PositionDisplay& position);
// The same, with column steps that visit the records `visits` gives.
MessageLog playSongToEvents(Song& song, PositionDisplay& position, RecordVisits& visits);

// "<ms> <b0> <b1> <b2>", the bytes as two-digit upper-case hex: "0 91 3C 46".
std::string formatEventLine(const TimedMessage& message);

}  // namespace nimbel
