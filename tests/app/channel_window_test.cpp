// The Channel Window opened from the View menu and driven as a user would,
// from inside its own loop: its gadgets, clicks on its drawn grid, playing
// the channel, the ways out, and undoing its OK in the main window.
#include "program_fixture.h"

#include "channel_roll.h"
#include "dialog_controls.h"
#include "help_text.h"
// Every window's header, so that any two of them compiling together is checked here.
#include "channel_window.h"
#include "help_window.h"
#include "note_window.h"
#include "short_message.h"
#include "song_columns.h"
#include "tempo_window.h"

namespace nimbel {
namespace {

using namespace channel_window;
using namespace testing_support;

class ChannelWindow : public ProgramTest {
protected:
    ChannelWindow()
    {
        startUp(program);
        setNoteColumnCount(program.song.grid, gridColumnOf(4));  // note columns 1 … 4
        for (int column = 1; column <= 4; ++column)
            program.song.grid.setCellText(1, gridColumnOf(column), column == 1 ? "CQ" : "");
    }

    // Opens channel 2 from the View menu with `acts` played in turn. A pass of
    // its loop takes one event, so the window's activation and each act's
    // event get a pass of their own before the next act.
    void open(std::vector<std::function<void()>> acts)
    {
        driver.act([] {});
        for (auto& act : acts) {
            driver.act(std::move(act));
            driver.act([] {});
        }
        dispatchCommand(program, kViewChannelBase + 2);
        EXPECT_FALSE(desktop.windowExists(kChannelWindow));
    }
    // The middle of a cell of the channel grid, in the window's inner area.
    static Point cell(int row, int column) { return {50 * column + 25, 22 + 14 * row + 7}; }
    void press(int button) { driver.press(kChannelWindow, button); }
};

TEST_F(ChannelWindow, OpensInsteadOfTheMainWindowServesHelpAndTakesSpaceAndF1)
{
    open({[&] {
              EXPECT_EQ(driver.windowTitle(kChannelWindow), "Channel Display 2");
              EXPECT_TRUE(driver.isDefaultButton(kChannelWindow, kOkButton));
              EXPECT_EQ(gadgets.trackBarMaximum(kChannelWindow, kTrackBar), 5);
              EXPECT_EQ(driver.focusedGadget(kChannelWindow), kChannelGrid);
              EXPECT_FALSE(driver.windowVisible(kMainWindow));
              gadgets.focusGadget(kChannelWindow, kOkButton);
              driver.post(activationEvent(kChannelWindow));
              press(kHelpButton);
          },
          [&] {
              EXPECT_EQ(driver.focusedGadget(kChannelWindow), kChannelGrid) << "activation gives the grid the keyboard";
              EXPECT_EQ(driver.windowTitle(kHelpWindow), helpTitle(helpTopicText(HelpTopic::channelWindow)));
              driver.post(closeRequest(kHelpWindow));
          },
          [&] {
              EXPECT_FALSE(desktop.windowExists(kHelpWindow));
              driver.type(kChannelWindow, "<Space>");
          },
          [&] {
              EXPECT_TRUE(program.sequencer.isPlaying());
              driver.type(kChannelWindow, "<F1>");
          },
          [&] {
              EXPECT_EQ(driver.windowTitle(kHelpWindow), helpTitle(helpTopicText(HelpTopic::channelWindow)));
              driver.post(closeRequest(kChannelWindow));
          }});
    EXPECT_TRUE(driver.windowVisible(kMainWindow));
    EXPECT_EQ(driver.focusedGadget(kMainWindow), kSongGrid);
}

TEST_F(ChannelWindow, ClicksPlaceAndStepNotesOnlyInNoteCells)
{
    struct Case {
        Point where;
        ClickKind kind;
        int row;  // of column 2's note afterwards, -1 for none
        const char* letters;
    };
    const Case cases[] = {
        {cell(3, 2), ClickKind::left, 3, "Q"},  // the running quarter of "CQ"
        {cell(3, 2), ClickKind::right, 3, "QD"}, {cell(5, 2), ClickKind::right, 5, "Q"},
        {cell(3, 0), ClickKind::left, -1, ""},   // the "Scale" column
        {{125, 10}, ClickKind::left, -1, ""},    // the header
        {cell(3, 6), ClickKind::left, -1, ""},   // right of "End"
        {cell(15, 2), ClickKind::left, -1, ""},  // below the rest row
    };
    for (const Case& c : cases) {
        const bool places = c.row >= 0;
        std::vector<std::function<void()>> acts = {[&] { gadgets.setTrackBarPosition(kChannelWindow, kTrackBar, 4); }};
        if (places) acts.push_back([&] { driver.clickAt(kChannelWindow, cell(3, 2), ClickKind::left); });
        acts.push_back([&] { driver.clickAt(kChannelWindow, c.where, c.kind); });
        acts.push_back([&] {
            EXPECT_EQ(gadgets.trackBarPosition(kChannelWindow, kTrackBar), places ? 2 : 4);
            EXPECT_EQ(gadgets.gadgetText(kChannelWindow, kCounter), places ? "2" : "1");
            const auto& notes = program.song.noteList;
            ASSERT_EQ(notes.size(), places ? 2u : 1u);
            if (places) {
                EXPECT_EQ(std::pair(pitchRowOf(notes[1].note), durationLetters(notes[1].duration)),
                          std::pair(c.row, std::string_view(c.letters)));
            }
            press(kCancelButton);
        });
        open(std::move(acts));
    }
}

TEST_F(ChannelWindow, EndsSoundingNotesOnOpeningThenPlaysTheChannelAlone)
{
    dispatchCommand(program, kMusicPlay);
    run(1);
    ASSERT_TRUE(program.output.hasSoundingNotes());
    open({[&] {
              EXPECT_FALSE(program.output.hasSoundingNotes());
              sent.clear();
              press(kPlayButton);
          },
          [&] {
              ASSERT_EQ(sent.size(), 1u) << "channel 2's note alone";
              EXPECT_EQ(shortMessageBytes(sent[0].packed), (std::array<std::uint8_t, 3>{0x92, 0x3C, 0x46}));
              press(kCancelButton);
          }});
}

TEST_F(ChannelWindow, OkIsOneStepForUndoCancelAndCloseKeepOnlyTheNoteList)
{
    dispatchCommand(program, kEditCut);  // an empty group before, which stays
    program.project.changed = false;
    const std::pair<std::function<void()>, const char*> ways[] = {
        {[&] { driver.post(closeRequest(kChannelWindow)); }, ""},
        {[&] { press(kCancelButton); }, ""},
        {[&] { press(kOkButton); }, "A"},
    };
    for (const auto& [leave, written] : ways) {
        open({[&] { driver.clickAt(kChannelWindow, cell(3, 3), ClickKind::left); }, leave});
        EXPECT_EQ(program.song.grid.cellText(1, gridColumnOf(3)), written);
        EXPECT_EQ(program.project.changed, *written != '\0');
        EXPECT_TRUE(program.song.noteListStale);
    }
    dispatchCommand(program, kEditUndo);
    EXPECT_EQ(program.song.grid.cellText(1, gridColumnOf(3)), "");
    EXPECT_EQ(program.song.undoList.size(), 2u);

    program.song.grid.setCellText(1, gridColumnOf(2), "V5C5,1");  // named again by a write-back
    program.project.changed = false;
    open({[&] { press(kOkButton); }});
    EXPECT_EQ(program.song.grid.cellText(1, gridColumnOf(2)), "V5C5,1") << "OK without a click writes nothing";
    EXPECT_EQ(program.song.undoList.size(), 2u);
    EXPECT_FALSE(program.project.changed);
}

}  // namespace
}  // namespace nimbel
