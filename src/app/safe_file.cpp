#include "app/safe_file.h"

#include <unistd.h>

#include <cerrno>

#include "base/atomic_replace.h"
#include "base/regular_file.h"

namespace korvel::app {

FileWriteCall file_write_call = ::write;

void reset_safe_file() {
    file_write_call = ::write;
}

bool read_regular_file(const char* path, std::size_t limit, std::string* text) {
    return path != nullptr && text != nullptr &&
           !base::read_regular_file(path, limit, base::OverLimit::Truncate, *text);
}

bool read_regular_file(int fd, std::size_t limit, std::string* text) {
    return text != nullptr && !base::read_regular_file(fd, limit, base::OverLimit::Truncate, *text);
}

bool replace_file_atomically(const char* path, std::string_view text) {
    if (path == nullptr) return false;
    const base::FileError error = base::replace_file(path, text, file_write_call);
    if (error) errno = error.error_number;
    return !error;
}

}  // namespace korvel::app
