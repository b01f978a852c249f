// Dialog controls as a user meets them: typing into number fields.
#include "../support/offscreen_application.h"

#include "../support/desktop_driver.h"

#include "desktop.h"
#include "desktop_seam.h"
#include "dialog_controls.h"

#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

namespace nimbel {
namespace {

using namespace testing_support;

class Controls : public ::testing::Test {
protected:
    Controls() { desktop.openWindow(1, {"Controls", {327, 166}, WindowFrame::titleOnly, std::nullopt, {}}); }
    template <typename Widget>
    Widget* widget(int id)
    {
        return qobject_cast<Widget*>(DesktopSeam::gadget(desktop, 1, id));
    }

    Desktop desktop{OffscreenApplication::application()};
    DialogControls controls{desktop};
    DesktopDriver driver{desktop};
};

TEST_F(Controls, NumberFieldTakesOnlyWholeNumbersOfItsRange)
{
    controls.addNumberField(1, 16, {60, 10, 30, 20}, -1, 9, 4, "");
    struct Case {
        const char* typed;
        int kept;
    } cases[] = {{"7", 7}, {"-1", -1}, {"x", 4}, {"-", 4}, {"12", 1}, {"3.5", 3}, {"", 4}};
    for (const Case& c : cases) {
        driver.setNumber(1, 16, 4);
        // The loop takes what the field reports; keys typed before that would wait for it.
        while (desktop.pollEvent().kind != EventKind::none) {}
        auto* field = widget<QSpinBox>(16);
        field->selectAll();
        QTest::keyClicks(field, c.typed);
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_EQ(controls.number(1, 16), c.kept) << "typed \"" << c.typed << "\"";
    }
    driver.setNumber(1, 16, 9);
    widget<QSpinBox>(16)->stepUp();
    EXPECT_EQ(controls.number(1, 16), 9);
    driver.setNumber(1, 16, 20);
    EXPECT_EQ(controls.number(1, 16), 9);
}

}  // namespace
}  // namespace nimbel
