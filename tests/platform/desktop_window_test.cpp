// Windows, menus and the toolbar as the toolkit shows them, and the events
// they put in the queue.
#include "../support/offscreen_application.h"

#include "desktop.h"
#include "desktop_impl.h"

#include <QCoreApplication>
#include <QMenuBar>
#include <QToolBar>

#include <gtest/gtest.h>

namespace nimbel {
namespace {

using testing_support::OffscreenApplication;

constexpr int kWindow = 0;

class DesktopWindow : public ::testing::Test {
protected:
    Desktop desktop{OffscreenApplication::application()};

    WindowOptions options()
    {
        return {"Test Window",
                {604, 298},
                WindowFrame::resizable,
                std::nullopt,
                {{"File", {{"New", 0}, MenuEntry::bar(), {"Exit", 4}}}, {"Music", {{"Play", 21}, {"Stop", 23}}}}};
    }

    // Everything the toolkit had pending, as the loop would read it.
    std::vector<Event> drain()
    {
        std::vector<Event> events;
        for (Event e = desktop.pollEvent(); e.kind != EventKind::none; e = desktop.pollEvent()) events.push_back(e);
        return events;
    }
};

TEST_F(DesktopWindow, OpensWithTitleAndAnInnerSizeThatCountsTheMenuBarAndCloses)
{
    desktop.openWindow(kWindow, options());
    ASSERT_TRUE(desktop.windowExists(kWindow));
    EXPECT_TRUE(desktop.windowVisible(kWindow));
    EXPECT_EQ(desktop.windowTitle(kWindow), "Test Window");
    const int menuHeight = desktop.impl().windows.at(kWindow).window->menuBar()->height();
    EXPECT_GT(menuHeight, 10);
    EXPECT_EQ(desktop.innerSize(kWindow), (Size{604, 298 - menuHeight}));
    EXPECT_TRUE(drain().empty()) << "opening a window is no event";

    desktop.setWindowTitle(kWindow, "Nimbel MIDI - MIDI.txt");
    EXPECT_EQ(desktop.windowTitle(kWindow), "Nimbel MIDI - MIDI.txt");
    desktop.chooseMenuItem(kWindow, 4);
    desktop.closeWindow(kWindow);
    EXPECT_FALSE(desktop.windowExists(kWindow));
    EXPECT_EQ(desktop.windowTitle(kWindow), "");
    EXPECT_TRUE(drain().empty()) << "the events of a closed window are dropped";
}

TEST_F(DesktopWindow, ReportsCloseRequestsAndResizesInsteadOfActing)
{
    desktop.openWindow(kWindow, options());
    desktop.impl().windows.at(kWindow).window->close();
    EXPECT_TRUE(desktop.windowVisible(kWindow)) << "the program decides whether to close";
    desktop.resizeWindow(kWindow, {800, 500});
    desktop.resizeWindow(kWindow, {820, 520});
    EXPECT_EQ(drain(), (std::vector<Event>{closeRequest(kWindow), resizeEvent(kWindow)}));
    EXPECT_EQ(desktop.innerSize(kWindow).width, 820);
}

TEST_F(DesktopWindow, ChoosingAMenuItemReportsTheCommandAndCheckMarksChangeOnlyWhenTheProgramSetsThem)
{
    desktop.openWindow(kWindow, options());
    EXPECT_EQ(desktop.menuBar(kWindow), options().menus);
    desktop.chooseMenuItem(kWindow, 4);
    desktop.chooseMenuItem(kWindow, 21);
    EXPECT_EQ(drain(), (std::vector<Event>{menuEvent(kWindow, 4), menuEvent(kWindow, 21)}));
    EXPECT_FALSE(desktop.menuChecked(kWindow, 21));
    desktop.setMenuChecked(kWindow, 21, true);
    desktop.setMenuChecked(kWindow, 23, false);
    desktop.chooseMenuItem(kWindow, 21);
    desktop.chooseMenuItem(kWindow, 23);
    EXPECT_TRUE(desktop.menuChecked(kWindow, 21));
    EXPECT_FALSE(desktop.menuChecked(kWindow, 23));
}

TEST_F(DesktopWindow, ToolbarButtonsCarryTheirCommandsTooltipsAndImagesAndTheBarSpansTheWindow)
{
    desktop.openWindow(kWindow, options());
    const std::vector<std::uint32_t> red(32 * 32, 0xFFFF0000u);
    desktop.loadImage(2, 32, 32, red);
    desktop.addToolBar(kWindow, {{0, StockImage::newFile, "New Project"},
                                 ToolButton::bar(),
                                 {5, StockImage::undo, "Undo Last Action"},
                                 {21, OwnImage{2}, "Play music from current location"}});
    EXPECT_EQ(desktop.toolBar(kWindow),
              (std::vector<ShownToolButton>{{0, "New Project", true, false},
                                            {},
                                            {5, "Undo Last Action", true, false},
                                            {21, "Play music from current location", true, false}}));
    EXPECT_GT(desktop.toolBarHeight(kWindow), 32);
    desktop.pressToolButton(kWindow, 21);
    desktop.pressToolButton(kWindow, 5);
    EXPECT_EQ(drain(), (std::vector<Event>{menuEvent(kWindow, 21), menuEvent(kWindow, 5)}));
    const auto& inner = *desktop.impl().windows.at(kWindow).window->inner();
    EXPECT_EQ(inner.toolBar()->width(), 604);
    desktop.resizeWindow(kWindow, {900, 400});
    EXPECT_EQ(inner.toolBar()->width(), 900);
    EXPECT_EQ(inner.toolBar()->y(), 0);
}

TEST_F(DesktopWindow, FixedWindowsOpenWhereAsked)
{
    desktop.openWindow(3, {"Channel Display 3", {549, 289}, WindowFrame::fixed, Point{540, 108}, {}});
    EXPECT_EQ(desktop.innerSize(3), (Size{549, 289}));
    const ProgramWindow& window = *desktop.impl().windows.at(3).window;
    EXPECT_EQ(window.pos(), QPoint(540, 108));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
}

TEST_F(DesktopWindow, EnablingHidingAndKeepingOnTop)
{
    desktop.openWindow(kWindow, options());
    desktop.setWindowEnabled(kWindow, false);
    EXPECT_FALSE(desktop.windowEnabled(kWindow));
    desktop.setKeepOnTop(kWindow, true);
    EXPECT_TRUE(desktop.windowVisible(kWindow));
    EXPECT_TRUE(desktop.impl().windows.at(kWindow).window->windowFlags() & Qt::WindowStaysOnTopHint);
    desktop.setWindowVisible(kWindow, false);
    EXPECT_FALSE(desktop.windowVisible(kWindow));
}

TEST_F(DesktopWindow, ReportsActivationOnlyOfWindowsThatAskForIt)
{
    desktop.openWindow(kWindow, options());
    desktop.openWindow(3, {"Channel Display 1", {549, 289}, WindowFrame::resizable, Point{540, 108}, {}, true});
    drain();
    desktop.activateWindow(kWindow);
    EXPECT_TRUE(drain().empty());
    desktop.activateWindow(3);
    EXPECT_EQ(drain(), (std::vector<Event>{activationEvent(3)}));
}

TEST_F(DesktopWindow, ClipboardKeepsEveryByteAndProgramDirectoryEndsInASeparator)
{
    const std::string text = "N1X1C5Q\tN2X1\xE9\r\n";
    desktop.setClipboardText(text);
    EXPECT_EQ(desktop.clipboardText(), text);
    EXPECT_EQ(desktop.programDirectory(), QCoreApplication::applicationDirPath().toStdString() + "/");
}

}  // namespace
}  // namespace nimbel
