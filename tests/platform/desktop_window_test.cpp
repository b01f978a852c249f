// Windows, menus and the toolbar as the toolkit shows them, and the events
// they put in the queue.
#include "support/offscreen_application.h"

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

TEST_F(DesktopWindow, TheToolbarSpansTheWindowAndShowsOwnImages)
{
    desktop.openWindow(kWindow, options());
    desktop.loadImage(2, 32, 32, std::vector<std::uint32_t>(32 * 32, 0xFFFF0000u));
    desktop.addToolBar(kWindow, {{0, StockImage::newFile, "New Project"}, {21, OwnImage{2}, "Play"}});
    EXPECT_TRUE(desktop.toolBar(kWindow).at(1).hasImage);
    EXPECT_GT(desktop.toolBarHeight(kWindow), 32);
    const auto& inner = *desktop.impl().windows.at(kWindow).window->inner();
    EXPECT_EQ(inner.toolBar()->width(), 604);
    desktop.resizeWindow(kWindow, {900, 400});
    EXPECT_EQ(inner.toolBar()->width(), 900);
    EXPECT_EQ(inner.toolBar()->y(), 0);
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
