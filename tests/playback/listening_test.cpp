// The column the playhead shows, and what a note written while editing
// sounds like: its running values, how long it is heard, and the voice the
// sequencer finds on its channel afterwards.
#include "support/playback_rig.h"

#include "event_export.h"
#include "note_preview.h"
#include "playhead.h"
#include "song_columns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nimbel {
namespace {

TEST(Playhead, ShowsTheLastColumnHeardOnceTheLatencyHasPassed)
{
    Playhead playhead;
    for (int column = 1; column <= 12; ++column) playhead.columnStarted(column, 1000 + 500 * column);
    struct Case {
        std::int64_t now, latency;
        std::int32_t heard;
    };
    for (const Case& c :
         {Case{7000, 0, 12}, {6999, 0, 11}, {7019, 20, 11}, {7020, 20, 12}, {3520, 20, 5}, {3519, 20, 0}})
        EXPECT_EQ(playhead.heardAt(c.now, c.latency), c.heard) << c.now << " " << c.latency;
}

// Channel 1's cells from note column 1 on; the columns heard; what is sent,
// as milliseconds after the moment of writing and the message's bytes.
TEST(NotePreview, SoundsTheNotesWrittenAsTheyWillPlayAndLeavesTheChannelsVoice)
{
    struct Case {
        std::vector<std::string> cells;
        std::vector<NotePlace> heard;
        std::int32_t sequencerVoice = 0;  // the voice playback last set on channel 1
        std::vector<std::string> sent;
    };
    // clang-format off
    const Case cases[] = {
        {{"C"}, {{1, 1}}, 0, {"0 C1 00 00", "0 91 3C 46", "1000 91 3C 00"}},  // a half note, the longest heard
        {{"CW"}, {{1, 1}}, 0, {"0 C1 00 00", "0 91 3C 46", "1000 91 3C 00"}},
        {{"V7G6E,41", "D"}, {{1, 2}}, 0, {"0 C1 28 00", "0 91 4A 62", "250 91 4A 00"}},  // values run on
        {{"CQ", "DQ", "R"}, {{1, 1}, {1, 2}, {1, 3}}, 0,
         {"0 C1 00 00", "0 91 3C 46", "180 91 3C 00", "180 C1 00 00", "180 91 3E 46", "360 91 3E 00"}},
        {{"CQ"}, {{1, 1}}, 12, {"0 C1 00 00", "0 91 3C 46", "500 91 3C 00", "500 C1 0B 00"}},
        {{"R"}, {{1, 1}}, 0, {}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cells.front());
        testing_support::PlaybackRig rig;
        for (std::size_t i = 0; i < c.cells.size(); ++i)
            rig.song.grid.setCellText(0, gridColumnOf(static_cast<int>(i) + 1), c.cells[i]);
        rig.song.channels[1].voice = c.sequencerVoice;
        NotePreview preview(rig.output, rig.clock, rig.song.channels);
        const std::int64_t start = rig.clock.nowMs();
        preview.play(notesPlayedAt(rig.song.grid, c.heard), 120);
        while (const auto due = preview.nextDueTime()) {
            rig.clock.advanceTo(*due);
            preview.step();
        }
        std::vector<std::string> sent;
        for (const auto& m : rig.log) sent.push_back(formatEventLine({m.timeMs - start, m.packed}));
        EXPECT_EQ(sent, c.sent);
        EXPECT_EQ(rig.song.channels[1].voice, c.sequencerVoice) << "the sequencer's state is left alone";
    }
}

}  // namespace
}  // namespace nimbel
