#include "channel_write_back.h"

#include "channel_roll.h"
#include "column_growth.h"
#include "project_state.h"
#include "song.h"
#include "song_columns.h"
#include "undo_history.h"

#include <algorithm>
#include <limits>
#include <string>

namespace nimbel {

namespace {

// What the texts written so far leave running in the channel when the song
// is rebuilt: the base duration, not a lengthened one, since a lengthening
// counts for its own note only.
struct Running {
    std::int32_t volume = kDefaultVolume;
    std::int32_t octave = kDefaultOctave;
    float base = kDefaultDuration;
    std::int32_t voice = kDefaultVoice;
};

// A value no note has: the first note then names its own.
constexpr std::int32_t kUnsure = std::numeric_limits<std::int32_t>::min();

// Volumes above 10 play as loud as 10 (velocities stop at 127), and octaves
// above 11 as silent as 11 (no note has a number there), so that is as far
// as a text needs to go; the marks would otherwise grow without limit.
constexpr std::int32_t kLoudestVolume = 10;
constexpr std::int32_t kHighestOctave = 11;

// Writes a volume or octave level, when it differs from the running one, as
// the notation reads it: one digit, and above 9 the digit 9 followed by
// marks that each count one more. Levels below 0 have no text; they are
// written as 0.
void appendLevel(std::string& text, std::string_view prefix, std::int32_t value, std::int32_t highest, char upMark,
                 std::int32_t& running)
{
    const std::int32_t level = std::clamp(value, 0, highest);
    if (level == running) return;
    running = level;
    text += prefix;
    text += static_cast<char>('0' + std::min(level, 9));
    if (level > 9) text.append(static_cast<std::size_t>(level - 9), upMark);
}

// The note's text in the order the notation reads: volume, octave, the
// row's label, the duration letter, a "." (never "D", which after the
// labels with A or C would read as the note D) and the voice.
std::string noteText(const NoteRecord& note, Running& running)
{
    std::string text;
    appendLevel(text, "V", note.volume, kLoudestVolume, '+', running.volume);
    appendLevel(text, "", note.octave, kHighestOctave, '>', running.octave);
    text += kPitchLabels[static_cast<std::size_t>(pitchRowOf(note.note))];
    const std::string_view letters = durationLetters(note.duration);
    if (const float base = letterBase(letters); base != 0.0f) {
        if (base != running.base) {
            running.base = base;
            text += letters.front();
        }
        if (letters.size() > 1) text += '.';
    }
    if (note.voice != 0 && note.voice != running.voice) {
        running.voice = note.voice;
        text += ',' + std::to_string(note.voice);
    }
    return text;
}

bool fitsTheSong(const NoteRecord& note) { return gridColumnOf(note.column) <= kLastSongColumn; }

// A rebuild gives channel 1's notes volume and octave 5 where they name
// none. On the other channels it leaves them at 0, and Play gives such a
// note the volume or octave the channel's last text named, which the
// texts' own running values need not match: then the first note names its
// volume or octave itself.
Running startingValues(const std::vector<NoteRecord>& notes, int channel)
{
    Running start;
    if (channel == 1) return start;
    Running last = start;
    for (const NoteRecord& note : notes)
        if (fitsTheSong(note)) noteText(note, last);
    if (last.volume != start.volume) start.volume = kUnsure;
    if (last.octave != start.octave) start.octave = kUnsure;
    return start;
}

}  // namespace

void writeChannelBack(Song& song, ProjectState& project, int channel)
{
    markSongChanged(project, song);
    const UndoGroup group(song, kChannelWindowMarker);
    Running running = startingValues(song.noteList, channel);
    int end = findEndColumn(song.grid);
    const int row = channel - 1;
    for (NoteRecord& note : song.noteList) {
        if (!fitsTheSong(note)) continue;
        const int column = gridColumnOf(note.column);
        growSongTo(song, column, end);
        recordCell(song, row, column);
        note.text = noteText(note, running);
        song.grid.setCellText(row, column, note.text);
    }
}

}  // namespace nimbel
