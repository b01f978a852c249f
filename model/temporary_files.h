// The names of the file writer's temporary files, and the clean-up of those
// left behind by writers that were killed. A temporary file is named after
// its target, the writer's process identity and ".saving", such as
// "song.wav.4711-123456.saving"; a second one of the same writer adds a
// number ("….saving1"). Writers of older versions left "song.wav.4711.saving".
#pragma once

#include "process_identity.h"

#include <optional>
#include <string>
#include <string_view>

namespace nimbel {

// The name of `writer`'s temporary file for `target`, the `attempt`-th tried (0 first).
std::string temporaryFileName(const std::string& target, const ProcessIdentity& writer, int attempt);

// The writer named in a temporary file's name; nullopt when `name` is not one.
std::optional<ProcessIdentity> writerOfTemporaryFile(std::string_view name);

// Removes the temporary files in `folder` whose writers no longer run.
// Files of running writers, this process's included, are kept, and so is
// anything that is not a regular file. Costs one walk of the folder.
void removeLeftoverTemporaryFiles(const std::string& folder);

}  // namespace nimbel
