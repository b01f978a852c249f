// Exporting a song's messages on simulated time: the lines printed, where
// playing starts, and that the export waits for the last note to end.
#include "event_export.h"
#include "playback_rig.h"

#include <gtest/gtest.h>

namespace nimbel {
namespace {

using testing::concat;
using testing::playProgramChanges;
using testing::writeSong;
using Lines = std::vector<std::string>;

Lines exportLines(Song& song, PositionDisplay& position)
{
    Lines lines;
    for (const TimedMessage& message : playSongToEvents(song, position)) lines.push_back(formatEventLine(message));
    return lines;
}

TEST(EventLines, PrintMillisecondsAndThreeUpperCaseHexBytes)
{
    EXPECT_EQ(formatEventLine({0, 0x463C91}), "0 91 3C 46");
    EXPECT_EQ(formatEventLine({123456789012, 0x007FCF}), "123456789012 CF 7F 00");
}

TEST(EventExport, QuarterNoteSongGivesThePlayVoicesTheNoteAndItsTwoEnds)
{
    Song song;
    writeSong(song, 2, {{1, 1, "C5Q"}});
    PlainPositionDisplay position;
    position.setMaximum(2);
    EXPECT_EQ(exportLines(song, position), concat(playProgramChanges(), {"0 91 3C 46", "500 91 3C 00", "500 91 3C 00"}));
}

TEST(EventExport, StartsAtColumnOneWhateverTheTrackBarShows)
{
    Song song;
    writeSong(song, 3, {{1, 1, "C5Q"}, {2, 3, "E5Q"}});
    PlainPositionDisplay position;
    position.setMaximum(3);
    position.setPosition(3);
    const Lines lines = exportLines(song, position);
    ASSERT_GT(lines.size(), 15u);
    EXPECT_EQ(lines.at(15), "0 91 3C 46");
    EXPECT_EQ(lines.back(), "1500 92 40 00");
}

TEST(EventExport, PlaysTheNoteListAsItStandsEvenWhenMarkedStale)
{
    Song song;
    writeSong(song, 1, {{1, 1, "C5Q"}});
    song.grid.setCellText(0, gridColumnOf(1), "D5Q");  // an edit not yet rebuilt
    song.noteListStale = true;
    PlainPositionDisplay position;
    position.setMaximum(1);
    EXPECT_EQ(exportLines(song, position).at(15), "0 91 3C 46");
    EXPECT_FALSE(song.noteListStale);
}

TEST(EventExport, WaitsForTheLastNoteAndTimesItToTheMillisecond)
{
    Song song;
    writeSong(song, 2, {{1, 2, "C5W"}, {3, 1, "G4S"}}, "1 T80");
    PlainPositionDisplay position;
    position.setMaximum(2);
    // Tempo 80: a sixteenth lasts 187.5 ms (rounded to the even 188), a
    // column 750 ms, the whole note 3000 ms from its column.
    EXPECT_EQ(exportLines(song, position), concat(playProgramChanges(), {"0 93 37 46", "188 93 37 00", "750 93 37 00",
                                                                        "750 91 3C 46", "3750 91 3C 00"}));
}

TEST(EventExport, AnEmptySongGivesOnlyThePlayVoices)
{
    Song song;
    writeSong(song, 20, {});
    PlainPositionDisplay position;
    position.setMaximum(20);
    EXPECT_EQ(exportLines(song, position), playProgramChanges());
}

}  // namespace
}  // namespace nimbel
