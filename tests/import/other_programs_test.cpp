// MIDI files the program did not write: tunes turned into MIDI files by
// abc2midi (chords, triplets, off-beat notes, two voices; it starts notes
// a tick after the beat and spreads a chord's notes over 20 ticks). Every
// note's place in the song (column and pitch) is checked against mido's
// reading of the file. Hand-made files of what other programs write are the
// import's table and the MIDI reader's.
#include "support/files.h"
#include "support/processes.h"

#include "song_columns.h"
#include "song_opening.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace nimbel {
namespace {

using testing_support::runCommand;

// Every note-on of the file as mido reads it: "tick key", one per line,
// after the ticks per beat.
constexpr const char* kMidoNotes = R"(
import sys, mido
midi = mido.MidiFile(sys.argv[1])
print(midi.ticks_per_beat)
tick = 0
for message in mido.merge_tracks(midi.tracks):
    tick += message.time
    if message.type == 'note_on' and message.velocity > 0:
        print(tick, message.note)
)";

using Cells = std::multiset<std::pair<std::int64_t, int>>;  // note column, MIDI note number

// Where mido's notes belong: the nearest column of `columnsPerBeat` to a beat.
Cells midoCells(const std::string& path, int columnsPerBeat)
{
    const auto read = runCommand({"/usr/bin/python3", "-c", kMidoNotes, path});
    EXPECT_EQ(read.exitCode, 0) << read.err;
    std::istringstream lines(read.out);
    std::int64_t ticksPerBeat = 0, tick = 0;
    int key = 0;
    lines >> ticksPerBeat;
    Cells cells;
    while (lines >> tick >> key) {
        const std::int64_t twice = 2 * tick * columnsPerBeat;
        if (key >= 11) cells.insert({(twice + ticksPerBeat) / (2 * ticksPerBeat) + 1, key});
    }
    return cells;
}

// Where the imported song plays its notes.
Cells songCells(const Song& song)
{
    Cells cells;
    for (const NoteRecord& record : song.noteList)
        if (!record.isTempo() && record.note != kRestNote)
            cells.insert({record.column, record.note + 12 * record.octave});
    return cells;
}

struct Case {
    const char* name;
    std::string abc;  // a tune for abc2midi
    int columnsPerBeat;
    const char* tempo;
    const char* report;
    std::string texts = "";  // the note cells' texts, channel by channel, when checked
};

void checkImport(const Case& c)
{
    const testing_support::ScratchFolder folder;
    const std::string path = folder.file("tune.mid");
    testing_support::writeFile(folder.path / "tune.abc", c.abc);
    const auto made = runCommand({"abc2midi", folder.file("tune.abc"), "-o", path});
    ASSERT_EQ(made.exitCode, 0) << made.out << made.err;
    Song song;
    PlainPositionDisplay position;
    const OpenedSongFile opened = openSongFileAfterStartUp(song, position, testing_support::fileText(path));
    ASSERT_EQ(opened.refusal, "");
    EXPECT_EQ(opened.approximations.empty() ? "" : importReportLine(opened.approximations), c.report);
    EXPECT_EQ(song.grid.cellText(0, 0), std::string("1 ") + c.tempo);
    EXPECT_EQ(songCells(song), midoCells(path, c.columnsPerBeat));
    if (c.texts.empty()) return;
    std::string texts;
    for (int row = 0; row < kSongRows; ++row)
        for (int column = kFirstNoteColumn; column < song.grid.columnCount(); ++column)
            if (!song.grid.cellText(row, column).empty()) texts += song.grid.cellText(row, column) + " ";
    EXPECT_EQ(texts, c.texts);
}

TEST(OtherPrograms, AbcTunesTurnedIntoMidiFilesByAbc2midi)
{
    if (!testing_support::onPath("abc2midi")) GTEST_SKIP() << "abc2midi is not installed (scripts/setup.sh)";
    const std::string head = "X:1\nT:Test\nM:4/4\nL:1/8\n";
    const Case cases[] = {
        {"chords and off-beat notes: the chords' spread forces quarter-beat columns",
         head + "Q:1/4=120\nK:G\n[GBd]2 [FAc]2 [GBd]4 | z B cd e2 [ceg]2 | [dfa]3 g f2 e2 | [GBdg]8 |]\n", 4, "T480",
         "the MIDI file was changed to fit the song: 13 notes moved to the nearest note column, 13 chord notes "
         "put on other channels"},
        {"triplets fall between quarter beats", head + "M:3/4\nQ:1/4=90\nK:D\n(3DEF (3GAB c2 | d2 (3cBA G2 | F6 |]\n",
         4, "T360", "the MIDI file was changed to fit the song: 6 notes moved to the nearest note column"},
        {"a melody of eighths on the half beat", head + "Q:1/4=100\nK:C\nCDEF GABc | c2 G2 E2 C2 |]\n", 2, "T200", "",
         "V85CQ V6D E F V7G V6A B 6C V8CH V65G V7E V6C "},
        {"two voices: a tempo track and one track each (channels 0 and 1), a 32nd note in a chord's column",
         "X:3\nT:Two voices\nM:2/4\nL:1/16\nQ:1/4=100\nK:Am\nV:1\nA2B2 c3d | e4 A>B c2 | B8 |]\nV:2\n"
         "A,4 E,4 | A,,8 | E,8 |]\n",
         4, "T400",
         "the MIDI file was changed to fit the song: 1 note moved to the nearest note column, 1 chord note put on "
         "other channels"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        checkImport(c);
    }
}

}  // namespace
}  // namespace nimbel
