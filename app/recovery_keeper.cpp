#include "recovery_keeper.h"

#include "clock.h"
#include "memory_grid.h"
#include "project_state.h"
#include "song_file.h"

#include <chrono>

namespace nimbel {

RecoveryKeeper::RecoveryKeeper(const RecoveryStore& store, Clock& clock) : clock_(clock), writer_(store) {}

void RecoveryKeeper::keep(const MemoryGrid& grid, const ProjectState& project,
                          std::optional<std::int64_t> nextPlaybackDue)
{
    if (!project.changed) {
        if (fileMayExist_) writer_.removeOwnFile();
        fileMayExist_ = false;
        written_.reset();
        waitingSinceMs_.reset();
        return;
    }
    Written song{grid.contentVersion(), project.currentPath, project.isNew};
    if (written_ == song) return;
    const std::int64_t now = clock_.nowMs();
    if (!waitingSinceMs_) waitingSinceMs_ = now;
    const bool rested = !lastWriteMs_ || now - *lastWriteMs_ >= kWriteIntervalMs;
    const bool quiet = !nextPlaybackDue || *nextPlaybackDue - now >= kQuietMs;
    if (!(rested && quiet) && now - *waitingSinceMs_ < kLongestWaitMs) return;

    const auto time = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
    writer_.write(songFileTextFromGrid(grid, localDateText()), {project.currentPath, project.isNew, time});
    written_ = std::move(song);
    fileMayExist_ = true;
    lastWriteMs_ = now;
    waitingSinceMs_.reset();
}

void RecoveryKeeper::removeFileAndWait()
{
    writer_.removeOwnFile();
    writer_.waitUntilDone();
    written_.reset();
    fileMayExist_ = false;
}

}  // namespace nimbel
