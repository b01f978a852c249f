// Exporting a song's messages on simulated time: the lines printed, where
// playing starts, and that the export waits for the last note to end.
#include "playback_rig.h"

#include <gtest/gtest.h>

namespace nimbel {
namespace {

using testing::Cell;
using Lines = std::vector<std::string>;

TEST(EventLines, PrintMillisecondsAndThreeUpperCaseHexBytes)
{
    EXPECT_EQ(formatEventLine({0, 0x463C91}), "0 91 3C 46");
    EXPECT_EQ(formatEventLine({123456789012, 0x007FCF}), "123456789012 CF 7F 00");
}

TEST(EventExport, GivesThePlayVoicesThenEveryNoteUntilTheLastHasEnded)
{
    struct Case {
        const char* name;
        int columns;
        std::vector<Cell> cells;
        const char* tempoCell;
        int trackBar;
        Lines expected;  // after Play's voices
    };
    const std::vector<Case> cases = {
        {"quarter note", 2, {{1, 1, "C5Q"}}, "1", 1, {"0 91 3C 46", "500 91 3C 00", "500 91 3C 00"}},
        {"from column one whatever the track bar shows",
         3,
         {{1, 1, "C5Q"}, {2, 3, "E5Q"}},
         "1",
         3,
         {"0 91 3C 46", "500 91 3C 00", "500 91 3C 00", "1000 92 40 46", "1500 92 40 00"}},
        // Tempo 80: a sixteenth lasts 187.5 ms (rounded to the even 188), a
        // column 750 ms, the whole note 3000 ms from its column.
        {"waits for the last note",
         2,
         {{1, 2, "C5W"}, {3, 1, "G4S"}},
         "1 T80",
         1,
         {"0 93 37 46", "188 93 37 00", "750 93 37 00", "750 91 3C 46", "3750 91 3C 00"}},
        {"empty song", 20, {}, "1", 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Song song;
        testing::writeSong(song, c.columns, c.cells, c.tempoCell);
        PlainPositionDisplay position;
        position.setMaximum(c.columns);
        position.setPosition(c.trackBar);
        EXPECT_EQ(testing::exportLines(song, position), testing::concat(testing::playProgramChanges(), c.expected));
    }
}

TEST(EventExport, PlaysTheNoteListAsItStandsEvenWhenMarkedStale)
{
    Song song;
    testing::writeSong(song, 1, {{1, 1, "C5Q"}});
    song.grid.setCellText(0, gridColumnOf(1), "D5Q");  // an edit not yet rebuilt
    song.noteListStale = true;
    PlainPositionDisplay position;
    position.setMaximum(1);
    EXPECT_EQ(testing::exportLines(song, position).at(15), "0 91 3C 46");
    EXPECT_FALSE(song.noteListStale);
}

}  // namespace
}  // namespace nimbel
