// Reading a requester's filter text and default path; the event queue; the
// queued dialog script.
#include "dialog_script.h"
#include "event_queue.h"
#include "requester_conventions.h"

#include <gtest/gtest.h>

namespace nimbel {
namespace {

TEST(RequesterFilter, PairsOfDescriptionAndPattern)
{
    const auto filters = parseRequesterFilter("Nimbel MIDI (*.nmd)|*.nmd|All Files (*.*)|*.*");
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0], (RequesterFilter{"Nimbel MIDI (*.nmd)", {"*.nmd"}}));
    EXPECT_EQ(filters[1], (RequesterFilter{"All Files (*.*)", {"*.*"}}));

    EXPECT_EQ(parseRequesterFilter("Songs|*.nmd;*.txt")[0].patterns, (std::vector<std::string>{"*.nmd", "*.txt"}));
    EXPECT_TRUE(parseRequesterFilter("").empty());
    EXPECT_TRUE(parseRequesterFilter("Lonely description").empty());
    EXPECT_EQ(parseRequesterFilter("A|*.a|B").size(), 1u);
}

TEST(RequesterFilter, ValidFileNames)
{
    EXPECT_TRUE(isValidFileName("newfile.nmd"));
    EXPECT_TRUE(isValidFileName("tune"));
    EXPECT_TRUE(isValidFileName("a b.c"));
    for (const char* bad : {"", "*.nmd", "a/b", "a\\b", "a:b", "a<b", "a>b", "a?b", "a|b", "a\"b", "a\tb"}) {
        EXPECT_FALSE(isValidFileName(bad)) << bad;
    }
}

TEST(RequesterStart, ProgramDefaultsOpenTheFolderWithAnEmptyNameBox)
{
    const std::string programDirectory = "/opt/nimbel/";
    EXPECT_EQ(requesterStart(programDirectory + "/newfile.nmd"), (RequesterStart{"/opt/nimbel", ""}));
    EXPECT_EQ(requesterStart(programDirectory + "/*.nmd"), (RequesterStart{"/opt/nimbel", ""}));
}

TEST(RequesterStart, AFilePathProposesItsName)
{
    EXPECT_EQ(requesterStart("/home/user/song.nmd"), (RequesterStart{"/home/user", "song.nmd"}));
    EXPECT_EQ(requesterStart("/opt/nimbel/MIDI.txt"), (RequesterStart{"/opt/nimbel", "MIDI.txt"}));
    EXPECT_EQ(requesterStart("/song.nmd"), (RequesterStart{"/", "song.nmd"}));
    EXPECT_EQ(requesterStart("song.nmd"), (RequesterStart{"", "song.nmd"}));
    EXPECT_EQ(requesterStart("/home/user/"), (RequesterStart{"/home/user", ""}));
    EXPECT_EQ(requesterStart(""), (RequesterStart{"", ""}));
}

TEST(EventQueue, HandsOutEventsOldestFirstAndNoneWhenEmpty)
{
    EventQueue queue;
    EXPECT_EQ(queue.take().kind, EventKind::none);
    queue.push(menuEvent(0, 21));
    queue.push(gadgetEvent(0, 2, GadgetAction::changed));
    queue.push(closeRequest(4));
    EXPECT_EQ(queue.take(), menuEvent(0, 21));
    EXPECT_EQ(queue.take(), gadgetEvent(0, 2, GadgetAction::changed));
    EXPECT_EQ(queue.take(), closeRequest(4));
    EXPECT_EQ(queue.take().kind, EventKind::none);
}

TEST(EventQueue, KeepsOneOfConsecutiveResizesOfAWindow)
{
    EventQueue queue;
    queue.push(resizeEvent(0));
    queue.push(resizeEvent(0));
    queue.push(resizeEvent(4));
    queue.push(resizeEvent(0));
    EXPECT_EQ(queue.take(), resizeEvent(0));
    EXPECT_EQ(queue.take(), resizeEvent(4));
    EXPECT_EQ(queue.take(), resizeEvent(0));
    EXPECT_TRUE(queue.empty());
}

TEST(EventQueue, ForgetsTheEventsOfAClosedWindow)
{
    EventQueue queue;
    queue.push(menuEvent(4, 190));
    queue.push(menuEvent(0, 0));
    queue.push(closeRequest(4));
    queue.forgetWindow(4);
    EXPECT_EQ(queue.take(), menuEvent(0, 0));
    EXPECT_TRUE(queue.empty());
}

ShownMessage shownText(const char* text)
{
    ShownMessage shown;
    shown.text = text;
    return shown;
}

TEST(QueuedDialogScript, AnswersInOrderAndCountsDialogsItWasNotReadyFor)
{
    QueuedDialogScript script;
    script.expectMessage(MessageReply::no);
    script.expectFileName("tune");
    EXPECT_EQ(script.answerMessage(shownText("text")), MessageReply::no);
    // A message box where a requester answer waits is not answered by it.
    EXPECT_EQ(script.answerMessage(shownText("again")), MessageReply::escapeKey);
    EXPECT_EQ(script.unanswered(), 1);
    EXPECT_EQ(script.answerRequester({}), "tune");
    EXPECT_EQ(script.answerRequester({}), std::nullopt);
    EXPECT_EQ(script.answerColor({}), std::nullopt);
    EXPECT_EQ(script.unanswered(), 3);
    EXPECT_EQ(script.messages().size(), 2u);
    EXPECT_EQ(script.messages()[1].text, "again");
    EXPECT_EQ(script.pending(), 0u);
}

}  // namespace
}  // namespace nimbel
