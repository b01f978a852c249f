// The recovery folder: while the song has unsaved changes, each running copy
// of the program keeps them in a recovery file of its own there,
// "recovery-PID-START.nmd" after its process identity, so that two copies
// never write the same file and a later start can tell whether the copy
// that wrote a file still runs. At start-up the files of copies that no
// longer run are offered back; the user's answer restores one or moves it
// to "discarded/" (the ten newest kept there). A file that cannot be read is
// moved to "unreadable/", never deleted.
//
// Every call works on the file system only; the store holds nothing that
// changes, so any thread may call it. Calls that touch this copy's own file
// (write, removeOwnFile, restore) must come one after the other: restore at
// start-up, before the first write; writes and removals from the
// RecoveryWriter's thread. Writing the 1.9 MB file of a 10,000-column song
// takes about 5 ms here, most of it the flush to the disk, which a slow or
// busy disk can stretch to seconds (bench/model_recovery.cpp).
#pragma once

#include "process_identity.h"
#include "recovery_file.h"

#include <string>
#include <string_view>
#include <vector>

namespace nimbel {

// A recovery file left by a copy of the program that no longer runs.
struct RecoveredSong {
    std::string file;  // its path
    RecoveryFacts facts;
    std::string songText;  // a project file's text: load it as the song
};

struct RecoveryLeftovers {
    std::vector<RecoveredSong> songs;   // newest first
    std::vector<std::string> setAside;  // unreadable files, where they are now
};

class RecoveryStore {
public:
    // `folder` ends with a separator; it is made when the first file is
    // written. `self` is this running copy; tests pretend to be others.
    explicit RecoveryStore(std::string folder, ProcessIdentity self = thisProcess());

    const std::string& folder() const { return folder_; }
    const std::string& ownFile() const { return ownFile_; }

    // Replaces this copy's recovery file by the song (a project file's text,
    // from songFileTextFromGrid) and its facts, through the atomic file
    // writer: the file is always the old song or the new one. False when it
    // could not be written.
    bool write(std::string_view songText, const RecoveryFacts& facts) const;

    // After a save, after the changes were discarded, and at a clean exit.
    void removeOwnFile() const;

    // The recovery files of copies that no longer run, newest first; the
    // unreadable ones among them are set aside. This copy's own file and
    // those of running copies are left alone; temporary files of writers
    // that no longer run are removed.
    RecoveryLeftovers leftovers() const;

    // The user restores `song`: its file becomes this copy's own, so the
    // changes stay kept until they are saved or discarded. False when the
    // file is gone (another copy, started at the same time, took it).
    bool restore(const RecoveredSong& song) const;

    // The user declined `song`: its file moves to discarded/, where only the
    // ten newest are kept. False when it could not be moved.
    bool discard(const RecoveredSong& song) const;

private:
    std::string folder_;
    std::string ownFile_;
};

}  // namespace nimbel
