// One interpreted note of the song, the channel state built from such
// records, and the cell records the edit commands remember.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace nimbel {

inline constexpr int kChannelCount = 15;  // song channels 1 … 15
inline constexpr std::int32_t kRestNote = 255;

// What a channel plays where its texts name nothing: the running values a
// channel's texts start from, and what playback fills in for a value missing.
inline constexpr std::int32_t kDefaultVolume = 5;
inline constexpr std::int32_t kDefaultOctave = 5;
inline constexpr std::int32_t kDefaultVoice = 1;
inline constexpr float kDefaultDuration = 2.0f;  // a half note

inline constexpr bool isSongChannel(std::int32_t channel) { return channel >= 1 && channel <= kChannelCount; }

struct NoteRecord {
    std::int32_t note = 0;     // semitone above C (-1 … 12 occur); 255 = rest
    std::int32_t volume = 0;   // volume digit, 0 = not given
    std::int32_t channel = 0;  // 1 … 15
    std::int32_t octave = 0;   // 0 = not given
    std::int32_t voice = 0;    // General MIDI program 1 … 128, 0 = not given
    float duration = 0.0f;     // beats: whole 4.0 … sixty-fourth 0.0625
    // Millisecond tick of the sequencer's clock at which the sounding note
    // ends, 0 = none. 64 bits: the clock never wraps.
    std::int64_t offTime = 0;
    std::string text;         // the note text; for the tempo record "T" and digits
    std::int32_t column = 0;  // note column number, 1 = first

    // Tempo records have no channel: a note whose text begins with T (a
    // loaded "N1X1T5" keeps the text "T5") is not one.
    bool isTempo() const { return channel == 0 && !text.empty() && text.front() == 'T'; }
};

// The record at the head of a fresh note list (start-up and File New), and
// the defaults a channel's texts start from: volume 5, octave 5, voice 1.
inline NoteRecord defaultNoteRecord()
{
    NoteRecord r;
    r.channel = 1;
    r.volume = kDefaultVolume;
    r.octave = kDefaultOctave;
    r.voice = kDefaultVoice;
    return r;
}

// Running settings per channel, indexed by channel number 0 … 15. Entry 1
// doubles as the defaults; entry 0 is written only for records of channel 0.
using ChannelState = std::array<NoteRecord, 16>;

// The channel state a rebuild reads the song's texts against: every channel
// blank but channel 1, which holds the defaults.
inline ChannelState rebuildChannelState()
{
    ChannelState channels{};
    channels[1] = defaultNoteRecord();
    return channels;
}

// A grid cell as the edit commands remember it.
struct CellRecord {
    std::int32_t row = 0;     // grid row 0 … 14; in the undo list -1 = column removed, -2 = inserted
    std::int32_t column = 0;  // grid column index
    std::string text;
    std::int32_t marker = 0;  // non-zero: only brackets an undo group
};

}  // namespace nimbel
