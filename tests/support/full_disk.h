// A folder on a disk that fills up, for tests of writes that fail half way:
// a small tmpfs of the test's own. Mounting needs root (CI runs the tests
// as root); without it the disk is unavailable and says why.
#pragma once

#include "files.h"

#include <cstddef>
#include <filesystem>
#include <string>

namespace nimbel::testing_support {

class FullDisk {
public:
    FullDisk();   // of 256 KiB
    ~FullDisk();  // unmounts

    bool available() const { return reason_.empty(); }
    const std::string& reason() const { return reason_; }
    // Where the test's files go; the filler lives elsewhere on the disk.
    const std::filesystem::path& folder() const { return folder_; }

    // Fills the disk until only about `bytes` (whole pages) are free.
    void leaveFree(std::size_t bytes);

private:
    ScratchFolder mountPoint_{"nimbel-full-disk"};
    std::filesystem::path folder_;
    std::string reason_;
};

}  // namespace nimbel::testing_support
