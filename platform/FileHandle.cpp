#include "platform/FileHandle.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

FileHandle::FileHandle(int fd) : fd_(fd) {
    struct stat st{};
    socket_ = fd_ >= 0 && ::fstat(fd_, &st) == 0 && S_ISSOCK(st.st_mode);
}

FileHandle::~FileHandle() { Close(); }

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        Close();
        socket_ = other.socket_;
        fd_ = other.release();
    }
    return *this;
}

FileHandle FileHandle::OpenRead(const std::string& path) {
    return FileHandle(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
}

FileHandle FileHandle::CreateWrite(const std::string& path) {
    return FileHandle(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
}

int FileHandle::release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
}

void FileHandle::Close() {
    if (fd_ >= 0) {
        int saved = errno;  // closing must not disturb the error a caller is about to report
        ::close(fd_);
        errno = saved;
        fd_ = -1;
    }
}

std::int64_t FileHandle::Read(void* buffer, std::size_t size) const {
    for (;;) {
        ssize_t n = ::read(fd_, buffer, size);
        if (n >= 0 || errno != EINTR) return n;
    }
}

std::int64_t FileHandle::ReadFull(void* buffer, std::size_t size) const {
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        std::int64_t n = Read(out + done, size - done);
        if (n < 0) return -1;
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
}

bool FileHandle::WriteAll(const void* data, std::size_t size) const {
    const auto* in = static_cast<const unsigned char*>(data);
    while (size > 0) {
        ssize_t n = socket_ ? ::send(fd_, in, size, MSG_NOSIGNAL) : ::write(fd_, in, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        in += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::int64_t FileHandle::Seek(std::int64_t offset, int whence) const {
    return ::lseek(fd_, static_cast<off_t>(offset), whence);
}

std::int64_t FileHandle::Size() const {
    struct stat st{};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return st.st_size;
}

}  // namespace platform
