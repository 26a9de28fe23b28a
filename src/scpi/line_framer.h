// Cuts a client's byte stream into command lines ending in "\n" (a "\r" before it is dropped).
//
// Memory stays bounded whatever the client sends: a line longer than kMaxLine bytes is not kept
// but skipped up to its end and reported once as overlong, and the caller feeds bytes only when
// no complete line is waiting, at most kMaxChunk at a time. Bytes after the last "\n" wait for
// the rest of their line; a client that leaves with half a line leaves nothing behind to run.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvel::scpi {

class LineFramer {
  public:
    static constexpr std::size_t kMaxLine = 4096;
    static constexpr std::size_t kMaxChunk = 4096;

    enum class Next {
        None,      // no complete line yet: feed more bytes
        Line,      // a line, without its terminator
        Overlong,  // a line longer than kMaxLine ended here; its bytes are gone
    };

    // Adds received bytes; a caller feeds at most kMaxChunk bytes, and only after next() has
    // returned None.
    void feed(std::string_view bytes);
    // The next complete line (into `line`) or event.
    Next next(std::string* line);
    // Whether a complete line (or the end of an overlong one) waits to be taken.
    bool holds_line() const;
    // Bytes held for a line not yet complete (never more than kMaxLine + kMaxChunk).
    std::size_t pending() const { return buffer_.size() - start_; }

  private:
    std::string buffer_;
    std::size_t start_ = 0;  // first byte of buffer_ not yet handed out
    bool skipping_ = false;  // inside an overlong line: drop bytes up to its "\n"
};

}  // namespace korvel::scpi
