#include "song_text_writer.h"

#include "notation.h"

#include <algorithm>

namespace nimbel {

namespace {

constexpr std::size_t kBytesPerCell = 16;  // "N3X1234V58C#Q" and its line end
constexpr int kHighestDigit = 9;           // volume and octave 10 are the digit 9 raised by "+" or ">"

}  // namespace

SongTextWriter::SongTextWriter(std::int32_t tempo, std::size_t cells)
{
    text_.reserve(32 + cells * kBytesPerCell);
    text_ += "START\r\nT" + std::to_string(tempo) + "\r\n";
}

void SongTextWriter::note(int channel, std::int64_t column, const NoteSpelling& spelling, int volume, int voice)
{
    Running& running = running_[static_cast<std::size_t>(channel)];
    std::string text;
    if (volume != running.volume) {
        text += 'V';
        text += static_cast<char>('0' + std::min(volume, kHighestDigit));
        if (volume > kHighestDigit) text += '+';
        running.volume = volume;
    }
    if (spelling.octave != running.octave) {
        text += static_cast<char>('0' + std::min(spelling.octave, kHighestDigit));
        if (spelling.octave > kHighestDigit) text += '>';
        running.octave = spelling.octave;
    }
    text += spelling.letters;
    if (spelling.durationLetter != running.durationLetter) {
        text += spelling.durationLetter;
        running.durationLetter = spelling.durationLetter;
    }
    if (spelling.dotted) text += '.';
    if (voice != running.voice) {
        text += ',' + std::to_string(voice);
        running.voice = voice;
    }
    line(channel, column, text);
}

void SongTextWriter::voiceChange(int channel, std::int64_t column, int voice)
{
    Running& running = running_[static_cast<std::size_t>(channel)];
    if (voice == running.voice) return;
    running.voice = voice;
    line(channel, column, "R," + std::to_string(voice));
}

void SongTextWriter::line(int channel, std::int64_t column, const std::string& text)
{
    text_ += placedNoteText(channel, static_cast<int>(column), text);
    text_ += "\r\n";
}

std::string SongTextWriter::finish()
{
    text_ += "END\r\n";
    return std::move(text_);
}

}  // namespace nimbel
