// The Note Window driven as a user would: controls set and buttons pressed
// from inside its own event loop. The texts it assembles are checked for
// every combination by the note settings property; its Help is the Channel
// Window's (one handler serves the Help Window in both loops).
#include "../support/desktop_driver.h"
#include "../support/offscreen_application.h"

#include "desktop.h"
#include "dialog_controls.h"
#include "gadgets.h"
#include "note_settings.h"
#include "note_window.h"

#include <gtest/gtest.h>

namespace nimbel {
namespace {

using namespace note_window;
using namespace testing_support;

constexpr int kMain = 0;

class NoteWindow : public ::testing::Test {
protected:
    NoteWindow() { desktop.openWindow(kMain, {"Main", {604, 298}, WindowFrame::resizable, std::nullopt, {}}); }
    void press(int button) { driver.press(kNoteWindow, button); }

    Desktop desktop{OffscreenApplication::application()};
    Gadgets gadgets{desktop};
    DialogControls controls{desktop};
    DesktopDriver driver{desktop};
};

TEST_F(NoteWindow, ReturnsTheTextOfEachWayOut)
{
    constexpr int kCloseBox = -1;
    struct Case {
        const char* input;
        NoteSettings chosen;
        const char* typed;  // into Full Text before the buttons, or nullptr
        std::vector<int> buttons;
        const char* expected;
    };
    // clang-format off
    const Case cases[] = {
        {"", {}, nullptr, {kOkButton}, ""},
        // an octave past the field's range is kept at its highest
        {"", {.note = 3, .octave = 12, .volume = 5, .duration = 3, .flag = 1, .voice = 1}, nullptr, {kOkButton}, "V59C#Q,1"},
        {"", {.note = 2}, "A", {kAddButton, kOkButton}, "AB"},
        {"", {.note = 4}, nullptr, {kAddButton, kAddButton, kOkButton}, "DD"},
        {"d e", {.note = 1, .octave = 3}, nullptr, {kOkButton}, "D E"},
        {"e5", {.note = 1}, "x", {kAddButton, kCancelButton}, "e5"},
        {"f#", {}, "g", {kCloseBox}, "f#"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("input \"") + c.input + "\", expected \"" + c.expected + "\"");
        driver.act([&] {
            controls.selectItem(kNoteWindow, kNoteList, c.chosen.note);
            driver.setNumber(kNoteWindow, kOctaveField, c.chosen.octave);
            driver.setNumber(kNoteWindow, kVolumeField, c.chosen.volume);
            controls.selectItem(kNoteWindow, kDurationList, c.chosen.duration);
            controls.selectItem(kNoteWindow, kFlagList, c.chosen.flag);
            controls.selectItem(kNoteWindow, kVoiceList, c.chosen.voice);
            if (c.typed) gadgets.setGadgetText(kNoteWindow, kFullTextField, c.typed);
            for (int button : c.buttons) button == kCloseBox ? driver.post(closeRequest(kNoteWindow)) : press(button);
        });
        EXPECT_EQ(showNoteWindow(desktop, kMain, c.input), c.expected);
        EXPECT_FALSE(desktop.windowExists(kNoteWindow));
    }
    // Full Text has the keyboard, its text selected: typing replaces it and Return is OK.
    driver.act([&] { driver.type(kNoteWindow, "c d e<Return>"); });
    EXPECT_EQ(showNoteWindow(desktop, kMain, "e5"), "C D E");
}

TEST_F(NoteWindow, OffersOnlyTheDurationsThatCanFollowTheChosenNote)
{
    constexpr int kEighth = 4, kSixtyFourth = 7, kQuarter = 3;
    driver.act([&] {
        EXPECT_FALSE(driver.itemEnabled(kNoteWindow, kDurationList, kEighth)) << "no note letter yet";
        EXPECT_TRUE(driver.itemEnabled(kNoteWindow, kDurationList, kQuarter));
        driver.choose(kNoteWindow, kNoteList, 7);  // G
    });
    driver.act([&] {
        EXPECT_TRUE(driver.itemEnabled(kNoteWindow, kDurationList, kEighth));
        EXPECT_TRUE(driver.itemEnabled(kNoteWindow, kDurationList, kSixtyFourth));
        driver.choose(kNoteWindow, kDurationList, kEighth);
    });
    driver.act([&] { driver.choose(kNoteWindow, kNoteList, 3); });  // C
    driver.act([&] {
        EXPECT_EQ(controls.selectedItem(kNoteWindow, kDurationList), 0) << "back to Default";
        EXPECT_FALSE(driver.itemEnabled(kNoteWindow, kDurationList, kEighth));
        EXPECT_EQ(driver.itemTooltip(kNoteWindow, kDurationList, kEighth),
                  "An eighth note cannot follow C in one note text");
        press(kOkButton);
    });
    EXPECT_EQ(showNoteWindow(desktop, kMain, ""), "C");
}

}  // namespace
}  // namespace nimbel
