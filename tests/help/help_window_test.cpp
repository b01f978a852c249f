// The Help Window as the event loops drive it: the help commands and the
// topic each shows, one window at most, and its layout.
#include "../support/desktop_driver.h"
#include "../support/offscreen_application.h"

#include "desktop.h"
#include "gadgets.h"
#include "help_ids.h"
#include "help_window.h"

#include <gtest/gtest.h>

namespace nimbel {
namespace {

using namespace testing_support;

class HelpWindow : public ::testing::Test {
protected:
    ~HelpWindow() override { desktop.closeAllWindows(); }
    Desktop desktop{OffscreenApplication::application()};
    Gadgets gadgets{desktop};
    DesktopDriver driver{desktop};
};

TEST_F(HelpWindow, EachHelpCommandShowsItsTopicUnderItsTitle)
{
    // The main window's help commands are tried in its commands table.
    const std::pair<int, const char*> commands[] = {
        {kHelpWindowMainWindow, "Main Window"},     {kHelpWindowQuickStart, "Quick Start Guide"},
        {kHelpWindowFileFormat, "File Format:"},    {kHelpWindowCredits, "Credits"},
        {kHelpWindowAbout, "About Nimbel MIDI"},    {kHelpWindowNoteSettings, "Note Window"},
        {kHelpWindowChannelView, "Channel Window"},
    };
    for (const auto& [command, title] : commands) {
        helpTopicCommand(desktop, command);
        EXPECT_EQ(driver.windowTitle(kHelpWindow), title) << "command " << command;
    }
    for (int ignored : {188, 200, 203, 204, 206, 21}) helpTopicCommand(desktop, ignored);
    EXPECT_EQ(driver.windowTitle(kHelpWindow), "Channel Window");
    helpTopicCommand(desktop, kHelpWindowExit);
    EXPECT_FALSE(desktop.windowExists(kHelpWindow));
}

TEST_F(HelpWindow, AnOpenWindowKeepsItsPlaceAndSizeWhenTheTopicChanges)
{
    helpTopicCommand(desktop, kHelpCredits);
    driver.resizeWindow(kHelpWindow, {500, 300});
    layoutHelpWindow(desktop);
    const Size resized = desktop.innerSize(kHelpWindow);
    EXPECT_EQ(gadgets.gadgetRect(kHelpWindow, kHelpTextView), (Rect{0, 0, resized.width, resized.height}));

    helpTopicCommand(desktop, kHelpWindowNoteSettings);
    EXPECT_EQ(desktop.innerSize(kHelpWindow), resized);
    EXPECT_EQ(gadgets.gadgetRect(kHelpWindow, kHelpTextView), (Rect{0, 0, resized.width, resized.height}));
    EXPECT_EQ(driver.menuBar(kHelpWindow).size(), 1u) << "still one window with one menu";
}

}  // namespace
}  // namespace nimbel
