// Cuts a fuzz input into chunks whose lengths come from the input itself, so that every reader
// is also checked to give the same result however its text arrives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace korvel::fuzz {

// Calls take(chunk) for consecutive chunks of 1 to 67 bytes covering `data`.
template <class Take>
void in_chunks(std::span<const std::uint8_t> data, Take take) {
    std::size_t at = 0;
    while (at < data.size()) {
        const std::size_t n = std::min<std::size_t>(data[at] % 67 + 1, data.size() - at);
        take(data.subspan(at, n));
        at += n;
    }
}

}  // namespace korvel::fuzz
