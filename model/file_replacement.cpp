#include "file_replacement.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace nimbel {

FileReplacement::FileReplacement(std::string target) : target_(std::move(target))
{
    // Renaming over a folder or a device would replace it, not write into it.
    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        fail("not a regular file");
        return;
    }
    // The process id keeps two programs writing the same file apart; a name
    // already taken (left by a crash) is skipped, never reused.
    const std::string stem = target_ + "." + std::to_string(::getpid()) + ".saving";
    for (int attempt = 0; attempt < 100 && !file_.isOpen(); ++attempt) {
        temporary_ = attempt == 0 ? stem : stem + std::to_string(attempt);
        file_.reset(::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!file_.isOpen() && errno != EEXIST) break;
    }
    if (!file_.isOpen()) {
        temporary_.clear();
        fail(std::strerror(errno));
        return;
    }
    // A replaced file keeps its permissions.
    if (exists && ::fchmod(file_.get(), existing.st_mode & 07777) != 0) fail(std::strerror(errno));
}

FileReplacement::~FileReplacement()
{
    file_.close();
    if (!committed_ && !temporary_.empty()) std::remove(temporary_.c_str());
}

bool FileReplacement::fail(std::string reason)
{
    if (error_.empty()) error_ = reason.empty() ? "unknown error" : std::move(reason);
    return false;
}

bool FileReplacement::write(std::string_view bytes)
{
    if (failed()) return false;
    while (!bytes.empty()) {
        const ssize_t n = ::write(file_.get(), bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(std::strerror(errno));
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool FileReplacement::writeAt(std::uint64_t offset, std::string_view bytes)
{
    if (failed()) return false;
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(file_.get(), bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(std::strerror(errno));
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += static_cast<std::uint64_t>(n);
    }
    return true;
}

bool FileReplacement::commit()
{
    if (failed()) return false;
    if (::fsync(file_.get()) != 0) return fail(std::strerror(errno));
    if (!file_.close()) return fail(std::strerror(errno));
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) return fail(std::strerror(errno));
    committed_ = true;
    return true;
}

bool replaceFileContents(const std::string& path, std::string_view contents)
{
    FileReplacement file(path);
    return file.write(contents) && file.commit();
}

}  // namespace nimbel
