// The windowing operations as the toolkit carries them out: windows that
// report close requests and resizes instead of acting, and which track bar
// changes are events. (Message boxes and file requesters are seen in the file
// commands' tests.)
#include "support/offscreen_application.h"

#include "support/desktop_driver.h"

#include "desktop.h"
#include "desktop_seam.h"
#include "gadgets.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

namespace nimbel {
namespace {

constexpr int kWindow = 0;

class DesktopTest : public ::testing::Test {
protected:
    DesktopTest()
    {
        const Menu file = {"File", {{"New", 0}, MenuEntry::bar(), {"Exit", 4}}};
        desktop.openWindow(kWindow, {"Test Window", {604, 298}, WindowFrame::resizable, std::nullopt, {file}});
    }

    // Everything the toolkit had pending, as the loop would read it.
    std::vector<Event> drain()
    {
        std::vector<Event> events;
        for (Event e = desktop.pollEvent(); e.kind != EventKind::none; e = desktop.pollEvent()) events.push_back(e);
        return events;
    }

    Desktop desktop{testing_support::OffscreenApplication::application()};
    Gadgets gadgets{desktop};
    testing_support::DesktopDriver driver{desktop};
};

TEST_F(DesktopTest, AWindowReportsCloseRequestsAndResizesInsteadOfActingUntilClosed)
{
    ASSERT_TRUE(desktop.windowExists(kWindow));
    const int menuHeight = DesktopSeam::window(desktop, kWindow)->menuBar()->height();
    EXPECT_EQ(desktop.innerSize(kWindow), (Size{604, 298 - menuHeight})) << "the inner size counts the menu bar";
    EXPECT_TRUE(drain().empty()) << "opening a window is no event";

    DesktopSeam::window(desktop, kWindow)->close();
    EXPECT_TRUE(driver.windowVisible(kWindow)) << "the program decides whether to close";
    driver.resizeWindow(kWindow, {800, 500});
    driver.resizeWindow(kWindow, {820, 520});
    EXPECT_EQ(drain(), (std::vector<Event>{closeRequest(kWindow), resizeEvent(kWindow)}));
    EXPECT_EQ(desktop.innerSize(kWindow).width, 820);

    driver.chooseMenuItem(kWindow, 4);
    desktop.closeWindow(kWindow);
    EXPECT_FALSE(desktop.windowExists(kWindow));
    EXPECT_TRUE(drain().empty()) << "the events of a closed window are dropped";
}

TEST_F(DesktopTest, TrackBarReportsTheUsersMovesButNotTheProgramsSettings)
{
    gadgets.addTrackBar(0, 2, {70, 240, 600, 30}, 1, 10, "Slide to shift notes to view");
    auto* slider = qobject_cast<QSlider*>(DesktopSeam::gadget(desktop, 0, 2));
    EXPECT_EQ(gadgets.trackBarPosition(0, 2), 1);
    EXPECT_EQ(slider->toolTip().toStdString(), "Slide to shift notes to view");

    gadgets.setTrackBarPosition(0, 2, 4);
    gadgets.setTrackBarMaximum(0, 2, 24);

    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(desktop.pollEvent(), gadgetEvent(0, 2, GadgetAction::changed));
    EXPECT_EQ(gadgets.trackBarPosition(0, 2), 5);
    QTest::keyClick(slider, Qt::Key_End);
    EXPECT_EQ(desktop.pollEvent(), gadgetEvent(0, 2, GadgetAction::changed));
    EXPECT_EQ(gadgets.trackBarPosition(0, 2), 24);
}

}  // namespace
}  // namespace nimbel
