// Loading a song for nimbel-export exactly as the program has it after
// start-up followed by File Open.
#pragma once

#include "position_display.h"
#include "song.h"

#include <string>

namespace nimbel {

// The start-up grid filled once with the start-up note list, then a new
// song, then the file. False when the file cannot be read.
bool openSongAsAfterStartUp(Song& song, PositionDisplay& position, const std::string& path);

}  // namespace nimbel
