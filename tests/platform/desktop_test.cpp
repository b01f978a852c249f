// The windowing operations as the toolkit carries them out: windows that
// report close requests and resizes instead of acting, and which track bar
// changes are events; the song grid gadget: what it draws from the in-memory
// grid, where its rows and columns are drawn, and how clicks on drawn cells
// map back. (Message boxes and file requesters are seen in the file commands'
// tests.)
#include "support/offscreen_application.h"

#include "support/desktop_driver.h"

#include "desktop.h"
#include "desktop_seam.h"
#include "gadgets.h"
#include "grid_mapping.h"
#include "grid_view.h"
#include "memory_grid.h"
#include "song_columns.h"

#include <QHeaderView>
#include <QMainWindow>
#include <QMenuBar>
#include <QScrollBar>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

namespace nimbel {
namespace {

using namespace testing_support;

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

    Desktop desktop{OffscreenApplication::application()};
    Gadgets gadgets{desktop};
    DesktopDriver driver{desktop};
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
    EXPECT_TRUE(drain().empty()) << "the program's own settings are no events";

    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(desktop.pollEvent(), gadgetEvent(0, 2, GadgetAction::changed));
    EXPECT_EQ(gadgets.trackBarPosition(0, 2), 5);
    QTest::keyClick(slider, Qt::Key_End);
    EXPECT_EQ(desktop.pollEvent(), gadgetEvent(0, 2, GadgetAction::changed));
    EXPECT_EQ(gadgets.trackBarPosition(0, 2), 24);
}

constexpr int kGrid = 0;

class GridGadget : public ::testing::Test {
protected:
    GridGadget()
    {
        buildSongGrid(grid);
        desktop.openWindow(kWindow, {"Grid", {604, 298}, WindowFrame::resizable, std::nullopt, {}});
    }

    void addGrid(Rect where) { gadgets.addListGrid(kWindow, kGrid, where, grid, "Click To Place Notes"); }
    GridView& view() { return *dynamic_cast<GridView*>(DesktopSeam::gadget(desktop, kWindow, kGrid)); }

    // The centre of a drawn cell, in the window's inner area.
    Point centreOf(int row, int column)
    {
        const QRect cell = view().visualRect(view().model()->index(row, column));
        const QPoint inInner = view().viewport()->mapTo(view().parentWidget(), cell.center());
        return {inInner.x(), inInner.y()};
    }

    MemoryGrid grid;
    Desktop desktop{OffscreenApplication::application()};
    Gadgets gadgets{desktop};
    DesktopDriver driver{desktop};
};

TEST_F(GridGadget, ShowsTheGridsTextsAndColoursAndDrawsAChangedCellAgain)
{
    addGrid({0, 40, 600, 230});
    for (int i = 0; i < 20 && driver.paintCount(kWindow) == 0; ++i) desktop.pollEvent();
    ASSERT_GT(driver.paintCount(kWindow), 0) << "the window is drawn once shown";
    const int before = driver.paintCount(kWindow);
    grid.setCellText(0, 4, "C");
    desktop.pollEvent();
    EXPECT_GT(driver.paintCount(kWindow), before);
    desktop.pollEvent();
    const int settled = driver.paintCount(kWindow);
    desktop.pollEvent();
    EXPECT_EQ(driver.paintCount(kWindow), settled) << "nothing changed, nothing drawn";

    grid.setCellText(2, gridColumnOf(1), "C5Q");
    grid.setCellColor(2, gridColumnOf(1), 0x0F22F0);
    const QAbstractItemModel& model = *view().model();
    EXPECT_EQ(model.data(model.index(2, 4)).toString(), "C5Q");
    EXPECT_EQ(model.data(model.index(2, 4), Qt::BackgroundRole).value<QBrush>().color(), QColor(240, 34, 15));
    EXPECT_FALSE(model.data(model.index(3, 4), Qt::BackgroundRole).isValid()) << "default background";

    grid.setCellText(1, 5, "\xE9");  // an 8-bit character shows as itself
    EXPECT_EQ(model.data(model.index(1, 5)).toString(), QString(QChar(0xE9)));
}

TEST_F(GridGadget, FollowsColumnsInsertedAndRemovedBatchedChangesAndThousandsOfColumns)
{
    addGrid({0, 40, 600, 230});
    setNoteColumnCount(grid, gridColumnOf(40));
    EXPECT_EQ(gadgets.gridColumnCount(kWindow, kGrid), gridColumnOf(40) + 1);
    EXPECT_EQ(view().model()->headerData(gridColumnOf(40), Qt::Horizontal).toString(), "End");
    {
        MemoryGrid::BatchUpdate batch(grid);
        grid.removeAllRows();
        for (int r = 0; r < 3; ++r) grid.appendRow(std::to_string(r + 1));
        grid.setCellText(2, 4, "E");
    }
    EXPECT_EQ(view().model()->rowCount(), 3);
    EXPECT_EQ(view().model()->data(view().model()->index(2, 4)).toString(), "E");
    EXPECT_EQ(gadgets.gridColumnWidth(kWindow, kGrid, 0), 100) << "widths survive a reset";

    // Thousands of single-column changes still leave the view matching the grid.
    setNoteColumnCount(grid, gridColumnOf(3000));  // one column at a time
    grid.setCellText(0, gridColumnOf(2999), "late");
    EXPECT_EQ(gadgets.gridColumnCount(kWindow, kGrid), gridColumnOf(3000) + 1) << "asking brings the view up to date";
    EXPECT_EQ(view().model()->data(view().model()->index(0, gridColumnOf(2999))).toString(), "late");
    EXPECT_EQ(gadgets.gridColumnWidth(kWindow, kGrid, 1), 100);

    setNoteColumnCount(grid, gridColumnOf(20));
    desktop.pollEvent();  // the next turn of the loop does it too
    EXPECT_EQ(view().horizontalHeader()->count(), gridColumnOf(20) + 1);
    EXPECT_EQ(view().model()->headerData(gridColumnOf(20), Qt::Horizontal).toString(), "End");
    grid.setCellText(1, 4, "after");  // single changes are reported again
    EXPECT_EQ(view().model()->data(view().model()->index(1, 4)).toString(), "after");
    grid.insertColumn(1, "Wide", 120);
    EXPECT_EQ(view().horizontalHeader()->count(), gridColumnOf(20) + 2);
}

TEST_F(GridGadget, ClickingTheCentreOfADrawnCellNamesThatCellAlsoWhenScrolled)
{
    addGrid({0, 40, 400, 120});
    view().horizontalScrollBar()->setValue(337);
    view().verticalScrollBar()->setValue(3);
    ASSERT_EQ(gadgets.gridScrollX(kWindow, kGrid), 337);
    ASSERT_EQ(gadgets.gridTopRow(kWindow, kGrid), 3);
    for (const auto& [row, column] : {std::pair{3, 5}, {4, 6}, {8, 9}, {5, 8}}) {
        SCOPED_TRACE(testing::Message() << "row " << row << " column " << column);
        const Point centre = centreOf(row, column);
        ASSERT_GT(centre.y, 40 + kGridHeaderHeight) << "drawn below the header";
        driver.clickAt(kWindow, centre, ClickKind::left);
        EXPECT_EQ(desktop.pollEvent(), gadgetEvent(kWindow, kGrid, GadgetAction::leftClick));
        EXPECT_EQ(desktop.mousePosition(kWindow), centre);
        EXPECT_EQ(columnAtX(desktop, kWindow, kGrid, centre.x), column);
        EXPECT_EQ(rowAtY(desktop, kWindow, kGrid, centre.y), row);
    }
}

}  // namespace
}  // namespace nimbel
