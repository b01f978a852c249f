#include "note_entry.h"

#include "column_growth.h"
#include "notation.h"
#include "selection.h"
#include "song_columns.h"
#include "undo_history.h"
#include "voice_names.h"

namespace nimbel {

namespace {

// The Voice, Volume and Octave cells of `row` show what the channel plays
// once the first note of the entered text is written: that note alone is
// read (the letters of the notes after it would otherwise move the reading
// past its voice), as a rebuild reads a channel's first note. The channel
// state that playback keeps is left alone.
void refreshSummary(Song& song, int row, std::string_view text)
{
    text = text.substr(0, text.find(' '));
    ChannelState scratch = rebuildChannelState();
    NoteRecord record;
    record.channel = row + 1;
    record.text = text;
    parseNoteText(record, scratch);
    if (record.voice == 0) record.voice = kDefaultVoice;
    if (record.volume == 0) record.volume = kDefaultVolume;
    if (record.octave == 0) record.octave = kDefaultOctave;
    song.grid.setCellText(row, kVoiceColumn, voiceCellText(record.voice));
    song.grid.setCellText(row, kVolumeColumn, std::to_string(record.volume));
    song.grid.setCellText(row, kOctaveColumn, std::to_string(record.octave));
    if (row == 0) song.grid.setCellText(0, kChannelColumn, "1 T" + std::to_string(song.tempo));
}

}  // namespace

int enterNotes(EditSession& session, int row, int column, std::string_view text, bool roomAfter)
{
    Song& song = session.song;
    if (text.empty() || !isNoteCell(song, row, column)) return column;
    int at = column;
    bool pastTheLimit = false;
    {
        MemoryGrid::BatchUpdate batch(song.grid);
        UndoGroup group(song);
        int end = findEndColumn(song.grid);
        for (std::size_t from = 0; from <= text.size(); ++at) {
            const std::size_t space = std::min(text.find(' ', from), text.size());
            if (space == from) break;  // an empty field ends the notes
            if (at > kLastSongColumn) {
                pastTheLimit = true;
                break;
            }
            growSongTo(song, at, end);
            recordCell(song, row, at);
            song.grid.setCellText(row, at, std::string(text.substr(from, space - from)));
            from = space + 1;
        }
        if (roomAfter && !pastTheLimit && at <= kLastSongColumn) growSongTo(song, at, end);
    }
    if (column == kFirstNoteColumn) refreshSummary(song, row, text);
    markSongChanged(session.project, song);
    if (pastTheLimit) session.messages.showError(kTooManyColumnsMessage);
    return at;
}

}  // namespace nimbel
