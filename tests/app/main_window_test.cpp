// The main window as the user sees it: menus, toolbar, gadgets and the
// layout rule at start and after resizing.
#include "program_fixture.h"

#include "main_loop.h"
#include "program_ids.h"

namespace nimbel {
namespace {

using testing_support::ProgramTest;

class MainWindow : public ProgramTest {
protected:
    MainWindow() { startUp(program); }

    void expectLaidOut()
    {
        const Size inner = desktop.innerSize(kMainWindow);
        const int toolBar = desktop.toolBarHeight(kMainWindow);
        EXPECT_EQ(desktop.gadgetRect(kMainWindow, kPositionTrackBar),
                  (Rect{70, inner.height - 45, inner.width - 75, 30}));
        EXPECT_EQ(desktop.gadgetRect(kMainWindow, kNoteCounter), (Rect{10, inner.height - 45, 50, 20}));
        EXPECT_EQ(desktop.gadgetRect(kMainWindow, kSongGrid),
                  (Rect{0, toolBar, inner.width, inner.height - (toolBar + 45)}));
    }
};

TEST_F(MainWindow, MenusCarryTheirTitlesItemsBarsAndIds)
{
    const std::vector<Menu> menus = desktop.menuBar(kMainWindow);
    ASSERT_EQ(menus.size(), 6u);
    EXPECT_EQ(menus[0],
              (Menu{"File", {{"New", 0}, {"Open", 1}, {"Save", 2}, {"Save As", 3}, MenuEntry::bar(), {"Exit", 4}}}));
    EXPECT_EQ(menus[1], (Menu{"Edit",
                              {{"Undo", 5},
                               MenuEntry::bar(),
                               {"Cut", 6},
                               {"Copy", 7},
                               {"Paste", 8},
                               MenuEntry::bar(),
                               {"Copy To", 9},
                               {"Paste From", 10},
                               MenuEntry::bar(),
                               {"Delete Column", 11},
                               {"Insert Column", 12},
                               {"Delete Before", 13},
                               {"Delete After", 14},
                               {"Clear Channel", 15}}}));
    EXPECT_EQ(menus[2],
              (Menu{"Select",
                    {{"All", 16}, {"None", 17}, {"Column", 18}, {"Channel", 19}, MenuEntry::bar(), {"Color", 20}}}));
    EXPECT_EQ(menus[3], (Menu{"Music", {{"Play", 21}, {"Pause", 22}, {"Stop", 23}}}));
    ASSERT_EQ(menus[4].title, "View");
    ASSERT_EQ(menus[4].items.size(), 15u);
    EXPECT_EQ(menus[4].items[0], (MenuEntry{"Channel 1", 25}));
    EXPECT_EQ(menus[4].items[14], (MenuEntry{"Channel 15", 39}));
    EXPECT_EQ(
        menus[5],
        (Menu{"Help",
              {{"Contents", 194}, {"Quick Start", 190}, {"File Format", 191}, {"Credits", 192}, {"About", 193}}}));
}

TEST_F(MainWindow, ToolbarButtonsInOrderWithImagesAndTooltips)
{
    EXPECT_EQ(desktop.toolBar(kMainWindow),
              (std::vector<ShownToolButton>{{0, "New Project", true, false},
                                            {1, "Open Project", true, false},
                                            {2, "Save Project", true, false},
                                            {},
                                            {6, "Remove Selection", true, false},
                                            {7, "Copy Selection", true, false},
                                            {8, "Paste Selection", true, false},
                                            {5, "Undo Last Action", true, false},
                                            {},
                                            {23, "Stop music and go to start", true, false},
                                            {22, "Pause music at location", true, false},
                                            {21, "Play music from current location", true, false},
                                            {},
                                            {189, "Help Main Window", true, false}}));
}

TEST_F(MainWindow, GadgetsAtStartShowTheirTextsAndTooltipsAndAreLaidOut)
{
    EXPECT_EQ(desktop.gadgetTooltip(kMainWindow, kSongGrid), "Click To Place Notes");
    EXPECT_EQ(desktop.gadgetTooltip(kMainWindow, kPositionTrackBar), "Slide to shift notes to view");
    EXPECT_EQ(desktop.gadgetText(kMainWindow, kNoteCounter), "1");
    EXPECT_EQ(desktop.trackBarPosition(kMainWindow, kPositionTrackBar), 1);
    EXPECT_EQ(desktop.innerSize(kMainWindow).width, 604);
    expectLaidOut();
}

TEST_F(MainWindow, ResizingAndMaximisingLayTheWindowOutAgain)
{
    desktop.resizeWindow(kMainWindow, {700, 400});
    run(1);
    EXPECT_EQ(desktop.innerSize(kMainWindow).width, 700);
    expectLaidOut();
    desktop.maximizeWindow(kMainWindow);
    run(1);
    EXPECT_GT(desktop.innerSize(kMainWindow).width, 700);
    expectLaidOut();
}

TEST_F(MainWindow, MusicCheckMarksFollowPlayPauseAndStop)
{
    desktop.chooseMenuItem(kMainWindow, kMusicPlay);
    run(1);
    EXPECT_TRUE(desktop.menuChecked(kMainWindow, kMusicPlay));
    EXPECT_FALSE(desktop.menuChecked(kMainWindow, kMusicStop));
    desktop.pressToolButton(kMainWindow, kMusicPause);
    run(1);
    EXPECT_TRUE(desktop.menuChecked(kMainWindow, kMusicPause));
    EXPECT_FALSE(desktop.menuChecked(kMainWindow, kMusicPlay));
    desktop.setTrackBarPosition(kMainWindow, kPositionTrackBar, 6);
    desktop.setGadgetText(kMainWindow, kNoteCounter, "6");
    desktop.chooseMenuItem(kMainWindow, kMusicStop);
    run(1);
    EXPECT_TRUE(desktop.menuChecked(kMainWindow, kMusicStop));
    EXPECT_FALSE(desktop.menuChecked(kMainWindow, kMusicPause));
    EXPECT_EQ(desktop.trackBarPosition(kMainWindow, kPositionTrackBar), 1);
    EXPECT_EQ(desktop.gadgetText(kMainWindow, kNoteCounter), "1");
}

}  // namespace
}  // namespace nimbel
