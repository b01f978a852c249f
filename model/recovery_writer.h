// Writes this copy's recovery file on a thread of its own, so that the
// user-interface thread only makes the song's text (songFileTextFromGrid,
// which reads the grid and must run where the grid is changed) and never
// waits for the disk: flushing a file to the disk can take from milliseconds
// to seconds, while playback is timed on that thread.
//
// Thread safety: write, removeOwnFile and waitUntilDone may be called from
// any thread (the program calls them from the user-interface thread); the
// writer's thread is the only one that touches the store's own file, so the
// requests reach the disk in the order they were made. A request still
// waiting when a newer one comes is dropped: the newer one supersedes it.
#pragma once

#include "recovery_store.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace nimbel {

class RecoveryWriter {
public:
    // `store` must outlive the writer.
    explicit RecoveryWriter(const RecoveryStore& store);
    // Carries out the request in hand and the one waiting, then ends the thread.
    ~RecoveryWriter();
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    // Returns at once; the text is written soon after. A write that fails
    // leaves the file as it was (the song before); the next one tries again.
    void write(std::string songText, RecoveryFacts facts);
    // Returns at once; the file is removed soon after, also one written by
    // a write requested before.
    void removeOwnFile();
    // Returns once every request made so far is carried out.
    void waitUntilDone();

private:
    struct Request {
        bool remove = false;
        std::string songText;
        RecoveryFacts facts;
    };
    void request(Request next);
    void run();

    const RecoveryStore& store_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Request> waiting_;  // guarded by mutex_
    bool busy_ = false;               // guarded by mutex_: a request is being carried out
    bool stopping_ = false;           // guarded by mutex_
    std::thread thread_;              // last, so that it starts once the rest is made
};

}  // namespace nimbel
