// What nimbel-export can write once the song is loaded. Each output is one
// function; the option table (export_options.cpp) names them.
#pragma once

#include "recording_midi.h"
#include "song.h"

#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <string>

namespace nimbel {

// The messages of a Play, and the version of the note list they come from.
struct PlayedSong {
    std::uint64_t noteListVersion = 0;
    MessageLog messages;
};

struct ExportContext {
    Song& song;
    // Options that only set a value (none yet), by option name.
    const std::map<std::string, std::string>& settings;
    std::ostream& out;
    std::ostream& err;
    // The one Play the playback outputs share, made by the first of them.
    std::optional<PlayedSong> played = {};
};

// nimbel-export's exit statuses.
inline constexpr int kExportDone = 0;
inline constexpr int kExportNotWritten = 1;    // an output could not be written, or no SoundFont was found
inline constexpr int kExportBadArguments = 2;  // a bad option or output name, or SONG cannot be read

// Each returns the process exit status: kExportDone when it succeeded.
using ExportOutput = int (*)(ExportContext& context, const std::string& argument);

// The song grid: the header titles joined by TAB, then each row's cells.
int printGrid(ExportContext& context, const std::string& argument);

// The project file File Save would write, to the path `argument`.
int saveProjectFile(ExportContext& context, const std::string& argument);

}  // namespace nimbel
