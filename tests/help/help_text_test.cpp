#include "help_text.h"

#include "grid_display.h"
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

struct TopicCase {
    HelpTopic topic;
    std::string_view title;
    std::string_view ending;
    std::string requiredLine;  // a line the topic must hold, with its line breaks
};

TEST(HelpText, TopicsHaveTheirTitleAsciiCrLfLinesAndTheirEnding)
{
    const TopicCase cases[] = {
        {HelpTopic::contents, "Contents:", "\r\n7 - File Format",
         "\r\nThese areas are available from the Help Menu\r\n"},
        {HelpTopic::mainWindow, "Main Window", "\r\n",
         "\r\n2 - This is the main project window that displays on program launch\r\n"},
        {HelpTopic::quickStart, "Quick Start Guide", "\r\n", ""},
        {HelpTopic::fileFormat, "File Format:", "\r\n", ""},
        {HelpTopic::credits, "Credits", "\r\n", ""},
        {HelpTopic::about, "About Nimbel MIDI", "\r\n", std::string(" version ") + kNimbelVersion + "\r\n"},
        {HelpTopic::noteWindow, "Note Window", "\r\n", "\r\n3 - Note Window\r\n"},
        {HelpTopic::channelWindow, "Channel Window", "\r\n", ""},
    };
    for (const TopicCase& c : cases) {
        const std::string_view text = helpTopicText(c.topic);
        SCOPED_TRACE(c.title);
        EXPECT_EQ(helpTitle(text), c.title);
        EXPECT_TRUE(text.ends_with(c.ending));
        EXPECT_NE(text.find(c.requiredLine), std::string_view::npos);
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char ch = text[i];
            const bool printable = ch == '\t' || ch == '\r' || ch == '\n' || (ch >= ' ' && ch <= '~');
            const bool crOfCrLf = ch != '\r' || (i + 1 < text.size() && text[i + 1] == '\n');
            const bool lfOfCrLf = ch != '\n' || (i > 0 && text[i - 1] == '\r');
            EXPECT_TRUE(printable && crOfCrLf && lfOfCrLf) << "byte " << int(ch) << " at " << i;
        }
    }
}

// The song files the File Format topic shows: each from a line "START" to a line "END".
std::vector<std::string> exampleFiles(std::string_view text)
{
    std::vector<std::string> files;
    bool inFile = false;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find("\r\n"), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 2, text.size()));
        if (line == "START") {
            files.emplace_back();
            inFile = true;
        }
        if (inFile) files.back().append(line).append("\r\n");
        if (line == "END") inFile = false;
    }
    return files;
}

struct DescribedNote {
    int channel, column, note, octave, volume;
    float duration;
    int voice;  // 0: the channel's voice carries on
};

// The example's notes as its line-by-line explanation describes them, at tempo 100.
constexpr DescribedNote kExampleNotes[] = {
    {1, 1, 0, 5, 6, 1.0f, 74}, {2, 1, 0, 3, 4, 2.0f, 33}, {1, 2, 2, 5, 6, 1.0f, 0},         {1, 3, 4, 5, 6, 1.0f, 0},
    {2, 3, 7, 3, 4, 2.0f, 0},  {1, 4, 7, 5, 6, 0.75f, 0}, {1, 5, kRestNote, 5, 6, 0.5f, 0}, {1, 6, 6, 5, 6, 0.5f, 0},
    {2, 6, 2, 4, 4, 2.0f, 0},  {1, 7, 7, 4, 6, 0.25f, 0}, {1, 8, 3, 4, 7, 0.25f, 0},
};

// The song's notes are those of kExampleNotes (of one channel, or of all for 0).
void expectNotes(const Song& song, int onlyChannel)
{
    std::size_t checked = 0;
    for (const NoteRecord& r : song.noteList) {
        if (r.isTempo() || r.column < 1) continue;  // the tempo and the note list's head record
        const auto described = std::find_if(std::begin(kExampleNotes), std::end(kExampleNotes), [&](const auto& n) {
            return n.channel == r.channel && n.column == r.column;
        });
        ASSERT_NE(described, std::end(kExampleNotes)) << "channel " << r.channel << " column " << r.column;
        EXPECT_EQ(
            std::tie(r.note, r.octave, r.volume, r.duration, r.voice),
            std::tie(described->note, described->octave, described->volume, described->duration, described->voice))
            << "channel " << r.channel << " column " << r.column;
        ++checked;
    }
    EXPECT_EQ(static_cast<std::ptrdiff_t>(checked),
              std::count_if(std::begin(kExampleNotes), std::end(kExampleNotes),
                            [&](const auto& n) { return onlyChannel == 0 || n.channel == onlyChannel; }));
}

TEST(HelpText, FileFormatExamplesLoadAsDescribed)
{
    const std::vector<std::string> files = exampleFiles(helpTopicText(HelpTopic::fileFormat));
    ASSERT_EQ(files.size(), 2u);
    Song song;
    PlainPositionDisplay position;
    newSong(song, position);
    loadSongText(song, position, files[0]);
    EXPECT_EQ(song.tempo, 100);
    expectNotes(song, 0);

    // The hand-written form is the same tune without the bass.
    Song handWritten;
    newSong(handWritten, position);
    loadSongText(handWritten, position, files[1]);
    EXPECT_EQ(handWritten.tempo, 100);
    expectNotes(handWritten, 1);
}

}  // namespace
}  // namespace nimbel
