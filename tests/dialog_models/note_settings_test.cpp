// Every text the Note Window can assemble must mean what was chosen: every
// combination of its lists and number fields, on channel 1 (whose running
// values start at 5) and on another channel, is read as a rebuild reads a
// cell and compared with the choice. The durations the window refuses for a
// note are exactly those no text can write after it.
#include "notation.h"
#include "note_settings.h"

#include <gtest/gtest.h>

namespace nimbel {
namespace {

constexpr int kNoteValues[] = {0, 9, 11, 0, 2, 4, 5, 7};  // by item: None, A … G
constexpr float kDurations[] = {0.0f, 4.0f, 2.0f, 1.0f, 0.5f, 0.25f, 0.125f, 0.0625f};
constexpr int kRestItem = 8;

// `text` read as the first cell of `channel` after a rebuild.
NoteRecord readAsCell(const std::string& text, int channel)
{
    ChannelState channels = rebuildChannelState();
    NoteRecord record;
    record.channel = channel;
    record.text = text;
    parseNoteText(record, channels);
    return record;
}

// Whether `text` reads as the settings `s` on `channel`; the first difference is traced.
::testing::AssertionResult readsAsChosen(const std::string& text, const NoteSettings& s, int channel)
{
    const NoteRecord r = readAsCell(text, channel);
    const int running = channel == 1 ? 5 : 0;  // a freshly rebuilt channel's volume and octave
    const char flag = s.flag > 0 ? kFlagItems[static_cast<std::size_t>(s.flag)].front() : '\0';

    int note = s.note == kRestItem ? kRestNote : kNoteValues[s.note];
    if (s.note >= 1 && s.note <= 7) note += flag == '#' ? 1 : flag == 'B' ? -1 : 0;
    const int volume = s.volume >= 0 ? s.volume : running;
    const int octave = s.octave >= 0 ? s.octave : running;
    const float duration = s.duration > 0 ? kDurations[s.duration] : 2.0f;
    // A volume or octave after the mark `up` or `down`: a value of 0 first takes channel 1's,
    // which is 5 after a rebuild, or on channel 1 itself the 0 just written.
    const auto marked = [&](int value, char up, char down) {
        if (flag != up && flag != down) return value;
        return (value == 0 && channel != 1 ? 5 : value) + (flag == up ? 1 : -1);
    };
    const auto expected = std::tuple(note, marked(volume, '+', '-'), marked(octave, '>', '<'),
                                     flag == '.' || flag == 'D' ? duration * 1.5f : duration, s.voice);
    const auto read = std::tuple(r.note, r.volume, r.octave, r.duration, r.voice);
    if (read == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << text << "\" on channel " << channel << " reads as "
                                         << ::testing::PrintToString(read) << ", chosen "
                                         << ::testing::PrintToString(expected);
}

TEST(NoteSettingsText, EveryCombinationTheWindowOffersMeansWhatWasChosen)
{
    for (int channel : {1, 2})
        for (int note = 0; note <= kRestItem; ++note)
            for (int duration = 0; duration < static_cast<int>(kDurationItems.size()); ++duration) {
                if (!durationFitsNote(note, duration)) continue;
                for (int octave = -1; octave <= 9; ++octave)
                    for (int volume = -1; volume <= 9; ++volume)
                        for (int flag = 0; flag < static_cast<int>(kFlagItems.size()); ++flag)
                            for (int voice = 0; voice <= 128; ++voice) {
                                const NoteSettings s{note, octave, volume, duration, flag, voice};
                                const std::string text = noteSettingsText(s);
                                if (text.empty()) continue;  // an empty answer stores nothing
                                ASSERT_TRUE(readsAsChosen(text, s, channel));
                            }
            }
}

TEST(NoteSettingsText, TheDurationsRefusedForANoteAreThoseNoTextCanWriteAfterIt)
{
    for (int note = 0; note <= kRestItem; ++note) {
        for (int duration = 1; duration < static_cast<int>(kDurationItems.size()); ++duration) {
            const std::string letters =
                std::string(note > 0 ? kNoteItems[static_cast<std::size_t>(note)].substr(0, 1) : "") +
                kDurationItems[static_cast<std::size_t>(duration)].front();
            SCOPED_TRACE(letters);
            EXPECT_EQ(durationFitsNote(note, duration), bool(readsAsChosen(letters, {note, -1, -1, duration}, 2)));
            EXPECT_EQ(durationRefusal(note, duration).empty(), durationFitsNote(note, duration));
        }
    }
    EXPECT_EQ(durationRefusal(5, 7), "A sixty-fourth note cannot follow E in one note text");
    EXPECT_EQ(durationRefusal(0, 4), "An eighth note needs a note letter in one note text");
}

}  // namespace
}  // namespace nimbel
