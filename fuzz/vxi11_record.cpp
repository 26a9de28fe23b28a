// VXI-11 calls as a network client sends them: whatever bytes arrive, the record reader keeps
// its memory within its limit, and the call header and the create_link, device_write,
// device_read and link arguments decode without reading past the record; what a decoded
// device_write or create_link names lies inside the bytes given, and encoding it again gives
// arguments that decode to the same.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "remote/vxi11_codec.h"

using namespace korvel::remote::vxi11;

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

bool inside(std::string_view part, std::string_view whole) {
    return part.empty() || (part.data() >= whole.data() &&
                            part.data() + part.size() <= whole.data() + whole.size());
}

void decode_all(std::string_view args) {
    if (const auto p = decode_create_link(args)) {
        check(inside(p->device, args) && p->device.size() <= kMaxDeviceName);
        XdrWriter w;
        w.i32(p->client_id);
        w.u32(p->lock_device ? 1 : 0);
        w.u32(p->lock_timeout);
        w.opaque(p->device);
        const std::string again = w.take();
        const auto q = decode_create_link(again);
        check(q && q->device == p->device && q->client_id == p->client_id);
    }
    if (const auto p = decode_write(args)) {
        check(inside(p->data, args));
        XdrWriter w;
        for (std::uint32_t v :
             {static_cast<std::uint32_t>(p->link), p->io_timeout, p->lock_timeout, p->flags})
            w.u32(v);
        w.opaque(p->data);
        const std::string again = w.take();
        const auto q = decode_write(again);
        check(q && q->data == p->data && q->flags == p->flags);
    }
    (void)decode_read(args);
    (void)decode_link(args, true);
    (void)decode_link(args, false);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    decode_all(bytes);
    if (const auto call = parse_call(bytes)) {
        check(inside(call->arguments, bytes));
        decode_all(call->arguments);
    }
    constexpr std::size_t kLimit = 1024;
    RecordReader reader(kLimit);
    std::string record;
    for (std::size_t at = 0; at < size; at += 7) {
        reader.feed(bytes.substr(at, 7));
        for (;;) {
            const auto next = reader.next(&record);
            if (next == RecordReader::Next::None) break;
            if (next == RecordReader::Next::Record) check(record.size() <= kLimit);
        }
        check(reader.pending() <= 2 * kLimit + 16);
    }
    return 0;
}
