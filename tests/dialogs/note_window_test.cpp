// The Note Window driven as a user would: controls set and buttons pressed
// from inside its own event loop.
#include "../support/offscreen_application.h"

#include "desktop.h"
#include "dialog_controls.h"
#include "help_ids.h"
#include "note_window.h"

#include <gtest/gtest.h>

#include <functional>

namespace nimbel {
namespace {

using testing_support::OffscreenApplication;

constexpr int kMain = 0;
enum Control : int { kVoice = 12, kNote = 13, kFlag = 14, kDuration = 15, kVolume = 16, kOctave = 17, kFullText = 18 };
enum Button : int { kOk = 19, kCancel = 20, kAdd = 21, kHelp = 22 };

class NoteWindow : public ::testing::Test {
public:
    NoteWindow() { desktop.openWindow(kMain, {"Main", {604, 298}, WindowFrame::resizable, std::nullopt, {}}); }

    // Opens the window on `input`, lets `act` play the user, returns the answer.
    std::string answer(std::string_view input, const std::function<void()>& act)
    {
        desktop.postUserAction(act);
        return showNoteWindow(desktop, kMain, input);
    }
    void press(int button) { controls.press(kNoteWindow, button); }
    void type(std::string_view text) { desktop.setGadgetText(kNoteWindow, kFullText, text); }

    Desktop desktop{OffscreenApplication::application()};
    DialogControls controls{desktop};
};

TEST_F(NoteWindow, ReturnsTheTextOfEachWayOut)
{
    struct Case {
        const char* input;
        std::function<void(NoteWindow&)> act;
        const char* expected;
    };
    const Case cases[] = {
        {"", [](NoteWindow& w) { w.press(kOk); }, ""},
        {"c4q", [](NoteWindow& w) { w.press(kOk); }, "C4Q"},
        {"",
         [](NoteWindow& w) {
             w.controls.selectItem(kNoteWindow, kNote, 3);  // C
             w.controls.setNumber(kNoteWindow, kOctave, 4);
             w.controls.setNumber(kNoteWindow, kVolume, 5);
             w.controls.selectItem(kNoteWindow, kDuration, 3);  // Q
             w.controls.selectItem(kNoteWindow, kFlag, 1);      // #
             w.controls.selectItem(kNoteWindow, kVoice, 1);
             w.press(kOk);
         },
         "V54C#Q,1"},
        {"",
         [](NoteWindow& w) {
             w.controls.selectItem(kNoteWindow, kVoice, 12);
             w.press(kOk);
         },
         ",12"},
        {"",
         [](NoteWindow& w) {
             w.controls.setNumber(kNoteWindow, kOctave, 0);
             w.controls.setNumber(kNoteWindow, kVolume, 0);
             w.press(kOk);
         },
         "V00"},
        {"",
         [](NoteWindow& w) {
             w.type("A");
             w.controls.selectItem(kNoteWindow, kNote, 2);  // B
             w.press(kAdd);
             w.press(kOk);
         },
         "AB"},
        {"",
         [](NoteWindow& w) {
             w.controls.selectItem(kNoteWindow, kNote, 4);  // D
             w.press(kAdd);
             w.press(kAdd);
             w.press(kOk);
         },
         "DD"},
        {"g",
         [](NoteWindow& w) {
             w.press(kAdd);
             w.press(kOk);
         },
         "G"},
        {"d e",
         [](NoteWindow& w) {
             w.controls.selectItem(kNoteWindow, kNote, 1);
             w.controls.setNumber(kNoteWindow, kOctave, 3);
             w.press(kOk);
         },
         "D E"},
        {"e5",
         [](NoteWindow& w) {
             w.controls.selectItem(kNoteWindow, kNote, 1);
             w.press(kAdd);
             w.type("x");
             w.press(kCancel);
         },
         "e5"},
        {"f#",
         [](NoteWindow& w) {
             w.type("g");
             w.desktop.postEvent(closeRequest(kNoteWindow));
         },
         "f#"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("input \"") + c.input + "\", expected \"" + c.expected + "\"");
        EXPECT_EQ(answer(c.input, [&] { c.act(*this); }), c.expected);
        EXPECT_FALSE(desktop.windowExists(kNoteWindow));
    }
}

TEST_F(NoteWindow, KeepsItsOwnerDisabledWhileOpenAndFreesItAfterwards)
{
    bool ownerEnabledWhileOpen = true;
    std::string fullText;
    answer("c", [&] {
        ownerEnabledWhileOpen = desktop.windowEnabled(kMain);
        fullText = desktop.gadgetText(kNoteWindow, kFullText);
        press(kCancel);
    });
    EXPECT_FALSE(ownerEnabledWhileOpen);
    EXPECT_EQ(fullText, "c");
    EXPECT_TRUE(desktop.windowEnabled(kMain));
}

TEST_F(NoteWindow, ServesTheHelpWindowWhileOpen)
{
    desktop.postUserAction([&] { press(kHelp); });
    desktop.postUserAction([&] {
        EXPECT_EQ(desktop.windowTitle(kHelpWindow), "Note Window");
        desktop.resizeWindow(kHelpWindow, {500, 300});
    });
    desktop.postUserAction([&] {
        EXPECT_EQ(desktop.gadgetRect(kHelpWindow, kHelpTextView).width, 500);
        controls.scrollTextView(kHelpWindow, kHelpTextView, 3);
        EXPECT_EQ(controls.textViewTopLine(kHelpWindow, kHelpTextView), 3);
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
        press(kOk);
    });
    EXPECT_EQ(showNoteWindow(desktop, kMain, "a"), "A");
}

}  // namespace
}  // namespace nimbel
