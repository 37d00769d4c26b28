#pragma once
// An owned POSIX file descriptor: a regular file, or one end of a named pipe (a socket).

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(int fd);
    ~FileHandle();
    FileHandle(FileHandle&& other) noexcept : fd_(other.fd_), socket_(other.socket_) { other.fd_ = -1; }
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    // Opens an existing file for reading; others may read it at the same time.
    // On failure the handle is invalid and errno tells why.
    static FileHandle OpenRead(const std::string& path);
    // Creates or truncates a file for writing.
    static FileHandle CreateWrite(const std::string& path);

    bool Valid() const { return fd_ >= 0; }
    explicit operator bool() const { return Valid(); }
    int Fd() const { return fd_; }
    int release();
    void Close();

    // Reads up to size bytes; returns the count (0 at the end), or -1 with errno set.
    // Interrupted calls are retried.
    std::int64_t Read(void* buffer, std::size_t size) const;
    // Reads until size bytes or the end; returns the count, or -1 with errno set.
    std::int64_t ReadFull(void* buffer, std::size_t size) const;
    // Writes all bytes; false with errno set on failure. A peer that went away gives EPIPE,
    // never SIGPIPE.
    bool WriteAll(const void* data, std::size_t size) const;
    // 64-bit seek; whence as lseek. Returns the new position, or -1 with errno set.
    std::int64_t Seek(std::int64_t offset, int whence) const;
    // Size of a regular file, or -1.
    std::int64_t Size() const;

private:
    int fd_ = -1;
    bool socket_ = false;  // pipe ends are sockets and are written with send()
};

}  // namespace platform
