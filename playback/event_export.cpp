#include "event_export.h"

#include "midi_output.h"
#include "music_checks.h"
#include "sequencer.h"
#include "short_message.h"

#include <cstdio>
#include <optional>

namespace nimbel {

namespace {

// Play is chosen at this reading. It is even, so off-times rounded half to
// even fall on the same milliseconds as they would with Play at 0.
constexpr std::int64_t kPlayChosenAt = 1000;

// Time that stands still while the sequencer sleeps; the export moves it on.
class JumpingClock final : public Clock {
public:
    std::int64_t nowMs() override { return now_; }
    void sleepMs(std::int64_t) override {}
    void jumpTo(std::int64_t timeMs)
    {
        if (timeMs > now_) now_ = timeMs;
    }

private:
    std::int64_t now_ = kPlayChosenAt;
};

}  // namespace

MessageLog playSongToEvents(Song& song, PositionDisplay& position)
{
    ColumnIndex index;
    return playSongToEvents(song, position, index);
}

MessageLog playSongToEvents(Song& song, PositionDisplay& position, RecordVisits& visits)
{
    JumpingClock clock;
    MessageLog log;
    // Most songs send a note-on and one or two note-offs a record: the log
    // is then allocated once.
    log.reserve(song.noteList.size() * 5 / 2 + 2 * kChannelCount);
    RecordingMidiDevices devices(clock, log);
    MidiOutput output;
    output.openOutput(devices, -1);
    Sequencer sequencer(song, output, clock, visits);
    PlainMusicChecks checks;

    position.setPosition(1);
    position.setCounterText("1");
    sequencer.resetPlayback();
    sequencer.mainPlay(position, checks);
    std::optional<std::int64_t> due = sequencer.nextDueTime();
    while (due) {
        clock.jumpTo(*due);
        sequencer.playbackStep(position);
        due = sequencer.nextDueTime();
        // The idle loop's steps while it waits let the sequencer forget the
        // notes that have ended; this loop makes none, so it does that itself.
        if (due && *due > clock.nowMs()) sequencer.forgetEndedNotes();
    }
    output.endSoundingNotes();

    for (TimedMessage& message : log) message.timeMs -= kPlayChosenAt;
    return log;
}

std::string formatEventLine(const TimedMessage& message)
{
    const auto bytes = shortMessageBytes(message.packed);
    char line[64];
    std::snprintf(line, sizeof line, "%lld %02X %02X %02X", static_cast<long long>(message.timeMs), bytes[0], bytes[1],
                  bytes[2]);
    return line;
}

}  // namespace nimbel
