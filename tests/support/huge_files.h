// Files of the sizes a fuzzer never makes, made cheaply: a gigabyte that is mostly a hole in the
// file system (only its first bytes are written, the rest reads as NUL bytes and takes no disk),
// and a file another thread keeps appending to while it is read.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>
#include <string>
#include <thread>

namespace korvel::testing {

constexpr off_t kGigabyte = off_t{1} << 30;

// `start` at the beginning of `path`, then holes up to a gigabyte. False when the file system
// cannot make it.
inline bool make_gigabyte_file(const std::string& path, const std::string& start) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool ok = ::write(fd, start.data(), start.size()) == static_cast<ssize_t>(start.size()) &&
                    ::ftruncate(fd, kGigabyte) == 0;
    return ::close(fd) == 0 && ok;
}

// Appends `block` to `path` over and over on its own thread, from construction until it is
// destroyed or `most` bytes were added.
class GrowingFile {
  public:
    GrowingFile(const std::string& path, std::string block, std::size_t most)
        : fd_(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644)),
          block_(std::move(block)),
          thread_([this, most] {
              for (std::size_t added = 0; !stop_ && added < most; added += block_.size())
                  if (::write(fd_, block_.data(), block_.size()) <= 0) break;
          }) {}
    ~GrowingFile() {
        stop_ = true;
        thread_.join();
        ::close(fd_);
    }
    GrowingFile(const GrowingFile&) = delete;
    GrowingFile& operator=(const GrowingFile&) = delete;

  private:
    int fd_;
    std::string block_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace korvel::testing
