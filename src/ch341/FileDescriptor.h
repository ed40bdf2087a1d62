#pragma once

#include <unistd.h>

namespace ch341 {

// Owns a file descriptor (or the -1 of a failed call) and closes it when it goes.
class TFileDescriptor {
public:
    explicit TFileDescriptor(int fd) : fd_(fd) {}
    ~TFileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;

    int Get() const { return fd_; }

private:
    int fd_;
};

} // namespace ch341
