#include "scpi/line_framer.h"

namespace korvel::scpi {

void LineFramer::feed(std::string_view bytes) {
    // Lines already handed out are dropped before the buffer grows.
    if (start_ > 0) {
        buffer_.erase(0, start_);
        start_ = 0;
    }
    buffer_.append(bytes);
}

bool LineFramer::holds_line() const {
    return buffer_.find('\n', start_) != std::string::npos;
}

LineFramer::Next LineFramer::next(std::string* line) {
    const std::size_t end = buffer_.find('\n', start_);
    if (end == std::string::npos) {
        // No terminator yet: a line that already outgrew the limit is given up now, so that the
        // buffer never holds more than one chunk beyond it.
        if (pending() > kMaxLine + 1) {
            skipping_ = true;
            buffer_.clear();
            start_ = 0;
        }
        return Next::None;
    }
    std::size_t length = end - start_;
    const std::size_t begin = start_;
    start_ = end + 1;
    if (skipping_) {
        skipping_ = false;
        return Next::Overlong;
    }
    if (length > 0 && buffer_[begin + length - 1] == '\r') --length;
    if (length > kMaxLine) return Next::Overlong;
    if (line != nullptr) line->assign(buffer_, begin, length);
    return Next::Line;
}

}  // namespace korvel::scpi
