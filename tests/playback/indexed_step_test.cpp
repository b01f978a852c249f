// The sequencer's indexed column step against the plain walk over the whole
// note list: random sessions of commands and note list changes played on
// simulated time must send the very same messages. (Whole songs played from
// column 1 are compared by the playback fuzz target.)
#include "support/playback_rig.h"
#include "support/random_song.h"
#include "support/whole_list_walk.h"

#include "song_columns.h"
#include "song_file.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace nimbel {
namespace {

using testing_support::pick;
using testing_support::randomNote;
using testing_support::randomSong;
using testing_support::WholeListWalk;

// A song played on simulated time, column steps visiting what `visits` gives.
struct Session : testing_support::PlaybackRig {
    Session(RecordVisits& visits, const std::string& text) : PlaybackRig(visits)
    {
        openSongAfterStartUp(song, position, text);
    }
};

// What can happen between two steps: the Music commands, an edit that Play
// hears after its rebuild, File Open, and what the Channel Window does to
// the note list: keep one channel's records (here with the off-times they
// hold), add a record and sort the list by column, change a note in place.
enum class Change { play, pause, stop, channelPlay, edit, open, keepChannel, addRecord, changeNote };

void apply(Session& s, Change change, int channel, int column, const std::string& text)
{
    std::vector<NoteRecord>& notes = s.song.noteList;
    const auto byColumn = [](const NoteRecord& a, const NoteRecord& b) { return a.column < b.column; };
    switch (change) {
    case Change::play: s.sequencer.mainPlay(s.position, s.checks); break;
    case Change::pause: s.sequencer.mainPause(s.checks); break;
    case Change::stop: s.sequencer.mainStop(s.position, s.checks); break;
    case Change::channelPlay:
        s.position.setPosition(column);
        s.sequencer.channelPlay(s.position);
        break;
    case Change::edit:
        s.song.grid.setCellText(channel - 1, gridColumnOf(column), text);
        s.song.noteListStale = true;
        break;
    case Change::open:
        s.sequencer.endSoundingNotes();
        openSongAfterStartUp(s.song, s.position, text);
        s.sequencer.resetPlayback();
        break;
    case Change::keepChannel:
        std::erase_if(notes, [&](const NoteRecord& r) { return r.channel != channel; });
        std::ranges::stable_sort(notes, byColumn);
        ++s.song.noteListVersion;
        break;
    case Change::addRecord:
        notes.push_back({.note = column % 13, .channel = channel, .duration = 0.5f, .text = text, .column = column});
        std::ranges::stable_sort(notes, byColumn);
        ++s.song.noteListVersion;
        break;
    case Change::changeNote:
        if (!notes.empty()) notes[static_cast<std::size_t>(column) % notes.size()].note = channel;
        break;
    }
}

TEST(IndexedColumnStep, FollowsTheNoteListThroughChangesWhilePlaying)
{
    std::mt19937 random(7);
    for (int session = 0; session < 300; ++session) {
        const std::string song = randomSong(random);
        ColumnIndex index;
        WholeListWalk walk;
        Session indexed(index, song), walked(walk, song);
        for (int moment = 0; moment < 40; ++moment) {
            const std::int64_t until = indexed.clock.nowMs() + pick(random, 0, 700);
            for (Session* s : {&indexed, &walked})
                while (s->clock.nowMs() < until) s->sequencer.playbackStep(s->position);
            const auto change = static_cast<Change>(pick(random, 0, 8));
            const int channel = pick(random, 1, 4);
            const int column = pick(random, 1, 30);
            const std::string text = change == Change::open ? randomSong(random) : randomNote(random);
            apply(indexed, change, channel, column, text);
            apply(walked, change, channel, column, text);
        }
        ASSERT_EQ(indexed.log, walked.log) << "session " << session << ", starting with\n" << song;
    }
}

}  // namespace
}  // namespace nimbel
