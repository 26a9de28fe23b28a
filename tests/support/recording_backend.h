// A backend with no device behind it, for benchmarks and tests that measure or inspect what the
// program itself produces: it lists and opens one pretend unit (described as "ZEVA_KORVEL") and
// records what is written to it, costing next to nothing per call. Put it in place with
// use_backend(make_recording_backend(record), BackendKind::Ftdi) (backend_select.h).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "ftdi/backend.h"

namespace korvel::ftdi {

struct WriteRecord {
    std::uint64_t writes = 0;             // FT_Write calls
    std::uint64_t bytes = 0;              // pin bytes written, all calls together
    std::vector<std::uint32_t> sizes;     // bytes per write, when keep_bytes is set
    std::vector<std::uint8_t> pin_bytes;  // every pin byte in order, when keep_bytes is set
    bool keep_bytes = false;
};

// The backend writes into `record`, which must outlive it.
std::unique_ptr<Backend> make_recording_backend(WriteRecord& record);

}  // namespace korvel::ftdi
