#include "sequencer.h"

#include "notation.h"
#include "play_voices.h"
#include "played_values.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace nimbel {

Sequencer::Sequencer(Song& song, MidiOutput& output, Clock& clock) : Sequencer(song, output, clock, columnIndex_) {}

Sequencer::Sequencer(Song& song, MidiOutput& output, Clock& clock, RecordVisits& visits)
    : song_(song), output_(output), clock_(clock), visits_(visits)
{
    channelRecords_.fill(kNoRecord);
}

std::int32_t Sequencer::tempo() const { return std::max<std::int32_t>(song_.tempo, 1); }

std::int32_t Sequencer::heardColumn() const { return playhead_.heardAt(clock_.nowMs(), output_.latencyMs()); }

bool Sequencer::isPlaying() const { return state_.playColumn != 0 && state_.nextColumnTime != kPaused; }

std::int64_t Sequencer::columnDueTime() const
{
    return state_.nextColumnTime == kDueAtOnce ? playChosenAt_ : state_.nextColumnTime;
}

std::int64_t Sequencer::offTimeFrom(std::int64_t now, float duration) const
{
    // Nearest millisecond, halves to the even neighbour (the default rounding mode).
    const double beatLength = 60000.0 / tempo();
    return static_cast<std::int64_t>(std::nearbyint(static_cast<double>(now) + beatLength * duration));
}

Sequencer::StartedNote* Sequencer::channelNote(int channel)
{
    const auto at = static_cast<std::size_t>(channel);
    const std::size_t index = channelRecords_[at];
    if (index >= recordNotes_.size() || recordNotes_[index].offTime != song_.channels[at].offTime) return nullptr;
    return &recordNotes_[index];
}

bool Sequencer::isOverlapped(std::size_t index) const
{
    // Sounding, and its channel has started another note since.
    if (index >= recordNotes_.size() || index >= song_.noteList.size() || !recordNotes_[index].sounding) return false;
    const std::int32_t channel = song_.noteList[index].channel;
    return isSongChannel(channel) && channelRecords_[static_cast<std::size_t>(channel)] != index;
}

std::optional<std::int64_t> Sequencer::nextDueTime() const
{
    std::optional<std::int64_t> due;
    const auto consider = [&due](std::int64_t time) {
        if (!due || time < *due) due = time;
    };
    if (isPlaying()) consider(columnDueTime());
    for (int channel = 1; channel <= kChannelCount; ++channel) {
        const std::int64_t offTime = song_.channels[static_cast<std::size_t>(channel)].offTime;
        if (offTime != 0) consider(offTime);
    }
    for (const std::size_t index : soundingRecords_)
        if (isOverlapped(index)) consider(recordNotes_[index].offTime);
    return due;
}

void Sequencer::playbackStep(PositionDisplay& position, std::optional<std::int64_t> wakeBy)
{
    const std::int64_t now = clock_.nowMs();
    if (!isPlaying()) {
        endExpiredNotes(now);
        clock_.sleepMs(wakeBy ? std::clamp<std::int64_t>(*wakeBy - now, 0, kIdleSleepMs) : kIdleSleepMs);
        return;
    }
    if (now < columnDueTime()) endExpiredNotes(now);
    else stepColumn(position, now);
    sleepWhilePlaying();
}

void Sequencer::sleepWhilePlaying()
{
    std::int64_t sleep = kPlayingSleepMs;
    if (const auto due = nextDueTime()) sleep = std::clamp<std::int64_t>(*due - clock_.nowMs(), 0, kPlayingSleepMs);
    clock_.sleepMs(sleep);
}

void Sequencer::endExpiredNotes(std::int64_t now)
{
    for (int channel = 1; channel <= kChannelCount; ++channel) {
        const auto at = static_cast<std::size_t>(channel);
        NoteRecord& state = song_.channels[at];
        if (state.offTime == 0 || state.offTime > now) continue;
        if (StartedNote* started = channelNote(channel)) {
            if (started->number) output_.noteOn(channel, *started->number, 0, state.offTime);
            started->sounding = false;
        }
        channelRecords_[at] = kNoRecord;
        state.offTime = 0;
    }
    std::erase_if(soundingRecords_, [&](std::size_t index) {
        if (!hasEnded(index)) {
            const StartedNote& started = recordNotes_[index];
            if (!isOverlapped(index) || started.offTime > now) return false;
            endRecordNote(song_.noteList[index], index, started.offTime);
        }
        unlist(index);
        return true;
    });
}

void Sequencer::forgetEndedNotes()
{
    std::erase_if(soundingRecords_, [&](std::size_t index) {
        if (index < recordNotes_.size() && index < song_.noteList.size() && recordNotes_[index].sounding) return false;
        unlist(index);
        return true;
    });
}

bool Sequencer::hasEnded(std::size_t index) const
{
    if (index >= recordNotes_.size() || index >= song_.noteList.size()) return true;
    const StartedNote& started = recordNotes_[index];
    return !started.sounding || song_.noteList[index].offTime != started.offTime;  // ended, or not ours any more
}

void Sequencer::unlist(std::size_t index)
{
    if (index < recordNotes_.size()) recordNotes_[index].listed = false;
}

void Sequencer::stepColumn(PositionDisplay& position, std::int64_t now)
{
    const std::int64_t due = columnDueTime();
    position.setPosition(state_.playColumn);
    position.setCounterText(std::to_string(state_.playColumn));
    playhead_.columnStarted(state_.playColumn, due);

    std::vector<NoteRecord>& notes = song_.noteList;
    recordNotes_.resize(notes.size());
    for (const std::size_t i : visits_.recordsToVisit(song_, state_.playColumn)) {
        NoteRecord& record = notes[i];
        if (!isSongChannel(record.channel)) continue;  // such records are not played
        if (record.column == state_.playColumn) {
            startNote(record, i, due);
        } else if (record.offTime != 0) {
            const float channelDuration = song_.channels[static_cast<std::size_t>(record.channel)].duration;
            if (record.offTime < offTimeFrom(clock_.nowMs(), channelDuration)) endRecordNote(record, i, due);
        }
    }

    const std::int64_t period = 60000 / tempo();
    state_.nextColumnTime = now - due > period ? now + period : due + period;
    if (static_cast<std::int64_t>(state_.playColumn) + 1 > position.maximum()) {
        state_.playColumn = 1;  // the song has ended: paused at the first column
        state_.nextColumnTime = kPaused;
    } else {
        ++state_.playColumn;
    }
}

void Sequencer::startNote(NoteRecord& record, std::size_t index, std::int64_t due)
{
    const int channel = record.channel;
    const auto at = static_cast<std::size_t>(channel);
    NoteRecord& state = song_.channels[at];

    // The channel state follows the voice set on the device, so a later
    // record without a voice keeps it and one naming it again sends nothing.
    const std::int32_t voiceBefore = state.voice;
    takeRecordValues(record, state);
    if (state.voice != voiceBefore) output_.programChange(channel, state.voice, due);

    const std::optional<std::int64_t> number = playedNoteNumber(state);
    // Started again while its earlier note still sounds, and in another octave: that one ends first.
    const StartedNote& earlier = recordNotes_[index];
    if (earlier.sounding && earlier.offTime == record.offTime && earlier.number != number)
        output_.noteOn(channel, *earlier.number, 0, due);
    if (number) output_.noteOn(channel, *number, kVelocityPerVolume * state.volume, due);
    state.offTime = offTimeFrom(clock_.nowMs(), state.duration);
    record.offTime = state.offTime;
    StartedNote& started = recordNotes_[index];
    started = {record.offTime, number, number.has_value(), started.listed};
    channelRecords_[at] = index;
    if (number && !started.listed) {
        soundingRecords_.push_back(index);
        started.listed = true;
    }
}

void Sequencer::endRecordNote(NoteRecord& record, std::size_t index, std::int64_t due)
{
    StartedNote& started = recordNotes_[index];
    // A record that carries an off-time this sequencer did not give it has no note of ours to end.
    if (started.offTime == record.offTime) {
        if (started.number) output_.noteOn(record.channel, *started.number, 0, due);
        started.sounding = false;
    }
    record.offTime = 0;
}

void Sequencer::mainPlay(PositionDisplay& position, MusicChecks& checks)
{
    if (state_.playColumn == 0) state_.playColumn = std::max(position.position(), 1);
    state_.nextColumnTime = kDueAtOnce;
    if (song_.noteListStale) {
        endSoundingNotes();
        rebuildNoteList(song_);
    }
    song_.noteListStale = false;
    checks.setMusicChecks(true, false, false);
    for (int channel = 1; channel <= kChannelCount; ++channel)
        song_.channels[static_cast<std::size_t>(channel)].voice = kDefaultVoice;
    // The first column is due once the output has the song's voices ready.
    output_.prepareVoices(voicesToPrepare(song_));
    playChosenAt_ = clock_.nowMs();
    for (int channel = 1; channel <= kChannelCount; ++channel)
        output_.programChange(channel, kDefaultVoice, playChosenAt_);
}

void Sequencer::mainPause(MusicChecks& checks)
{
    checks.setMusicChecks(false, true, false);
    state_.nextColumnTime = kPaused;
}

void Sequencer::mainStop(PositionDisplay& position, MusicChecks& checks)
{
    checks.setMusicChecks(false, false, true);
    channelStop(position);
}

void Sequencer::channelPlay(PositionDisplay& position)
{
    state_.playColumn = std::max(position.position(), 1);
    state_.nextColumnTime = kDueAtOnce;
    output_.prepareVoices(voicesToPrepare(song_));
    playChosenAt_ = clock_.nowMs();
}

void Sequencer::channelPause() { state_.nextColumnTime = kPaused; }

void Sequencer::channelStop(PositionDisplay& position)
{
    state_.playColumn = 0;
    state_.nextColumnTime = kDueAtOnce;
    playhead_.clear();
    position.setPosition(1);
    position.setCounterText("1");
}

void Sequencer::resetPlayback()
{
    state_ = PlaybackState{};
    playhead_.clear();
    song_.noteListStale = false;
}

void Sequencer::endSoundingNotes()
{
    for (NoteRecord& state : song_.channels) state.offTime = 0;
    for (NoteRecord& record : song_.noteList) record.offTime = 0;
    channelRecords_.fill(kNoRecord);
    recordNotes_.clear();
    soundingRecords_.clear();
    output_.endSoundingNotes();
}

}  // namespace nimbel
