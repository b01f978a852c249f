// The help topics' bytes and the File Format topic's examples, and the Help
// Window as the event loops drive it: the help commands and the topic each
// shows, one window at most, and its layout.
#include "../support/desktop_driver.h"
#include "../support/offscreen_application.h"

#include "desktop.h"
#include "gadgets.h"
#include "help_ids.h"
#include "help_text.h"
#include "help_window.h"
#include "nimbel_version.h"
#include "song_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

namespace nimbel {
namespace {

using namespace testing_support;

// Every topic's title is seen in the Help Window's test; here, its bytes.
TEST(HelpText, TopicsAreAsciiInCrLfLinesAndTheAboutTopicNamesThisVersion)
{
    for (const HelpTopic topic :
         {HelpTopic::contents, HelpTopic::mainWindow, HelpTopic::quickStart, HelpTopic::fileFormat, HelpTopic::credits,
          HelpTopic::about, HelpTopic::noteWindow, HelpTopic::channelWindow}) {
        const std::string_view text = helpTopicText(topic);
        SCOPED_TRACE(helpTitle(text));
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char ch = text[i];
            const bool printable = ch == '\t' || ch == '\r' || ch == '\n' || (ch >= ' ' && ch <= '~');
            const bool crOfCrLf = ch != '\r' || (i + 1 < text.size() && text[i + 1] == '\n');
            const bool lfOfCrLf = ch != '\n' || (i > 0 && text[i - 1] == '\r');
            EXPECT_TRUE(printable && crOfCrLf && lfOfCrLf) << "byte " << int(ch) << " at " << i;
        }
    }
    EXPECT_NE(helpTopicText(HelpTopic::about).find(std::string(" version ") + kNimbelVersion + "\r\n"),
              std::string_view::npos);
}

// The song files the File Format topic shows: each from a line "START" to a line "END".
std::vector<std::string> exampleFiles(std::string_view text)
{
    std::vector<std::string> files;
    for (std::size_t start; (start = text.find("\r\nSTART\r\n")) != std::string_view::npos;) {
        const std::size_t end = text.find("\r\nEND\r\n", start) + 7;
        files.emplace_back(text.substr(start + 2, end - start - 2));
        text.remove_prefix(end);
    }
    return files;
}

TEST(HelpText, FileFormatExamplesLoadAsDescribed)
{
    // channel, column, note, octave, volume, duration, voice (0: the channel's carries on)
    using Note = std::tuple<int, int, int, int, int, float, int>;
    // The example's notes as its line-by-line explanation describes them, at tempo 100.
    const std::vector<Note> described = {
        {1, 1, 0, 5, 6, 1.0f, 74}, {1, 2, 2, 5, 6, 1.0f, 0},         {1, 3, 4, 5, 6, 1.0f, 0},
        {1, 4, 7, 5, 6, 0.75f, 0}, {1, 5, kRestNote, 5, 6, 0.5f, 0}, {1, 6, 6, 5, 6, 0.5f, 0},
        {1, 7, 7, 4, 6, 0.25f, 0}, {1, 8, 3, 4, 7, 0.25f, 0},        {2, 1, 0, 3, 4, 2.0f, 33},
        {2, 3, 7, 3, 4, 2.0f, 0},  {2, 6, 2, 4, 4, 2.0f, 0},
    };
    const std::vector<std::string> files = exampleFiles(helpTopicText(HelpTopic::fileFormat));
    ASSERT_EQ(files.size(), 2u);
    for (std::size_t example = 0; example < files.size(); ++example) {
        Song song;
        PlainPositionDisplay position;
        openSongAfterStartUp(song, position, files[example]);
        EXPECT_EQ(song.tempo, 100);
        std::vector<Note> loaded, expected;
        for (const NoteRecord& r : song.noteList)
            if (!r.isTempo() && r.column >= 1)  // not the tempo nor the note list's head record
                loaded.emplace_back(r.channel, r.column, r.note, r.octave, r.volume, r.duration, r.voice);
        // The hand-written form is the same tune without the bass.
        std::copy_if(described.begin(), described.end(), std::back_inserter(expected),
                     [&](const Note& n) { return example == 0 || std::get<0>(n) == 1; });
        std::sort(loaded.begin(), loaded.end());
        EXPECT_EQ(loaded, expected) << files[example];
    }
}

class HelpWindow : public ::testing::Test {
protected:
    ~HelpWindow() override { desktop.closeAllWindows(); }
    Desktop desktop{OffscreenApplication::application()};
    Gadgets gadgets{desktop};
    DesktopDriver driver{desktop};
};

TEST_F(HelpWindow, EachHelpCommandShowsItsTopicUnderItsTitleInOneWindowThatKeepsItsPlaceAndSize)
{
    // The main window's help commands are tried in its commands table.
    const std::pair<int, const char*> commands[] = {
        {kHelpWindowMainWindow, "Main Window"},     {kHelpWindowQuickStart, "Quick Start Guide"},
        {kHelpWindowFileFormat, "File Format:"},    {kHelpWindowCredits, "Credits"},
        {kHelpWindowAbout, "About Nimbel MIDI"},    {kHelpWindowNoteSettings, "Note Window"},
        {kHelpWindowChannelView, "Channel Window"},
    };
    for (const auto& [command, title] : commands) {
        helpTopicCommand(desktop, command);
        EXPECT_EQ(driver.windowTitle(kHelpWindow), title) << "command " << command;
    }
    for (int ignored : {188, 200, 203, 204, 206, 21}) helpTopicCommand(desktop, ignored);
    EXPECT_EQ(driver.windowTitle(kHelpWindow), "Channel Window");

    // An open window keeps its place and size when the topic changes.
    driver.resizeWindow(kHelpWindow, {500, 300});
    layoutHelpWindow(desktop);
    const Size resized = desktop.innerSize(kHelpWindow);
    const Rect filled{0, 0, resized.width, resized.height};
    EXPECT_EQ(gadgets.gadgetRect(kHelpWindow, kHelpTextView), filled);
    helpTopicCommand(desktop, kHelpWindowNoteSettings);
    EXPECT_EQ(desktop.innerSize(kHelpWindow), resized);
    EXPECT_EQ(gadgets.gadgetRect(kHelpWindow, kHelpTextView), filled);
    EXPECT_EQ(driver.menuBar(kHelpWindow).size(), 1u) << "still one window with one menu";

    helpTopicCommand(desktop, kHelpWindowExit);
    EXPECT_FALSE(desktop.windowExists(kHelpWindow));
}

}  // namespace
}  // namespace nimbel
