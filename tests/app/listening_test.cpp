// The playhead in the running program: how the song grid follows a playing
// song, stops following when scrolled by hand and goes back to the start on
// Stop; and the notes heard as they are typed, or not when turned off.
#include "program_fixture.h"

#include "settings_file.h"
#include "short_message.h"
#include "song_columns.h"

namespace nimbel {
namespace {

using namespace testing_support;

class Listening : public ProgramTest {
protected:
    Listening()
    {
        startUp(program);
        driver.type(kMainWindow, "<Ctrl+N>");
        run(1);
    }
    int scrollX() const { return gadgets.gridScrollX(kMainWindow, kSongGrid); }
    bool shown(int noteColumn) const
    {
        int left = 0;
        for (int c = 0; c < gridColumnOf(noteColumn); ++c) left += gadgets.gridColumnWidth(kMainWindow, kSongGrid, c);
        return left >= scrollX() && left + gadgets.gridColumnWidth(kMainWindow, kSongGrid, gridColumnOf(noteColumn)) <=
                                        scrollX() + gadgets.gridViewWidth(kMainWindow, kSongGrid);
    }
    // Runs the loop until `column` is heard, noting each scroll position on the way.
    std::vector<int> playUntil(int column)
    {
        std::vector<int> positions;
        for (int pass = 0; pass < 100'000 && program.sequencer.heardColumn() < column; ++pass) {
            run(1);
            if (positions.empty() || positions.back() != scrollX()) positions.push_back(scrollX());
        }
        return positions;
    }
    std::vector<std::array<std::uint8_t, 3>> notesOn() const
    {
        std::vector<std::array<std::uint8_t, 3>> on;
        for (const auto& m : sent)
            if (const auto b = shortMessageBytes(m.packed); (b[0] & 0xF0) == 0x90 && b[2] != 0) on.push_back(b);
        return on;
    }
};

TEST_F(Listening, TheGridPagesAlongWithThePlayingColumnUntilScrolledByHandAndStopGoesBackToTheStart)
{
    setNoteColumnCount(program.song.grid, gridColumnOf(400));
    program.position.setMaximum(400);
    driver.chooseMenuItem(kMainWindow, kMusicPlay);
    const std::vector<int> positions = playUntil(60);
    EXPECT_TRUE(shown(60));
    EXPECT_TRUE(std::ranges::is_sorted(positions)) << "never back and forth";
    EXPECT_LT(positions.size(), 12u) << "a page at a time, not a column at a time";
    EXPECT_EQ(program.playhead.shownColumn, 60);

    driver.dragGridSlider(kMainWindow, kSongGrid, 100);
    playUntil(90);
    EXPECT_EQ(scrollX(), 100) << "scrolled by hand: the view stays";
    driver.chooseMenuItem(kMainWindow, kMusicStop);
    run(2);
    EXPECT_EQ(scrollX(), 0);
    EXPECT_EQ(program.playhead.shownColumn, 0);

    driver.chooseMenuItem(kMainWindow, kMusicPlay);
    playUntil(40);
    EXPECT_TRUE(shown(40)) << "the next Play follows again";

    driver.chooseMenuItem(kMainWindow, kViewFollowPlayback);
    driver.dragGridSlider(kMainWindow, kSongGrid, 0);
    playUntil(80);
    EXPECT_EQ(scrollX(), 0) << "Follow Playback turned off";
    EXPECT_FALSE(driver.menuChecked(kMainWindow, kViewFollowPlayback));
    EXPECT_EQ(loadSetting(program.folders.settingsFolder + kSettingsFileName, "FollowPlayback"), 0);
}

TEST_F(Listening, NotesTypedAreHeardOnceUnlessTurnedOff)
{
    sent.clear();
    driver.type(kMainWindow, "c e<Return>");
    run(200);
    using Bytes = std::array<std::uint8_t, 3>;
    EXPECT_EQ(notesOn(), (std::vector<Bytes>{{0x91, 0x3C, 0x46}, {0x91, 0x40, 0x46}}));
    EXPECT_FALSE(program.output.hasSoundingNotes());

    driver.chooseMenuItem(kMainWindow, kViewHearNotes);
    sent.clear();
    driver.type(kMainWindow, "g<Return>");
    run(200);
    EXPECT_TRUE(notesOn().empty());
    EXPECT_EQ(loadSetting(program.folders.settingsFolder + kSettingsFileName, "HearNotes"), 0);
}

}  // namespace
}  // namespace nimbel
