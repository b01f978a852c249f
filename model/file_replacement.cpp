#include "file_replacement.h"

#include "temporary_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace nimbel {

namespace {

// The folder part of a path with its separator; "./" for a name in the working folder.
std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

// The errors of a file system (EOPNOTSUPP) or a kernel (EISDIR, EINVAL)
// without unnamed files; any other error a named file would meet as well.
bool unnamedFilesUnsupported(int error) { return error == EOPNOTSUPP || error == EISDIR || error == EINVAL; }

}  // namespace

FileReplacement::FileReplacement(std::string target, TemporaryFile kind) : target_(std::move(target))
{
    // Renaming over a folder or a device would replace it, not write into it.
    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        fail("not a regular file");
        return;
    }
    const std::string folder = folderOf(target_);
    removeLeftoverTemporaryFiles(folder);
    if (kind == TemporaryFile::unnamedWherePossible) {
        file_.reset(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
        if (!file_.isOpen() && !unnamedFilesUnsupported(errno)) {
            failWithErrno();
            return;
        }
    }
    const auto createNamed = [this](const std::string& name) {
        file_.reset(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        return file_.isOpen();
    };
    if (!file_.isOpen() && !takeTemporaryName(createNamed)) return;
    // A replaced file keeps its permissions.
    if (exists && ::fchmod(file_.get(), existing.st_mode & 07777) != 0) failWithErrno();
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

bool FileReplacement::failWithErrno() { return fail(std::strerror(errno)); }

template <typename Make>
bool FileReplacement::takeTemporaryName(Make&& make)
{
    // The writer's identity keeps two programs writing the same file apart;
    // a name already taken is skipped, never reused.
    const ProcessIdentity self = thisProcess();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = temporaryFileName(target_, self, attempt);
        if (make(name)) {
            temporary_ = std::move(name);
            return true;
        }
        if (errno != EEXIST) break;
    }
    return failWithErrno();
}

bool FileReplacement::write(std::string_view bytes)
{
    if (failed()) return false;
    while (!bytes.empty()) {
        const ssize_t n = ::write(file_.get(), bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return failWithErrno();
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
        if (n < 0) return failWithErrno();
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += static_cast<std::uint64_t>(n);
    }
    return true;
}

bool FileReplacement::commit()
{
    if (failed()) return false;
    if (::fsync(file_.get()) != 0) return failWithErrno();
    // An unnamed file is linked into the folder only now, complete: a rename
    // cannot take it straight from the open file, and linking it as the
    // target itself would fail while the old file is there.
    const std::string self = "/proc/self/fd/" + std::to_string(file_.get());
    const auto link = [&self](const std::string& name) {
        return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
    };
    if (temporary_.empty() && !takeTemporaryName(link)) return false;
    if (!file_.close()) return failWithErrno();
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) return failWithErrno();
    committed_ = true;
    return true;
}

bool replaceFileContents(const std::string& path, std::string_view contents, TemporaryFile kind)
{
    FileReplacement file(path, kind);
    return file.write(contents) && file.commit();
}

}  // namespace nimbel
