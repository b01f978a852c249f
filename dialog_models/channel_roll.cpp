#include "channel_roll.h"

#include "notation.h"
#include "song.h"
#include "song_columns.h"
#include "text_file.h"

#include <algorithm>
#include <string>

namespace nimbel {

namespace {

constexpr int kTopNote = 12;  // "B#", the note of row 0
constexpr int kRollColumnWidth = 50;
constexpr float kSixtyFourth = 0.0625f;

struct LetterThreshold {
    float above;  // the letters hold for durations strictly above this
    std::string_view letters;
};
// Single-precision thresholds, so the letters agree with the float durations.
constexpr LetterThreshold kLetterThresholds[] = {
    {4.1f, "WD"}, {3.9f, "W"},   {2.1f, "HD"}, {1.9f, "H"},   {1.1f, "QD"}, {0.9f, "Q"},   {0.6f, "ED"},
    {0.4f, "E"},  {0.26f, "SD"}, {0.24f, "S"}, {0.13f, "TD"}, {0.11f, "T"}, {0.07f, "FD"}, {0.06f, "F"},
};
constexpr std::string_view kTooShort = "U";

struct LetterBase {
    char letter;
    float beats;
};
constexpr LetterBase kLetterBases[] = {{'W', 4.0f},  {'H', 2.0f},   {'Q', 1.0f},        {'E', 0.5f},
                                       {'S', 0.25f}, {'T', 0.125f}, {'F', kSixtyFourth}};

// The note a row places.
std::int32_t noteOfPitchRow(int row) { return row == kRestRow ? kRestNote : kTopNote - row; }

}  // namespace

int pitchRowOf(std::int32_t note) { return note >= -1 && note <= kTopNote ? kTopNote - note : kRestRow; }

std::string_view durationLetters(float duration)
{
    for (const auto& [above, letters] : kLetterThresholds)
        if (duration > above) return letters;
    return kTooShort;
}

float letterBase(std::string_view letters)
{
    for (const auto& [letter, beats] : kLetterBases)
        if (!letters.empty() && letters.front() == letter) return beats;
    return 0.0f;
}

float nextDuration(float duration)
{
    const std::string_view letters = durationLetters(duration);
    if (letters == kLetterThresholds[0].letters) return kSixtyFourth;
    while (durationLetters(duration) == letters) duration += kSixtyFourth;
    return duration;
}

ChannelRoll::ChannelRoll(Song& song, int channel) : song_(song), channel_(channel)
{
    song_.noteListStale = true;
    song_.noteList.clear();
    NoteRecord& running = song_.channels[static_cast<std::size_t>(channel_)];
    running.octave = kDefaultOctave;
    running.volume = kDefaultVolume;
    running.voice = kDefaultVoice;
    running.duration = kDefaultDuration;

    grid_.insertColumn(kScaleColumn, "Scale", kRollColumnWidth);
    for (const std::string_view label : kPitchLabels) grid_.appendRow(std::string(label));

    const int end = findEndColumn(song_.grid);
    for (int k = kFirstNoteColumn; k <= end; ++k) {
        const int column = noteColumnOf(k);
        grid_.insertColumn(column, std::to_string(column), kRollColumnWidth);
        const std::string_view cell = trimmed(song_.grid.cellText(channel_ - 1, k));
        if (cell.empty()) continue;
        NoteRecord note;
        note.channel = channel_;
        note.text = placedNoteText(channel_, column, cell);
        parseNoteText(note, song_.channels);
        song_.noteList.push_back(std::move(note));
        show(song_.noteList.back());
    }
    ++song_.noteListVersion;
    lastColumn_ = noteColumnOf(end) + 1;
    grid_.insertColumn(lastColumn_, "End", kRollColumnWidth);
}

NoteRecord* ChannelRoll::noteAt(int column)
{
    auto& notes = song_.noteList;
    const auto found = std::lower_bound(notes.begin(), notes.end(), column,
                                        [](const NoteRecord& note, int c) { return note.column < c; });
    return found != notes.end() && found->column == column ? &*found : nullptr;
}

NoteRecord& ChannelRoll::addNote(int row, int column)
{
    const NoteRecord& running = song_.channels[static_cast<std::size_t>(channel_)];
    NoteRecord note;
    note.note = noteOfPitchRow(row);
    note.channel = channel_;
    note.column = column;
    note.duration = running.duration;
    note.octave = running.octave;
    note.volume = running.volume;
    auto& notes = song_.noteList;
    const auto at = std::upper_bound(notes.begin(), notes.end(), column,
                                     [](int c, const NoteRecord& other) { return c < other.column; });
    ++song_.noteListVersion;
    return *notes.insert(at, std::move(note));
}

void ChannelRoll::clearColumn(int column)
{
    for (int row = 0; row < kPitchRows; ++row) grid_.setCellText(row, column, {});
}

void ChannelRoll::show(const NoteRecord& note)
{
    grid_.setCellText(pitchRowOf(note.note), note.column, std::string(durationLetters(note.duration)));
}

void ChannelRoll::place(int row, int column)
{
    edited_ = true;
    clearColumn(column);
    NoteRecord* note = noteAt(column);
    if (note) note->note = noteOfPitchRow(row);
    else note = &addNote(row, column);
    show(*note);
}

void ChannelRoll::change(int row, int column)
{
    edited_ = true;
    clearColumn(column);
    NoteRecord* note = noteAt(column);
    if (!note) note = &addNote(row, column);
    else if (pitchRowOf(note->note) != row) note->note = noteOfPitchRow(row);
    else note->duration = nextDuration(note->duration);
    show(*note);
}

}  // namespace nimbel
