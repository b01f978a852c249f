// The sequencer's indexed column step against the plain walk over the whole
// note list: random songs exported, and random sessions of commands and note
// list changes played on simulated time, must send the very same messages.
#include "support/playback_rig.h"
#include "support/whole_list_walk.h"

#include "event_export.h"
#include "song_columns.h"
#include "song_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

namespace nimbel {
namespace {

using testing_support::WholeListWalk;

int pick(std::mt19937& random, int low, int high) { return std::uniform_int_distribution(low, high)(random); }

// A note text of the kind song files hold, sometimes placed by "N" and "X"
// (also outside the song), with volumes, octaves, marks, durations and voices.
std::string randomNote(std::mt19937& random)
{
    std::string text;
    if (pick(random, 0, 2) == 0)
        text += "N" + std::to_string(pick(random, 0, 16)) + "X" + std::to_string(pick(random, 0, 30));
    if (pick(random, 0, 3) == 0) text += "V" + std::to_string(pick(random, 0, 9));
    if (pick(random, 0, 1) == 0) text += std::to_string(pick(random, 0, 9));
    for (int marks = pick(random, -3, 2); marks > 0; --marks) text += "+-<>"[pick(random, 0, 3)];
    text += "ABCDEFGR"[pick(random, 0, 7)];
    if (pick(random, 0, 3) == 0) text += "#B"[pick(random, 0, 1)];
    static const char* const kDurations[] = {"", "W", "H", "Q", "E", "S", "T", "F", "WD", "HD", "Q.", "E."};
    text += kDurations[pick(random, 0, 11)];
    for (int voices = pick(random, -6, 3); voices > 0; --voices) text += "," + std::to_string(pick(random, 1, 128));
    return text;
}

std::string randomSong(std::mt19937& random)
{
    std::string text = "Start\nT" + std::to_string(pick(random, 0, 1) ? pick(random, 1, 400) : 6000) + "\n";
    for (int lines = pick(random, 1, 8); lines > 0; --lines) {
        for (int notes = pick(random, 1, 10); notes > 0; --notes) text += randomNote(random) + " ";
        text += "|\n";
    }
    return text + "End\n";
}

TEST(IndexedColumnStep, ExportsRandomSongsAsTheWholeListWalkDoes)
{
    std::mt19937 random(2024);
    for (int i = 0; i < 3000; ++i) {
        const std::string text = randomSong(random);
        Song indexed;
        PlainPositionDisplay position;
        openSongAfterStartUp(indexed, position, text);
        Song walked = indexed;
        PlainPositionDisplay walkedPosition = position;
        WholeListWalk walk;
        ASSERT_EQ(playSongToEvents(indexed, position), playSongToEvents(walked, walkedPosition, walk)) << text;
    }
}

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
