// A POSIX file descriptor that is closed when it goes out of scope, as the
// file reader and the file writer hold them.
#pragma once

#include <unistd.h>

namespace nimbel {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    // Closes the one held, then holds `fd`.
    void reset(int fd)
    {
        close();
        fd_ = fd;
    }
    int get() const { return fd_; }
    bool isOpen() const { return fd_ >= 0; }
    // False when closing reports an error (data that never reached the disk).
    bool close()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

}  // namespace nimbel
