// Keeps this copy's recovery file in step with the song's unsaved changes:
// while the changed flag is set, the song is written there soon after each
// edit; once the changes are saved or discarded, the file goes.
//
// The main loop calls keep on its passes without an event, so a command is
// never written half done and nothing is written while a modal window runs
// its own loop. The user-interface thread only makes the song's text
// (songFileTextFromGrid: about 6 ms for 10,000 columns of 15 notes), at most
// once a second and preferably when playback has nothing due for a while;
// the RecoveryWriter's thread writes it. User-interface thread only.
#pragma once

#include "recovery_writer.h"

#include <cstdint>
#include <optional>
#include <string>

namespace nimbel {

class Clock;
class MemoryGrid;
struct ProjectState;

class RecoveryKeeper {
public:
    // At most one text a second while the user goes on editing.
    static constexpr std::int64_t kWriteIntervalMs = 1000;
    // The text is made when no note is due for this long ...
    static constexpr std::int64_t kQuietMs = 30;
    // ... or, failing that, once a change has waited this long.
    static constexpr std::int64_t kLongestWaitMs = 1500;

    // `store` must outlive the keeper; `clock` is the one that paces playback.
    RecoveryKeeper(const RecoveryStore& store, Clock& clock);

    // An idle pass: writes the song when it changed since it was last
    // written (or its project did) and the time has come, or removes the
    // file when the changes are gone. `nextPlaybackDue` is the next moment a
    // note is due to start or end, if any. Never waits for the disk.
    void keep(const MemoryGrid& grid, const ProjectState& project, std::optional<std::int64_t> nextPlaybackDue);

    // A clean exit: the file goes, and the call returns once it is gone.
    void removeFileAndWait();

    // Returns once everything handed to the writer is on the disk.
    void waitUntilWritten() { writer_.waitUntilDone(); }

private:
    struct Written {
        std::uint64_t contentVersion = 0;
        std::string projectPath;
        bool newProject = false;
        bool operator==(const Written&) const = default;
    };

    Clock& clock_;
    RecoveryWriter writer_;
    std::optional<Written> written_;  // what the file holds, when this keeper wrote it
    // A song restored at start-up left its file as this copy's own before
    // the keeper wrote anything.
    bool fileMayExist_ = true;
    std::optional<std::int64_t> lastWriteMs_;     // when the last text was made
    std::optional<std::int64_t> waitingSinceMs_;  // when the song was first seen to differ from the file
};

}  // namespace nimbel
