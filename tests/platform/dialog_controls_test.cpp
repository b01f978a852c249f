// Dialog controls as a user meets them: typing into number fields, Return
// on the default button, the tab order and the read-only help text.
#include "../support/offscreen_application.h"

#include "desktop.h"
#include "desktop_impl.h"
#include "dialog_controls.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

namespace nimbel {
namespace {

using testing_support::OffscreenApplication;

class Controls : public ::testing::Test {
protected:
    Controls() { desktop.openWindow(1, {"Controls", {327, 166}, WindowFrame::titleOnly, std::nullopt, {}}); }
    template <typename Widget>
    Widget* widget(int id)
    {
        return desktop.impl().gadgetAs<Widget>(1, id);
    }
    std::vector<Event> events()
    {
        std::vector<Event> seen;
        for (Event e = desktop.pollEvent(); e.kind != EventKind::none; e = desktop.pollEvent()) seen.push_back(e);
        return seen;
    }

    Desktop desktop{OffscreenApplication::application()};
    DialogControls controls{desktop};
};

TEST_F(Controls, NumberFieldTakesOnlyWholeNumbersOfItsRange)
{
    controls.addNumberField(1, 16, {60, 10, 30, 20}, -1, 9, 4, "");
    struct Case {
        const char* typed;
        int kept;
    } cases[] = {{"7", 7}, {"-1", -1}, {"x", 4}, {"-", 4}, {"12", 1}, {"3.5", 3}, {"", 4}};
    for (const Case& c : cases) {
        controls.setNumber(1, 16, 4);
        auto* field = widget<QSpinBox>(16);
        field->selectAll();
        QTest::keyClicks(field, c.typed);
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_EQ(controls.number(1, 16), c.kept) << "typed \"" << c.typed << "\"";
    }
    controls.setNumber(1, 16, 9);
    widget<QSpinBox>(16)->stepUp();
    EXPECT_EQ(controls.number(1, 16), 9);
    controls.setNumber(1, 16, 20);
    EXPECT_EQ(controls.number(1, 16), 9);
}

TEST_F(Controls, ReturnPressesTheDefaultButtonOnly)
{
    controls.addTextField(1, 18, {60, 130, 210, 20}, "", "");
    controls.addPushButton(1, 20, {280, 50, 40, 30}, "Cancel", "");
    controls.addPushButton(1, 19, {280, 10, 40, 30}, "OK", "", true);
    events();
    widget<QPushButton>(20)->setFocus();
    QTest::keyClick(widget<QPushButton>(20), Qt::Key_Return);
    QTest::keyClick(widget<QLineEdit>(18), Qt::Key_Enter);
    EXPECT_EQ(events(),
              (std::vector{gadgetEvent(1, 19, GadgetAction::leftClick), gadgetEvent(1, 19, GadgetAction::leftClick)}));
    EXPECT_TRUE(controls.isDefaultButton(1, 19));
    EXPECT_FALSE(controls.isDefaultButton(1, 20));
}

TEST_F(Controls, TabOrderIsTheOrderOfCreation)
{
    controls.addDropDownList(1, 12, {60, 40, 210, 20}, {"Default", "A"}, "");
    desktop.addLabel(1, 5, {10, 10, 40, 20}, "Volume", false, false);
    controls.addNumberField(1, 16, {60, 10, 30, 20}, -1, 9, -1, "");
    controls.addTextField(1, 18, {60, 130, 210, 20}, "", "");
    controls.addPushButton(1, 19, {280, 10, 40, 30}, "OK", "");
    std::vector<int> order;
    QWidget* at = desktop.impl().gadget(1, 12);
    for (int i = 0; i < 4; ++i) {
        for (const auto& [id, w] : desktop.impl().windows.at(1).gadgets) {
            if (at == w || at->focusProxy() == w) order.push_back(id);
        }
        do at = at->nextInFocusChain();
        while (!(at->focusPolicy() & Qt::TabFocus) || at->focusProxy());
    }
    EXPECT_EQ(order, (std::vector{12, 16, 18, 19}));
}

TEST_F(Controls, TextViewShowsLinesAndTabsAndCannotBeChanged)
{
    controls.addTextView(1, 30, {10, 10, 300, 100}, "Title\r\n\tItem\r\nLast");
    auto* view = widget<QPlainTextEdit>(30);
    EXPECT_EQ(view->document()->blockCount(), 3);
    QTest::keyClicks(view, "typed");
    EXPECT_EQ(desktop.gadgetText(1, 30), "Title\r\n\tItem\r\nLast");
    view->selectAll();
    EXPECT_EQ(view->textCursor().selectedText().size(), 16) << "the user can select (and so copy) it";
}

}  // namespace
}  // namespace nimbel
