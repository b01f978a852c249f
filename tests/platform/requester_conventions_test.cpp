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
    for (const char* good : {"newfile.nmd", "tune", "a b.c"}) EXPECT_TRUE(isValidFileName(good)) << good;
    for (const char* bad : {"", "*.nmd", "a/b", "a\\b", "a:b", "a<b", "a>b", "a?b", "a|b", "a\"b", "a\tb"}) {
        EXPECT_FALSE(isValidFileName(bad)) << bad;
    }
}

TEST(RequesterStart, AFilePathProposesItsNameAndTheProgramDefaultsAnEmptyNameBox)
{
    const std::vector<std::pair<std::string, RequesterStart>> cases = {
        {"/opt/nimbel//newfile.nmd", {"/opt/nimbel", ""}},  // the program folder's defaults
        {"/opt/nimbel//*.nmd", {"/opt/nimbel", ""}},
        {"/home/user/song.nmd", {"/home/user", "song.nmd"}},
        {"/opt/nimbel/MIDI.txt", {"/opt/nimbel", "MIDI.txt"}},
        {"/song.nmd", {"/", "song.nmd"}},
        {"song.nmd", {"", "song.nmd"}},
        {"/home/user/", {"/home/user", ""}},
        {"", {"", ""}},
    };
    for (const auto& [path, start] : cases) EXPECT_EQ(requesterStart(path), start) << path;
}

// Everything the queue holds, oldest first.
std::vector<Event> takeAll(EventQueue& queue)
{
    std::vector<Event> events;
    for (Event e = queue.take(); e.kind != EventKind::none; e = queue.take()) events.push_back(e);
    return events;
}

TEST(EventQueue, HandsOutEventsOldestFirstKeepingOneOfConsecutiveResizesOfAWindow)
{
    EventQueue queue;
    EXPECT_EQ(queue.take().kind, EventKind::none);
    for (const Event& e : {menuEvent(0, 21), gadgetEvent(0, 2, GadgetAction::changed), resizeEvent(0), resizeEvent(0),
                           resizeEvent(4), resizeEvent(0), closeRequest(4)})
        queue.push(e);
    EXPECT_EQ(takeAll(queue), (std::vector<Event>{menuEvent(0, 21), gadgetEvent(0, 2, GadgetAction::changed),
                                                  resizeEvent(0), resizeEvent(4), resizeEvent(0), closeRequest(4)}));
    EXPECT_TRUE(queue.empty());
}

TEST(EventQueue, ForgetsTheEventsOfAClosedWindow)
{
    EventQueue queue;
    queue.push(menuEvent(4, 190));
    queue.push(menuEvent(0, 0));
    queue.push(closeRequest(4));
    queue.forgetWindow(4);
    EXPECT_EQ(takeAll(queue), std::vector<Event>{menuEvent(0, 0)});
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
    EXPECT_EQ(script.answerMessage(ShownMessage{}), MessageReply::no);
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
