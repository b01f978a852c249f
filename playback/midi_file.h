// Standard MIDI Files of exported messages: format 0, one track, a tempo
// event and an end-of-track event. Times convert exactly: the file counts one
// tick per millisecond, with the song's column period (60000 / tempo ms,
// as the sequencer steps columns) as one quarter note.
#pragma once

#include "recording_midi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace nimbel {

// `messages` are in time order, times in milliseconds from 0.
std::vector<std::uint8_t> standardMidiFile(const MessageLog& messages, std::int32_t tempo);

// False when the file cannot be written; then a file already at `path` is as it was.
bool writeStandardMidiFile(const std::string& path, const MessageLog& messages, std::int32_t tempo);

}  // namespace nimbel
