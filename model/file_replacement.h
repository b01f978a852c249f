// The one way the program and its tools write a file: the bytes go to a
// temporary file in the target's folder, which is flushed to the disk and
// renamed over the target only once everything was written. Whatever fails
// (a full disk, a missing folder, a folder or device where the file should
// be), the target stays as it was and no temporary file remains. Project
// files, the settings file, the demonstration song, recovery files, MIDI
// files and audio files are all written this way.
//
// Where the file system offers unnamed files (O_TMPFILE), the temporary file
// gets a name only once it is complete, just before the rename, so a write
// killed half way leaves nothing behind. Elsewhere it is named from the
// start (temporary_files.h); a killed writer's file then stays until the
// next write into that folder, which removes the temporary files of writers
// that no longer run. One FileReplacement belongs to one thread at a time.
#pragma once

#include "file_descriptor.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace nimbel {

// Tests force the named temporary file that file systems without unnamed ones get.
enum class TemporaryFile { unnamedWherePossible, named };

class FileReplacement {
public:
    // Removes leftover temporary files of writers that no longer run from the
    // target's folder, then creates the temporary file; failed() tells
    // whether that worked.
    explicit FileReplacement(std::string target, TemporaryFile kind = TemporaryFile::unnamedWherePossible);
    // Removes the temporary file unless it was committed.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Appends bytes. False, now and for every later call, once anything has failed.
    bool write(std::string_view bytes);
    // Writes over bytes written before (a header whose sizes are known only at the end).
    bool writeAt(std::uint64_t offset, std::string_view bytes);

    // Flushes the temporary file to the disk and renames it over the target.
    // False when anything failed; then the target is as it was.
    bool commit();

    bool failed() const { return !error_.empty(); }
    // The system's reason for the first failure, "" when there was none.
    const std::string& error() const { return error_; }

private:
    bool fail(std::string reason);
    bool failWithErrno();
    // Gives the temporary file a name beside the target by `make`, trying
    // the next name while one is taken.
    template <typename Make>
    bool takeTemporaryName(Make&& make);

    std::string target_;
    std::string temporary_;  // "" while the temporary file has no name
    FileDescriptor file_;
    bool committed_ = false;
    std::string error_;
};

// Replaces the file at `path` by `contents` as above. False when it could not
// be written; then the previous file is as it was.
bool replaceFileContents(const std::string& path, std::string_view contents,
                         TemporaryFile kind = TemporaryFile::unnamedWherePossible);

}  // namespace nimbel
