// Labels and track bars: what they show and which of their changes are events.
#include "../support/offscreen_application.h"

#include "desktop.h"
#include "desktop_impl.h"

#include <QLabel>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

namespace nimbel {
namespace {

using testing_support::OffscreenApplication;

class Gadgets : public ::testing::Test {
protected:
    Gadgets() { desktop.openWindow(0, {"Gadgets", {604, 298}, WindowFrame::resizable, std::nullopt, {}}); }
    Desktop desktop{OffscreenApplication::application()};
};

TEST_F(Gadgets, LabelShowsCentredTextInASunkenBorderAndANewOneReplacesIt)
{
    desktop.addLabel(0, 11, {10, 240, 50, 20}, "1", true, true);
    EXPECT_EQ(desktop.gadgetText(0, 11), "1");
    EXPECT_EQ(desktop.gadgetRect(0, 11), (Rect{10, 240, 50, 20}));
    const auto* label = desktop.impl().gadgetAs<QLabel>(0, 11);
    EXPECT_EQ(label->alignment(), Qt::AlignCenter);
    EXPECT_EQ(label->frameShadow(), QFrame::Sunken);
    desktop.setGadgetTooltip(0, 11, "Current note");
    EXPECT_EQ(desktop.gadgetTooltip(0, 11), "Current note");
    desktop.setGadgetText(0, 11, "17");
    EXPECT_EQ(desktop.gadgetText(0, 11), "17");
    desktop.setGadgetRect(0, 11, {10, 300, 50, 20});
    EXPECT_EQ(desktop.gadgetRect(0, 11), (Rect{10, 300, 50, 20}));

    desktop.addLabel(0, 11, {10, 240, 50, 20}, "new", false, false);  // replaces the one of the same id
    EXPECT_EQ(desktop.gadgetText(0, 11), "new");
    EXPECT_EQ(desktop.impl().windows.at(0).window->inner()->findChildren<QLabel*>().size(), 1);
    EXPECT_FALSE(desktop.gadgetExists(0, 12));
    EXPECT_FALSE(desktop.gadgetExists(7, 11));
}

TEST_F(Gadgets, TrackBarReportsTheUsersMovesButNotTheProgramsSettings)
{
    desktop.addTrackBar(0, 2, {70, 240, 600, 30}, 1, 10, "Slide to shift notes to view");
    EXPECT_EQ(desktop.trackBarPosition(0, 2), 1);
    EXPECT_EQ(desktop.trackBarMaximum(0, 2), 10);
    EXPECT_EQ(desktop.gadgetTooltip(0, 2), "Slide to shift notes to view");

    desktop.setTrackBarPosition(0, 2, 4);
    desktop.setTrackBarMaximum(0, 2, 24);
    EXPECT_EQ(desktop.pollEvent().kind, EventKind::none);
    EXPECT_EQ(desktop.trackBarPosition(0, 2), 4);
    EXPECT_EQ(desktop.trackBarMaximum(0, 2), 24);

    auto* slider = desktop.impl().gadgetAs<QSlider>(0, 2);
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(desktop.pollEvent(), gadgetEvent(0, 2, GadgetAction::changed));
    EXPECT_EQ(desktop.trackBarPosition(0, 2), 5);
    QTest::keyClick(slider, Qt::Key_End);
    EXPECT_EQ(desktop.pollEvent(), gadgetEvent(0, 2, GadgetAction::changed));
    EXPECT_EQ(desktop.trackBarPosition(0, 2), 24);
}

TEST_F(Gadgets, TrackBarTicksThinOutForLongSongsOrAreLeftOut)
{
    desktop.addTrackBar(0, 3, {150, 250, 330, 30}, 1, 10, "", false);
    EXPECT_EQ(desktop.impl().gadgetAs<QSlider>(0, 3)->tickPosition(), QSlider::NoTicks);
    desktop.addTrackBar(0, 2, {70, 240, 600, 30}, 1, 10, "");
    auto* slider = desktop.impl().gadgetAs<QSlider>(0, 2);
    EXPECT_EQ(slider->tickPosition(), QSlider::TicksBelow);
    EXPECT_EQ(slider->tickInterval(), 1);
    desktop.setTrackBarMaximum(0, 2, 65535);
    EXPECT_GE(600 / (65535 / slider->tickInterval()), 3) << "ticks stay a few pixels apart";
}

}  // namespace
}  // namespace nimbel
