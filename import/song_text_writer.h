// Writes imported notes as a song file's text: "START", the tempo, one line
// per note cell ("N" channel "X" column, then the note text), "END", which
// the model's song file reader loads as it loads any song file.
//
// A note text names only what differs from what the channel's texts before
// it leave running, in the order the notation reads: "V" and the volume,
// the octave, the note letters, the duration letter, ".", "," and the
// voice. The first text of a channel names its volume, octave and
// duration, so the song plays the same whether its texts were read from a
// file or rebuilt from the grid.
#pragma once

#include "note_spelling.h"

#include <array>
#include <cstdint>
#include <string>

namespace nimbel {

class SongTextWriter {
public:
    // `cells`: about how many cells will be written, so the text grows once.
    SongTextWriter(std::int32_t tempo, std::size_t cells);

    // The duration letter the channel's texts so far leave running; 0 for none.
    char durationLetter(int channel) const { return running_[static_cast<std::size_t>(channel)].durationLetter; }

    // Cells come column by column, and within a column channel by channel.
    // volume 1 … 10, voice 1 … 128. A spelling whose letter the note cannot
    // name is written only when the channel's running letter is that letter.
    void note(int channel, std::int64_t column, const NoteSpelling& spelling, int volume, int voice);
    // A rest that sets the channel's voice, as a program change with no note
    // of its own; nothing when the channel's voice already is that one.
    void voiceChange(int channel, std::int64_t column, int voice);

    // The whole text; the writer is spent.
    std::string finish();

private:
    // What a channel's texts so far leave running; 0 = nothing yet.
    struct Running {
        int volume = 0;
        int octave = 0;
        char durationLetter = 0;  // the base duration, before any dot
        int voice = 1;            // Play gives every channel voice 1
    };

    void line(int channel, std::int64_t column, const std::string& text);

    std::array<Running, 16> running_{};
    std::string text_;
};

}  // namespace nimbel
