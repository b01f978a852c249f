// The playback sequencer: plays the song's note list one note column per
// beat through the MIDI output. It has no thread or timer of its own: the
// event loop that is running calls playbackStep whenever it has no event,
// and the step does a little work and then sleeps (at most 10 ms while
// playing, 40 ms otherwise), which paces the loop. The Play, Pause and Stop
// commands of the main window and the Channel Window only set the playback
// state; the messages go out from playbackStep.
//
// Every note-on is ended by a note-off for the note number it started with.
// Columns are scheduled drift-free: each column is due one column period
// after the previous one was due, unless playback fell more than a period
// behind (a dialog held the loop), when the schedule restarts from now.
// A column step visits only the records that start in its column or still
// hold an off-time (a ColumnIndex), in list order. Every message goes out with
// the moment it was meant for: a column's messages with the column's due
// time, a note ended by its own off-time with that off-time, Play's voices
// with the moment Play was chosen. Both windows' Play first tell the output
// the voices the song is about to use (play_voices.h) and wait until it has
// them ready; the first column is due from then. User-interface thread only.
#pragma once

#include "clock.h"
#include "column_index.h"
#include "midi_output.h"
#include "music_checks.h"
#include "playhead.h"
#include "position_display.h"
#include "song.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace nimbel {

struct PlaybackState {
    std::int32_t playColumn = 0;      // note column of the next column step; 0 = stopped
    std::int64_t nextColumnTime = 0;  // clock time the next column step is due; 0 = paused, 1 = at once
};

class Sequencer {
public:
    static constexpr std::int64_t kPaused = 0;
    static constexpr std::int64_t kDueAtOnce = 1;
    static constexpr std::int64_t kPlayingSleepMs = 10;
    static constexpr std::int64_t kIdleSleepMs = 40;

    Sequencer(Song& song, MidiOutput& output, Clock& clock);
    // Column steps visit the records `visits` gives instead of those of the
    // sequencer's own column index.
    Sequencer(Song& song, MidiOutput& output, Clock& clock, RecordVisits& visits);
    Sequencer(const Sequencer&) = delete;
    Sequencer& operator=(const Sequencer&) = delete;

    // One idle step, including its sleep; `position` is the running window's
    // track bar and note counter. While nothing plays the sleep ends by
    // `wakeBy` (a clock time) for other work of the loop.
    void playbackStep(PositionDisplay& position, std::optional<std::int64_t> wakeBy = std::nullopt);

    void mainPlay(PositionDisplay& position, MusicChecks& checks);
    void mainPause(MusicChecks& checks);
    void mainStop(PositionDisplay& position, MusicChecks& checks);

    void channelPlay(PositionDisplay& position);
    void channelPause();
    void channelStop(PositionDisplay& position);

    // Stopped with nothing due, and the note list taken as matching the grid
    // (it was just made anew): after the file commands and at start-up.
    void resetPlayback();
    // Note-off for every sounding note. Callers run it before they replace
    // the note list or the channel state (File New, File Open, the Channel
    // Window), since afterwards no record remembers those notes.
    void endSoundingNotes();

    // Drops the records whose notes no longer sound from the sounding list,
    // as every idle step does. For a caller that moves the clock straight to
    // the next due moment without the idle steps in between (the export):
    // called while nothing is due, it changes nothing else.
    void forgetEndedNotes();

    const PlaybackState& state() const { return state_; }
    // The note column being heard now, the output's latency after its step;
    // it stays while paused. 0 when stopped or nothing has been heard yet.
    std::int32_t heardColumn() const;
    bool isPlaying() const;
    // The earliest clock time at which playbackStep has work: the next column
    // while playing, or a channel's sounding note ending. Empty when there is
    // none (stopped or paused with every channel quiet).
    std::optional<std::int64_t> nextDueTime() const;

private:
    // What was sent when a record started: the note number (none for a
    // rest), the off-time it was given, and whether the note still sounds.
    struct StartedNote {
        std::int64_t offTime = 0;
        std::optional<std::int64_t> number;
        bool sounding = false;
        bool listed = false;  // in soundingRecords_: starting a note needs no search of it
    };
    static constexpr std::size_t kNoRecord = static_cast<std::size_t>(-1);

    std::int32_t tempo() const;
    std::int64_t columnDueTime() const;
    std::int64_t offTimeFrom(std::int64_t now, float duration) const;
    StartedNote* channelNote(int channel);
    bool isOverlapped(std::size_t index) const;
    bool hasEnded(std::size_t index) const;
    void unlist(std::size_t index);

    void endExpiredNotes(std::int64_t now);
    void stepColumn(PositionDisplay& position, std::int64_t now);
    void startNote(NoteRecord& record, std::size_t index, std::int64_t due);
    void endRecordNote(NoteRecord& record, std::size_t index, std::int64_t due);
    void sleepWhilePlaying();

    Song& song_;
    MidiOutput& output_;
    Clock& clock_;
    ColumnIndex columnIndex_;
    RecordVisits& visits_;
    Playhead playhead_;
    PlaybackState state_;
    std::int64_t playChosenAt_ = 0;  // when Play made the next column due at once
    // Index of the record each channel's running note came from.
    std::array<std::size_t, 16> channelRecords_;
    std::vector<StartedNote> recordNotes_;  // parallel to the note list
    // Records whose note still sounds. A record whose channel has started
    // another note meanwhile is ended here when its off-time comes.
    std::vector<std::size_t> soundingRecords_;
};

}  // namespace nimbel
