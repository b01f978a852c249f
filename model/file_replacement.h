// The one way the program and its tools write a file: the bytes go to a
// temporary file in the target's folder, which is flushed to the disk and
// renamed over the target only once everything was written. Whatever fails
// (a full disk, a missing folder, a folder or device where the file should
// be), the target stays as it was and no temporary file remains. Project
// files, the settings file, the demonstration song, MIDI files and WAV files
// are all written this way.
#pragma once

#include "file_descriptor.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace nimbel {

class FileReplacement {
public:
    // Creates the temporary file beside `target`; failed() tells whether that worked.
    explicit FileReplacement(std::string target);
    // Removes the temporary file unless it was committed.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Appends bytes. False, now and for every later call, once anything has failed.
    bool write(std::string_view bytes);
    // Writes over bytes written before (a header whose sizes are known only at the end).
    bool writeAt(std::uint64_t offset, std::string_view bytes);

    // For a library that writes the file by its path: what it writes there is
    // committed like the bytes written here.
    const std::string& temporaryPath() const { return temporary_; }

    // Flushes the temporary file to the disk and renames it over the target.
    // False when anything failed; then the target is as it was.
    bool commit();

    bool failed() const { return !error_.empty(); }
    // The system's reason for the first failure, "" when there was none.
    const std::string& error() const { return error_; }

private:
    bool fail(std::string reason);

    std::string target_;
    std::string temporary_;
    FileDescriptor file_;
    bool committed_ = false;
    std::string error_;
};

// Replaces the file at `path` by `contents` as above. False when it could not
// be written; then the previous file is as it was.
bool replaceFileContents(const std::string& path, std::string_view contents);

}  // namespace nimbel
