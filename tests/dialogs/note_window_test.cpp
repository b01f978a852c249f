// The Note Window driven as a user would: controls set and buttons pressed
// from inside its own event loop.
#include "../support/offscreen_application.h"

#include "desktop.h"
#include "dialog_controls.h"
#include "help_ids.h"
#include "note_settings.h"
#include "note_window.h"

#include <gtest/gtest.h>

#include <functional>

namespace nimbel {
namespace {

using testing_support::OffscreenApplication;

constexpr int kMain = 0;

class NoteWindow : public ::testing::Test {
protected:
    NoteWindow() { desktop.openWindow(kMain, {"Main", {604, 298}, WindowFrame::resizable, std::nullopt, {}}); }

    // Opens the window on `input`, lets `act` play the user, returns the answer.
    std::string answer(std::string_view input, const std::function<void()>& act)
    {
        desktop.postUserAction(act);
        return showNoteWindow(desktop, kMain, input);
    }
    void press(int button) { controls.press(kNoteWindow, button); }
    void type(std::string_view text) { desktop.setGadgetText(kNoteWindow, kFullTextField, text); }

    Desktop desktop{OffscreenApplication::application()};
    DialogControls controls{desktop};
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
        {"c4q", {}, nullptr, {kOkButton}, "C4Q"},
        {"", {.note = 3, .octave = 4, .volume = 5, .duration = 3, .flag = 1, .voice = 1}, nullptr, {kOkButton}, "V54C#Q,1"},
        {"", {.note = 2}, "A", {kAddButton, kOkButton}, "AB"},
        {"", {.note = 4}, nullptr, {kAddButton, kAddButton, kOkButton}, "DD"},
        {"d e", {.note = 1, .octave = 3}, nullptr, {kOkButton}, "D E"},
        {"e5", {.note = 1}, "x", {kAddButton, kCancelButton}, "e5"},
        {"f#", {}, "g", {kCloseBox}, "f#"},
    };
    // clang-format on
    const auto act = [this](const Case& c) {
        controls.selectItem(kNoteWindow, kNoteList, c.chosen.note);
        controls.setNumber(kNoteWindow, kOctaveField, c.chosen.octave);
        controls.setNumber(kNoteWindow, kVolumeField, c.chosen.volume);
        controls.selectItem(kNoteWindow, kDurationList, c.chosen.duration);
        controls.selectItem(kNoteWindow, kFlagList, c.chosen.flag);
        controls.selectItem(kNoteWindow, kVoiceList, c.chosen.voice);
        if (c.typed) type(c.typed);
        for (int button : c.buttons) button == kCloseBox ? desktop.postEvent(closeRequest(kNoteWindow)) : press(button);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("input \"") + c.input + "\", expected \"" + c.expected + "\"");
        EXPECT_EQ(answer(c.input, [&] { act(c); }), c.expected);
        EXPECT_FALSE(desktop.windowExists(kNoteWindow));
    }
}

TEST_F(NoteWindow, OffersOnlyTheDurationsThatCanFollowTheChosenNote)
{
    const auto choose = [this](int list, int item) {
        controls.selectItem(kNoteWindow, list, item);
        desktop.postEvent(gadgetEvent(kNoteWindow, list, GadgetAction::changed));
    };
    constexpr int kEighth = 4, kSixtyFourth = 7, kQuarter = 3;
    desktop.postUserAction([&] {
        EXPECT_FALSE(controls.itemEnabled(kNoteWindow, kDurationList, kEighth)) << "no note letter yet";
        EXPECT_TRUE(controls.itemEnabled(kNoteWindow, kDurationList, kQuarter));
        choose(kNoteList, 7);  // G
    });
    desktop.postUserAction([&] {
        EXPECT_TRUE(controls.itemEnabled(kNoteWindow, kDurationList, kEighth));
        EXPECT_TRUE(controls.itemEnabled(kNoteWindow, kDurationList, kSixtyFourth));
        choose(kDurationList, kEighth);
    });
    desktop.postUserAction([&] { choose(kNoteList, 3); });  // C
    desktop.postUserAction([&] {
        EXPECT_EQ(controls.selectedItem(kNoteWindow, kDurationList), 0) << "back to Default";
        EXPECT_FALSE(controls.itemEnabled(kNoteWindow, kDurationList, kEighth));
        EXPECT_EQ(controls.itemTooltip(kNoteWindow, kDurationList, kEighth),
                  "An eighth note cannot follow C in one note text");
        press(kOkButton);
    });
    EXPECT_EQ(showNoteWindow(desktop, kMain, ""), "C");
}

TEST_F(NoteWindow, ServesTheHelpWindowWhileOpen)
{
    desktop.postUserAction([&] { press(kHelpButton); });
    desktop.postUserAction([&] {
        EXPECT_EQ(desktop.windowTitle(kHelpWindow), "Note Window");
        desktop.resizeWindow(kHelpWindow, {500, 300});
    });
    desktop.postUserAction([&] {
        EXPECT_EQ(desktop.gadgetRect(kHelpWindow, kHelpTextView).width, 500);
        desktop.chooseMenuItem(kHelpWindow, kHelpContents);
    });
    desktop.postUserAction([&] {
        EXPECT_EQ(desktop.windowTitle(kHelpWindow), "Contents:");
        desktop.postEvent(closeRequest(kHelpWindow));
    });
    desktop.postUserAction([&] {
        EXPECT_FALSE(desktop.windowExists(kHelpWindow));
        EXPECT_TRUE(desktop.windowExists(kNoteWindow));
        EXPECT_FALSE(desktop.windowEnabled(kMain));
        press(kOkButton);
    });
    EXPECT_EQ(showNoteWindow(desktop, kMain, "a"), "A");
    EXPECT_TRUE(desktop.windowEnabled(kMain));
}

}  // namespace
}  // namespace nimbel
