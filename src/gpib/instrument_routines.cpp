#include "gpib/instrument_routines.h"

#include <algorithm>
#include <cstring>

#include "gpib/console.h"

namespace korvel::gpib {

int samp_ud = 0;
int siggen_ud = 0;
int scope_ud = 0;
int errdet_ud = 0;
char gpib_reply[kMaxReply + 1] = {};

namespace {

bool failed() {
    return (ibsta & ERR) != 0;
}

// Open, then clear even when the open failed (the clear then reports on the bad descriptor).
void open_and_clear(int address, int& ud) {
    ud = ibdev(kBoard, address, kNoSecondaryAddress, kTimeout, kEot, kEos);
    if (failed()) GpibError("ibdev Error");
    ibclr(ud);
    if (failed()) GpibError("ibclr Error");
}

void take_offline(int ud) {
    ibonl(ud, 0);
    if (failed()) GpibError("ibonl Error");
}

void write_text(int ud, const char* text) {
    if (text == nullptr) text = "";
    ibwrt(ud, text, static_cast<long>(std::strlen(text)));
    if (failed()) GpibError("ibwrt Error");
}

// Reads at most `max` bytes into gpib_reply and terminates the reply at ibcnt. After a failure
// ibcnt is whatever the driver (or the report's own ibonl) left there, so the terminator is kept
// inside the bytes that were asked for.
void read_reply(int ud, int max) {
    ibrd(ud, gpib_reply, max);
    if (failed()) GpibError("ibrd Error");
    gpib_reply[std::clamp(ibcnt, 0, max)] = '\0';
}

}  // namespace

void GPIB_Init_Samp() {
    open_and_clear(kSampAddress, samp_ud);
}

void GPIB_Init_SigGen() {
    open_and_clear(kSigGenAddress, siggen_ud);
}

void GPIB_Init_Scope() {
    open_and_clear(kScopeAddress, scope_ud);
}

void GPIB_Init_ErrorDetector() {
    open_and_clear(kErrorDetectorAddress, errdet_ud);
}

void GPIB_Init() {
    GPIB_Init_Samp();
    GPIB_Init_SigGen();
    GPIB_Init_Scope();
    GPIB_Init_ErrorDetector();
}

void GPIB_Dismiss_Samp() {
    take_offline(samp_ud);
}

void GPIB_Dismiss_SigGen() {
    take_offline(siggen_ud);
}

void GPIB_Dismiss_Scope() {
    take_offline(scope_ud);
}

void GPIB_Dismiss_ErrorDetector() {
    take_offline(errdet_ud);
}

void GPIB_Dismiss() {
    GPIB_Dismiss_Samp();
    GPIB_Dismiss_SigGen();
    GPIB_Dismiss_Scope();
    GPIB_Dismiss_ErrorDetector();
}

void ID_Instrument_Samp() {
    write_text(samp_ud, "*IDN?");
    read_reply(samp_ud, kMaxIdentityReply);
    console_write(gpib_reply);
    console_write("\n");
}

void writeSigGen(const char* command) {
    write_text(siggen_ud, command);
}

void writeScope(const char* command) {
    write_text(scope_ud, command);
}

void queryScope(const char* query) {
    write_text(scope_ud, query);
    read_reply(scope_ud, kMaxReply);
}

void queryErrorDetector(const char* query) {
    write_text(errdet_ud, query);
    read_reply(errdet_ud, kMaxReply);
}

void reset_instrument_routines() {
    samp_ud = siggen_ud = scope_ud = errdet_ud = 0;
    std::fill(std::begin(gpib_reply), std::end(gpib_reply), '\0');
}

}  // namespace korvel::gpib
