#include "recovery_writer.h"

namespace nimbel {

RecoveryWriter::RecoveryWriter(const RecoveryStore& store) : store_(store), thread_([this] { run(); }) {}

RecoveryWriter::~RecoveryWriter()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void RecoveryWriter::write(std::string songText, RecoveryFacts facts)
{
    request({false, std::move(songText), std::move(facts)});
}

void RecoveryWriter::removeOwnFile() { request({true, {}, {}}); }

void RecoveryWriter::request(Request next)
{
    {
        const std::lock_guard lock(mutex_);
        waiting_ = std::move(next);
    }
    changed_.notify_all();
}

void RecoveryWriter::waitUntilDone()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !waiting_ && !busy_; });
}

void RecoveryWriter::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return waiting_ || stopping_; });
        if (!waiting_) return;
        const Request next = std::move(*waiting_);
        waiting_.reset();
        busy_ = true;
        lock.unlock();
        if (next.remove) store_.removeOwnFile();
        else store_.write(next.songText, next.facts);
        lock.lock();
        busy_ = false;
        changed_.notify_all();
    }
}

}  // namespace nimbel
