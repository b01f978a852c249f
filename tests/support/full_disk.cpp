#include "full_disk.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace nimbel::testing_support {

FullDisk::FullDisk() : folder_(mountPoint_.path / "files")
{
    if (::mount("tmpfs", mountPoint_.path.c_str(), "tmpfs", 0, "size=256k") != 0) {
        reason_ = std::string("cannot mount a tmpfs to fill (needs root): ") + std::strerror(errno);
        return;
    }
    std::filesystem::create_directory(folder_);
}

FullDisk::~FullDisk() { ::umount2(mountPoint_.path.c_str(), MNT_DETACH); }  // refused when nothing was mounted

void FullDisk::leaveFree(std::size_t bytes)
{
    const std::string filler = (mountPoint_.path / "filler").string();
    const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    const std::vector<char> page(4096, 'x');
    off_t written = ::lseek(fd, 0, SEEK_END);
    for (ssize_t n; (n = ::write(fd, page.data(), page.size())) > 0;) written += n;
    const auto pages = static_cast<off_t>((bytes + page.size() - 1) / page.size() * page.size());
    if (::ftruncate(fd, written > pages ? written - pages : 0) != 0) reason_ = std::strerror(errno);
    ::close(fd);
}

}  // namespace nimbel::testing_support
