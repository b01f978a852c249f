// Every text the Note Window assembles must mean what was chosen: each
// setting alone and thousands of random combinations are placed in a cell,
// rebuilt as Play rebuilds the song, and compared with the choice.
#include "notation.h"
#include "note_settings.h"
#include "song.h"
#include "song_columns.h"

#include <gtest/gtest.h>

#include <random>

namespace nimbel {
namespace {

constexpr int kNoteValues[] = {0, 9, 11, 0, 2, 4, 5, 7};  // by item: None, A … G
constexpr float kDurations[] = {0.0f, 4.0f, 2.0f, 1.0f, 0.5f, 0.25f, 0.125f, 0.0625f};

// The record a rebuild makes of `text` written into note column 1 of `channel`.
NoteRecord rebuilt(const std::string& text, int channel)
{
    Song song;
    song.grid.setCellText(channel - 1, gridColumnOf(1), text);
    rebuildNoteList(song);
    return song.noteList.back();
}

// The duration letters E and F are note letters too, and of the letters A C
// D E F G the one latest in that order names the note: "CE" is the note E.
// No text can give A, B, C or D an eighth or a sixty-fourth (nor E a
// sixty-fourth), so such a choice is left out of the property.
bool durationReadsAsNote(const NoteSettings& s)
{
    constexpr int kLetterOrder[] = {-1, 0, -1, 1, 2, 3, 4, 5};                 // by item: None, A, B, C … G
    const int durationOrder = s.duration == 4 ? 3 : s.duration == 7 ? 4 : -1;  // E, F
    if (durationOrder < 0 || s.note == 8) return false;
    return s.note == 0 || s.note == 2 || kLetterOrder[s.note] < durationOrder;
}

// A volume or octave after a mark: a value of 0 first takes channel 1's,
// which is 5 after a rebuild, or on channel 1 itself the 0 just written.
int marked(int value, int step, int channel) { return (value == 0 && channel != 1 ? 5 : value) + step; }

void expectMeaning(const NoteSettings& s, int channel)
{
    const std::string text = noteSettingsText(s);
    SCOPED_TRACE("text \"" + text + "\" on channel " + std::to_string(channel));
    if (text.empty() || durationReadsAsNote(s)) return;  // an empty answer stores nothing
    const NoteRecord r = rebuilt(text, channel);
    const int running = channel == 1 ? 5 : 0;  // a freshly rebuilt channel's volume and octave
    const char flag = s.flag > 0 ? kFlagItems[static_cast<std::size_t>(s.flag)].front() : '\0';

    int note = s.note == 8 ? kRestNote : kNoteValues[s.note];
    if (s.note >= 1 && s.note <= 7 && flag == '#') ++note;
    if (s.note >= 1 && s.note <= 7 && flag == 'B') --note;
    EXPECT_EQ(r.note, note);

    const int volume = s.volume >= 0 ? s.volume : running;
    EXPECT_EQ(r.volume, flag == '+' ? marked(volume, 1, channel) : flag == '-' ? marked(volume, -1, channel) : volume);
    const int octave = s.octave >= 0 ? s.octave : running;
    EXPECT_EQ(r.octave, flag == '>' ? marked(octave, 1, channel) : flag == '<' ? marked(octave, -1, channel) : octave);

    const float duration = s.duration > 0 ? kDurations[s.duration] : 2.0f;
    EXPECT_FLOAT_EQ(r.duration, flag == '.' || flag == 'D' ? duration * 1.5f : duration);
    EXPECT_EQ(r.voice, s.voice);
    EXPECT_EQ(r.channel, channel);
    EXPECT_EQ(r.column, 1);
}

TEST(NoteSettingsText, EachSettingAloneMeansWhatWasChosen)
{
    for (int channel : {1, 2}) {
        for (int note = 0; note <= 8; ++note) expectMeaning({.note = note}, channel);
        for (int value = -1; value <= 9; ++value) {
            expectMeaning({.octave = value}, channel);
            expectMeaning({.volume = value}, channel);
        }
        for (int duration = 0; duration <= 7; ++duration) expectMeaning({.duration = duration}, channel);
        for (int flag = 0; flag <= 9; ++flag) expectMeaning({.flag = flag}, channel);
        for (int voice = 0; voice <= 128; ++voice) expectMeaning({.voice = voice}, channel);
    }
}

TEST(NoteSettingsText, RandomCombinationsMeanWhatWasChosen)
{
    std::mt19937 random(20261207);
    auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int i = 0; i < 3000; ++i) {
        const NoteSettings s{pick(0, 8), pick(-1, 9), pick(-1, 9), pick(0, 7), pick(0, 9), pick(0, 128)};
        expectMeaning(s, pick(1, 15));
        if (HasFailure()) return;
    }
}

}  // namespace
}  // namespace nimbel
