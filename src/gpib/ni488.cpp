// The GPIB calls: argument checks, then the chosen backend, then the status variables.
#include "gpib/ni488.h"

#include <array>

#include "gpib/backend.h"
#include "gpib/backend_select.h"

namespace korvel::gpib {

int ibsta = 0;
int iberr = 0;
int ibcnt = 0;

namespace {

int g_failed_calls = 0;

int publish(const CallStatus& s) {
    ibsta = s.sta;
    ibcnt = s.cnt;
    if ((s.sta & ERR) != 0) {
        iberr = s.err;
        ++g_failed_calls;
    }
    return ibsta;
}

// A call refused before it reaches the driver: a buffer missing or a count out of range.
CallStatus invalid_argument() {
    return {ERR, EARG, 0};
}

}  // namespace

double timeout_seconds(int timeout_code) {
    // The standard ladder: 10 us, 30 us, 100 us, ... 1000 s.
    static constexpr std::array<double, 18> kSeconds = {0.0,  10e-6, 30e-6, 100e-6, 300e-6, 1e-3,
                                                        3e-3, 10e-3, 30e-3, 0.1,    0.3,    1.0,
                                                        3.0,  10.0,  30.0,  100.0,  300.0,  1000.0};
    if (timeout_code < 0 || timeout_code >= static_cast<int>(kSeconds.size())) return 0.0;
    return kSeconds[static_cast<std::size_t>(timeout_code)];
}

int ibdev(int board, int pad, int sad, int timeout, int eot, int eos) {
    CallStatus s;
    const int ud = backend().dev(board, pad, sad, timeout, eot, eos, s);
    publish(s);
    return (s.sta & ERR) != 0 ? -1 : ud;
}

int ibclr(int ud) {
    return publish(backend().clr(ud));
}

int ibonl(int ud, int online) {
    return publish(backend().onl(ud, online));
}

int ibwrt(int ud, const void* data, long count) {
    if (count < 0 || (data == nullptr && count > 0)) return publish(invalid_argument());
    return publish(backend().wrt(ud, data, count));
}

int ibrd(int ud, void* buffer, long count) {
    if (count < 0 || (buffer == nullptr && count > 0)) return publish(invalid_argument());
    return publish(backend().rd(ud, buffer, count));
}

int failed_call_count() {
    return g_failed_calls;
}

void reset_failed_call_count() {
    g_failed_calls = 0;
}

}  // namespace korvel::gpib
