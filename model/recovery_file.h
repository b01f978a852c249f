// The recovery file's text: a project file (so that the song file reader,
// and File Open, read it as the song) whose first comment lines say which
// project the unsaved song belongs to and when it was kept:
//
//   ;Nimbel MIDI Recovery
//   ;Project /home/ann/songs/tune.nmd      (nothing after "Project " for a song without a file)
//   ;New project 0
//   ;Time 1715000000                       (seconds since 1970, UTC)
//   ;Nimbel MIDI Format
//   ;Created 2024/05/06
//   START
//   …
//   END
//
// The project path is written with "%", CR, LF and the other control
// characters as "%" and two hex digits, so that any path stays one line.
// Plain text work on strings, so that tests and the fuzzer run without files.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace nimbel {

// What a recovery file says about the song it keeps.
struct RecoveryFacts {
    std::string projectPath;  // "" for a song that has no file yet
    bool newProject = false;  // the new-project flag (File New made the song)
    std::chrono::sys_seconds time{};

    bool operator==(const RecoveryFacts&) const = default;
};

// `songText` is a project file's text as songFileTextFromGrid makes it.
std::string recoveryFileText(const RecoveryFacts& facts, std::string_view songText);

struct RecoveryContents {
    RecoveryFacts facts;
    std::string songText;  // the project file's text, without the recovery lines
};

// Reads recoveryFileText's form back. Nullopt for anything else: another
// kind of file, a damaged line, or a song cut short before its END.
std::optional<RecoveryContents> parseRecoveryFileText(std::string_view text);

}  // namespace nimbel
